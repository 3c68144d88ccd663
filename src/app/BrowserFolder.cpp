#include "BrowserFolder.h"

#include <QDir>

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
    for (const QString& pattern : QString::fromLatin1(kPicturePattern).split(u';')) {
        const QString extension = pattern.mid(1); // ".GIF"
        if (fileName.size() > extension.size() && fileName.endsWith(extension, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString joinFolderAndFile(const QString& folder, const QString& fileName) {
    if (folder.endsWith(u'/')) return folder + fileName;
    return folder + u'/' + fileName;
}

QStringList pictureFilesIn(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Readable, QDir::NoSort))
        if (matchesPicturePattern(name)) names.append(name);
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
