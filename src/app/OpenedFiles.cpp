#include "app/OpenedFiles.h"

#include "app/SlotTable.h"
#include "core/base/FilePath.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

#include <sys/stat.h>

namespace vexa::app {

namespace {

bool exists(const QString& path) {
    struct stat info {};
    return ::stat(base::FilePath::fromText(path).c_str(), &info) == 0;
}

} // namespace

OpenedFilesPlan planOpenedFiles(int openTab, const QStringList& files) {
    OpenedFilesPlan plan;
    int tab = (openTab >= 0 && openTab < static_cast<int>(kCoverSlots.size())) ? openTab : 0;
    for (const QString& file : files) {
        if (tab >= static_cast<int>(kCoverSlots.size())) {
            ++plan.leftOut;
            continue;
        }
        plan.loads.append({kCoverSlots[static_cast<size_t>(tab)].kind, QStringList{file}, QImage(),
                           QByteArray()});
        ++tab;
    }
    return plan;
}

bool isProjectFile(const QString& path) {
    return path.endsWith(QLatin1String(".vexa"), Qt::CaseInsensitive);
}

QString firstProjectFile(const QStringList& files) {
    for (const QString& file : files)
        if (isProjectFile(file)) return file;
    return {};
}

QString leftOutBesideProjectNotice(qsizetype leftOut) {
    if (leftOut == 1) return QStringLiteral("1 file was left out: a project opens on its own.");
    return QStringLiteral("%1 files were left out: a project opens on its own.").arg(leftOut);
}

QString leftOutNotice(qsizetype leftOut) {
    const QString last = QLatin1String(kCoverSlots.back().caption);
    if (leftOut == 1)
        return QStringLiteral("1 file was left out: there is no cover slot after %1.").arg(last);
    return QStringLiteral("%1 files were left out: there is no cover slot after %2.")
        .arg(leftOut)
        .arg(last);
}

QStringList filesFromArguments(const QStringList& arguments, const QString& workingFolder) {
    QStringList files;
    const QDir base(workingFolder);
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || argument == QLatin1String("--")) continue;
        QString path = argument;
        static const QRegularExpression address(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
        // A file in the working folder may have a name like "shot:1.jpg"; it is a file.
        if (address.match(argument).hasMatch() && !exists(base.absoluteFilePath(argument))) {
            // An address: a local file:// one is a path; web addresses are no files.
            const QUrl url(argument);
            if (!url.isLocalFile()) continue;
            // Its escapes are bytes of the name ("caf%E9.png"), which need not be UTF-8.
            path = base::fileNameText(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        }
        files.append(QDir::cleanPath(base.absoluteFilePath(path)));
    }
    return files;
}

} // namespace vexa::app
