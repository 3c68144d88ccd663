#include "BrowserFolder.h"

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace vexa {

namespace {

void sortCaseless(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

} // namespace

bool matchesPicturePattern(const QString& fileName) {
    static const QStringList extensions = [] { // ".GIF", ".JPG", ...
        QStringList list;
        for (const QString& pattern : QString::fromLatin1(kPicturePattern).split(u';'))
            list.append(pattern.mid(1));
        return list;
    }();
    for (const QString& extension : extensions)
        if (fileName.size() > extension.size() && fileName.endsWith(extension, Qt::CaseInsensitive))
            return true;
    return false;
}

QString joinFolderAndFile(const QString& folder, const QString& fileName) {
    if (folder.endsWith(u'/')) return folder + fileName;
    return folder + u'/' + fileName;
}

QStringList pictureFilesIn(const QString& folder) {
    // Read with readdir: the browser re-reads its folder every 10 seconds, and the kind of
    // each entry comes with the listing, where a QDir listing asks the disk once per file.
    QStringList names;
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = opendir(path.constData());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue; // hidden, as a file list leaves them out
        const QString name = QFile::decodeName(entry->d_name);
        if (!matchesPicturePattern(name)) continue;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // A link counts when it leads to a file; some file systems give no kind.
            struct stat info {};
            const QByteArray full = path + '/' + entry->d_name;
            isFile = stat(full.constData(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (isFile) names.append(name);
    }
    closedir(dir);
    sortCaseless(names);
    return names;
}

QStringList subfoldersOf(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    sortCaseless(names);
    return names;
}

QList<FolderTreeEntry> folderTree(const QString& drive, const QString& path) {
    QList<FolderTreeEntry> tree;
    const QString current = QDir::cleanPath(path);
    QString root = QDir::cleanPath(drive.isEmpty() ? QStringLiteral("/") : drive);
    const bool onDrive =
        root == QLatin1String("/") || current == root || current.startsWith(root + u'/');
    if (!onDrive)
        root = QStringLiteral("/"); // a folder restored on another volume: show its whole path
    tree.append({root, root, 0, true});
    QString walked = root;
    const QString rest = current.mid(root.size());
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts)) {
        walked = joinFolderAndFile(walked, part);
        tree.append({part, walked, static_cast<int>(tree.size()), true});
    }
    const int depth = static_cast<int>(tree.size());
    for (const QString& name : subfoldersOf(walked))
        tree.append({name, joinFolderAndFile(walked, name), depth, false});
    return tree;
}

} // namespace vexa
