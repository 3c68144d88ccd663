#pragma once

#include <QString>
#include <QStringList>

namespace vexa::app {

// Linux has no drive letters: the browser's "drives" are the mounted volumes that hold
// files (the root file system, removable media, network shares), each spelled by its
// mount point. Kernel and memory file systems (/proc, /sys, /dev, tmpfs, ...) are left out.

// The drives listed in a mounts table in the format of /proc/self/mounts, sorted, "/" first.
QStringList drivesFromMountTable(const QString& mountTable);

// The drives mounted now.
QStringList mountedDrives();

// The drive that holds `path`: the longest listed mount point that contains it, or empty.
QString driveOfPath(const QStringList& drives, const QString& path);

} // namespace vexa::app
