#include "core/base/RegularFileRead.h"

#include <algorithm>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa::base {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    return readRegularFile(FilePath::fromText(path), maxBytes);
}

std::optional<QByteArray> readRegularFile(const FilePath& path, qint64 maxBytes) {
    if (path.isEmpty() || maxBytes < 0) return std::nullopt;
    const QByteArray& name = path.bytes();
    // Asked before opening: opening a device can act on it (a tape rewinds, a serial line
    // resets the board on it, a watchdog arms), and a FIFO would wait for a writer.
    struct stat named {};
    if (::stat(name.constData(), &named) != 0 || !S_ISREG(named.st_mode)) return std::nullopt;
    // O_NONBLOCK: a FIFO put in the file's place meanwhile must not wait for a writer either;
    // a regular file ignores it.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if (info.st_size > maxBytes) return std::nullopt;

    QByteArray bytes;
    // One byte over the limit tells a file that grew meanwhile from one that fits exactly.
    const qint64 capacity = maxBytes + 1;
    bytes.resize(qsizetype(std::min<qint64>(info.st_size + 1, capacity)));
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled >= capacity) return std::nullopt;
            bytes.resize(qsizetype(std::min<qint64>(capacity, filled * 2 + 4096)));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        filled += got;
    }
    if (filled > maxBytes) return std::nullopt;
    bytes.truncate(qsizetype(filled));
    return bytes;
}

} // namespace vexa::base
