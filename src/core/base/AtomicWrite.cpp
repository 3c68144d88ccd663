#include "core/base/AtomicWrite.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa::base {

namespace {

// Large enough for few system calls, small enough for a progress bar that moves.
constexpr qint64 kPieceBytes = 8 * 1024 * 1024;

QByteArray folderOf(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    if (slash == 0) return QByteArrayLiteral("/");
    return name.left(slash);
}

// The file a name leads to: through a link, the file it points to is the one replaced. A
// link that leads nowhere is replaced itself.
QByteArray finalName(const QByteArray& name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return name;
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(name.constData(), nullptr), &std::free);
    return resolved ? QByteArray(resolved.get()) : name;
}

// A hidden name of fixed length beside the target, so that a target name near the file
// system's limit still leaves room for it.
QByteArray temporaryName(const QByteArray& folder) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = folder + "/.vexa-";
    for (int i = 0; i < 10; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return name + ".tmp";
}

int writeAll(int fd, const QByteArray& data, const WriteProgress& progress) {
    for (qint64 done = 0; done < data.size();) {
        const qint64 piece = std::min(kPieceBytes, data.size() - done);
        const ssize_t written = ::write(fd, data.constData() + done, size_t(piece));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        done += written;
        if (progress) progress(done, data.size());
    }
    return 0;
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return; // the data is on the disk; only the rename may not be yet
    ::fsync(fd);
    ::close(fd);
}

} // namespace

int writeFileAtomically(const FilePath& target, const QByteArray& data,
                        const WriteProgress& progress) {
    if (target.isEmpty()) return ENOENT;
    const QByteArray name = finalName(target.bytes());
    struct stat existing {};
    const bool exists = ::stat(name.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return EISDIR;
    if (exists && !S_ISREG(existing.st_mode)) return EINVAL;
    // Effective rights, as opening the file itself would check them.
    if (exists && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0) return errno;

    const QByteArray folder = folderOf(name);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(folder);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                    0666); // less the umask, as for any new file
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    int error = 0;
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) error = errno;
    if (error == 0) error = writeAll(fd, data, progress);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.constData(), name.constData()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return error;
    }
    syncFolder(folder);
    return 0;
}

QString atomicWriteFailureText(int error) {
    switch (error) {
    case 0:
        return QString();
    case ENOSPC:
    case EFBIG: // over the file size limit: to the user, the same as a full disk
        return QStringLiteral("there is not enough space on the disk");
    case EDQUOT:
        return QStringLiteral("your disk quota is used up");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("its folder does not exist");
    case EACCES:
    case EPERM:
        return QStringLiteral("you may not write there");
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case EISDIR:
        return QStringLiteral("it is a folder");
    case EINVAL:
        return QStringLiteral("it is not a regular file");
    default:
        break;
    }
    QString reason = qt_error_string(error);
    if (!reason.isEmpty()) reason[0] = reason[0].toLower();
    return reason;
}

} // namespace vexa::base
