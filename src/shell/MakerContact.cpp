#include "shell/MakerContact.h"

#include "shell/OpenMail.h"

#include "notify/OpenAddress.h"

#include <QUrl>

namespace vexa::shell {

void startBugReport(QWidget* owner) {
    openMail(QString::fromLatin1(kSupportAddress), QString::fromLatin1(kBugReportSubject),
             QString(), owner);
}

void openMakersWebsite(QWidget* owner) {
    notify::AddressOpener::open(QUrl(QString::fromLatin1(kWebsiteAddress)), owner);
}

} // namespace vexa::shell
