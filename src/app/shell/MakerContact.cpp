#include "MakerContact.h"

#include "OpenEmail.h"

#include <QDesktopServices>
#include <QUrl>

namespace vexa {

bool ReportBug() {
    return OpenEmail(QString::fromLatin1(kSupportAddress), QString::fromLatin1(kBugReportSubject),
                     QString());
}

bool VisitWebsite() {
    return QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebsiteAddress)));
}

} // namespace vexa
