#include "app/BrowserFolder.h"

#include "core/base/FilePath.h"

#include <QDir>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace vexa::app {

namespace {

void sortCaseless(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

// The names of the entries of `folder` of one kind (S_IFREG, S_IFDIR; a link counts as what it
// leads to) that `wanted` takes, hidden ones left out as a file list leaves them out. Read with
// readdir: the browser re-reads its folder every 10 seconds, and the kind of each entry comes
// with the listing, where a QDir listing asks the disk once per file. Names are bytes; their
// text keeps a byte that is not UTF-8 (see FilePath), so the file opens by its own name.
template <typename Wanted>
QStringList entriesOf(const QString& folder, mode_t kind, Wanted wanted) {
    QStringList names;
    const QByteArray path = base::fileNameBytes(folder);
    DIR* dir = opendir(path.constData());
    if (!dir) return names;
    const unsigned char listedKind = kind == S_IFDIR ? DT_DIR : DT_REG;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const QString name = base::fileNameText(QByteArray(entry->d_name));
        if (!wanted(name)) continue;
        bool isKind = entry->d_type == listedKind;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Some file systems give no kind.
            struct stat info {};
            const QByteArray full = path + '/' + entry->d_name;
            isKind = stat(full.constData(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
        }
        if (isKind) names.append(name);
    }
    closedir(dir);
    return names;
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
    QStringList names = entriesOf(folder, S_IFREG, matchesPicturePattern);
    sortCaseless(names);
    return names;
}

QStringList subfoldersOf(const QString& folder) {
    QStringList names = entriesOf(folder, S_IFDIR, [](const QString&) { return true; });
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

} // namespace vexa::app
