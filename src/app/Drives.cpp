#include "app/Drives.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>

namespace vexa::app {

namespace {

// File system types that never hold the user's files.
const QSet<QString>& virtualTypes() {
    static const QSet<QString> types{
        "proc",        "sysfs",    "devtmpfs",  "devpts",      "tmpfs",
        "ramfs",       "cgroup",   "cgroup2",   "securityfs",  "pstore",
        "debugfs",     "tracefs",  "configfs",  "fusectl",     "mqueue",
        "hugetlbfs",   "bpf",      "autofs",    "binfmt_misc", "rpc_pipefs",
        "nsfs",        "efivarfs", "selinuxfs", "squashfs",    "fuse.gvfsd-fuse",
        "fuse.portal", "overlay",  "nfsd"};
    return types;
}

bool underSystemFolder(const QString& mountPoint) {
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/lib"}) {
        const QString prefix = QLatin1String(system);
        if (mountPoint == prefix || mountPoint.startsWith(prefix + u'/')) {
            // removable media mounted by the desktop live below /run/media
            return !mountPoint.startsWith(QLatin1String("/run/media/"));
        }
    }
    return false;
}

// Mount points in the table have blanks, tabs, line ends and backslashes written as octal.
QString unescapeMountPoint(const QString& field) {
    auto isOctal = [](QChar c) { return c >= u'0' && c <= u'7'; };
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += QChar(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

} // namespace

QStringList drivesFromMountTable(const QString& mountTable) {
    QStringList drives{QStringLiteral("/")};
    for (const QString& line : mountTable.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 3) continue;
        const QString mountPoint = unescapeMountPoint(fields[1]);
        const QString type = fields[2];
        if (!mountPoint.startsWith(u'/') || virtualTypes().contains(type) ||
            underSystemFolder(mountPoint) || drives.contains(mountPoint))
            continue;
        drives.append(mountPoint);
    }
    std::sort(drives.begin() + 1, drives.end());
    return drives;
}

QStringList mountedDrives() {
    QFile table(QStringLiteral("/proc/self/mounts"));
    if (!table.open(QIODevice::ReadOnly)) return {QStringLiteral("/")};
    return drivesFromMountTable(QString::fromUtf8(table.readAll()));
}

QString driveOfPath(const QStringList& drives, const QString& path) {
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (const QString& drive : drives) {
        const bool contains =
            clean == drive || drive == QLatin1String("/") || clean.startsWith(drive + u'/');
        if (contains && drive.size() > best.size()) best = drive;
    }
    return best;
}

} // namespace vexa::app
