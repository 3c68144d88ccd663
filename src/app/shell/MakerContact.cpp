#include "MakerContact.h"

#include "OpenMail.h"

#include "OpenAddress.h"

#include <QUrl>

namespace vexa {

void ReportBug(QWidget* owner) {
    openMail(QString::fromLatin1(kSupportAddress), QString::fromLatin1(kBugReportSubject),
             QString(), owner);
}

void VisitWebsite(QWidget* owner) {
    AddressOpener::open(QUrl(QString::fromLatin1(kWebsiteAddress)), owner);
}

} // namespace vexa
