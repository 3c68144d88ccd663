#include "imageio/AtomicFile.h"

#include "core/base/SaveTarget.h"

#include <QIODevice>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa::imageio {

namespace {

// Encoders hand over their data in pieces of a few hundred bytes (GIF) to a few kilobytes;
// collected, they reach the disk in few system calls.
constexpr qsizetype kBufferBytes = 256 * 1024;
// Why no file could be made in the target's folder.
WriteResult creationFailure(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return {WriteStatus::FolderMissing, error};
    case EACCES:
    case EPERM:
    case EROFS:
        return {WriteStatus::FolderNotWritable, error};
    default:
        return writeFailure(error);
    }
}

} // namespace

// The temporary file as the encoders see it: random access (the TIFF writer goes back to
// its header), buffered, and keeping the errno of the first write the file refused.
class AtomicFile::Device final : public QIODevice {
public:
    explicit Device(int fd) : m_fd(fd) { QIODevice::open(QIODevice::WriteOnly); }
    ~Device() override {
        if (m_fd >= 0) ::close(m_fd);
    }

    bool isSequential() const override { return false; }
    qint64 size() const override {
        return std::max(m_fileSize, m_bufferStart + qint64(m_buffer.size()));
    }
    int error() const { return m_error; }

    // Writes out what is buffered, syncs the file to the disk and closes it.
    bool finish() {
        if (m_error != 0 || !flushBuffer()) return false;
        if (::fdatasync(m_fd) != 0) return fail(errno);
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || fail(errno);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (m_error != 0) return -1;
        const qint64 at = pos();
        if (!m_buffer.isEmpty() && at != m_bufferStart + m_buffer.size() && !flushBuffer())
            return -1;
        if (m_buffer.isEmpty()) m_bufferStart = at;
        m_buffer.append(data, qsizetype(length));
        if (m_buffer.size() >= kBufferBytes && !flushBuffer()) return -1;
        return length;
    }

private:
    bool fail(int error) {
        m_error = error != 0 ? error : EIO;
        return false;
    }

    bool flushBuffer() {
        for (qsizetype done = 0; done < m_buffer.size();) {
            const ssize_t written =
                ::pwrite(m_fd, m_buffer.constData() + done, size_t(m_buffer.size() - done),
                         off_t(m_bufferStart + done));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return fail(written < 0 ? errno : EIO);
            done += written;
        }
        m_fileSize = std::max(m_fileSize, m_bufferStart + qint64(m_buffer.size()));
        m_buffer.resize(0);
        return true;
    }

    int m_fd;
    int m_error = 0;
    QByteArray m_buffer;
    qint64 m_bufferStart = 0;
    qint64 m_fileSize = 0;
};

AtomicFile::AtomicFile(base::FilePath target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile() {
    m_device.reset();
    if (!m_committed && !m_temporaryName.isEmpty()) ::unlink(m_temporaryName.constData());
}

WriteResult AtomicFile::open() {
    if (m_target.isEmpty()) return {WriteStatus::FolderMissing, ENOENT};
    const base::SaveTarget target = base::saveTarget(m_target);
    switch (target.refusal) {
    case base::SaveRefusal::None:
        break;
    case base::SaveRefusal::Folder:
        return {WriteStatus::WriteFailed, EISDIR};
    case base::SaveRefusal::NotRegularFile:
        return {WriteStatus::NotRegularFile, 0};
    case base::SaveRefusal::LinkLoop:
        return {WriteStatus::LinkLoop, ELOOP};
    }
    m_finalName = target.file.bytes();
    // Effective rights, as opening the file itself would check them.
    if (target.exists && ::faccessat(AT_FDCWD, m_finalName.constData(), W_OK, AT_EACCESS) != 0)
        return {WriteStatus::FileNotWritable, errno};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = base::temporaryNameBeside(target.file).bytes();
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                              0666); // less the umask, as for any new file
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return creationFailure(errno);
        }
        m_temporaryName = name;
        if (target.exists) ::fchmod(fd, target.mode & 07777);
        m_device = std::make_unique<Device>(fd);
        return {};
    }
    return {WriteStatus::WriteFailed, EEXIST};
}

QIODevice& AtomicFile::device() {
    return *m_device;
}

WriteResult AtomicFile::deviceFailure() const {
    return m_device && m_device->error() != 0 ? writeFailure(m_device->error())
                                              : WriteResult{WriteStatus::WriteFailed, 0};
}

WriteResult AtomicFile::commit() {
    if (!m_device) return {WriteStatus::WriteFailed, EBADF};
    if (!m_device->finish()) return writeFailure(m_device->error());
    if (::rename(m_temporaryName.constData(), m_finalName.constData()) != 0)
        return writeFailure(errno);
    m_committed = true;
    return {};
}

} // namespace vexa::imageio
