#include "core/printing/PdfSaving.h"

#include "core/cover/CoverFormats.h"
#include "core/settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace vexa::printing {

QString suggestedPdfPath() {
    QString folder = settings::readSetting(settings::keys::kPdfFolder);
    // A folder removed or renamed since is no place to propose.
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    const QDir dir(folder);
    QString path = dir.filePath(QStringLiteral("covers.pdf"));
    // Far more than anyone keeps; past it the last name is proposed and the replace question
    // decides.
    for (int n = 2; n <= 999 && QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("covers %1.pdf").arg(n));
    return path;
}

void rememberPdfFolder(const QString& pdfPath) {
    // Like every setting, a file that cannot be written loses it silently.
    settings::writeSetting(settings::keys::kPdfFolder,
                           QFileInfo(pdfPath).absoluteDir().absolutePath());
}

QString coversLeftOutText(cover::CoverKinds leftOut) {
    QStringList names;
    for (const cover::CoverFormat& kind : cover::kCoverFormats) {
        if (leftOut.testFlag(kind.id)) names << cover::coverName(kind);
    }
    if (names.isEmpty()) return QString();
    if (names.size() == 1)
        return QStringLiteral("The %1 cover has no picture and was left out.").arg(names[0]);
    const QString last = names.takeLast();
    return QStringLiteral("The %1 and %2 covers have no picture and were left out.")
        .arg(names.join(QLatin1String(", ")), last);
}

} // namespace vexa::printing
