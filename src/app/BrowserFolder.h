#pragma once

#include <QString>
#include <QStringList>

namespace vexa::app {

// The picture browser's view of one folder, read from disk without any window.

// The pattern of the file list: every format VEXA opens, matched without regard to case.
inline constexpr const char* kPicturePattern = "*.GIF;*.JPG;*.JPEG;*.BMP;*.PNG;*.TIF;*.TIFF;*.WEBP";

bool matchesPicturePattern(const QString& fileName);

// The folder path, a "/" unless it already ends in one, then the file name.
QString joinFolderAndFile(const QString& folder, const QString& fileName);

// Names of the files in `folder` that match the pattern, sorted without regard to case.
// Hidden files are left out, as a file list shows them by default.
QStringList pictureFilesIn(const QString& folder);

// Names of the folders in `folder`, sorted without regard to case, hidden ones left out.
QStringList subfoldersOf(const QString& folder);

// The folder tree the folder list shows for `path` on `drive`: the open folders from the
// drive's mount point down to `path` (each with its full path), then the folders inside it.
struct FolderTreeEntry {
    QString name;
    QString path;
    int depth;
    bool open; // on the way from the drive down to the current folder
    bool operator==(const FolderTreeEntry&) const = default;
};
QList<FolderTreeEntry> folderTree(const QString& drive, const QString& path);

} // namespace vexa::app
