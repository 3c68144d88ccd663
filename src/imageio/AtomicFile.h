#pragma once

#include "core/base/FilePath.h"
#include "imageio/WriteResult.h"

#include <memory>

class QIODevice;

namespace vexa::imageio {

// A file written completely or not at all, under exactly the bytes of its name: the data goes
// to a temporary file in the same folder (with a short name of its own, so that every name
// fits), which replaces the file only once everything is written and on the disk. A link is
// followed, so the file it points to is replaced. Only a regular file or a new name is
// written: a FIFO, a device (also behind a link) and links that lead round in a circle are
// refused (see SaveTarget.h). A file that is there keeps its permissions; a new one gets what
// the umask leaves of rw-rw-rw-. An existing file that is not writable is left alone and the
// write fails.
class AtomicFile {
public:
    explicit AtomicFile(base::FilePath target);
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Makes the temporary file; device() takes the data once this succeeded.
    WriteResult open();
    QIODevice& device();
    // Why the device refused data, after a write to it failed.
    WriteResult deviceFailure() const;
    // Puts the data in the file's place.
    WriteResult commit();

private:
    class Device;

    base::FilePath m_target;
    QByteArray m_finalName; // the target with links followed
    QByteArray m_temporaryName;
    std::unique_ptr<Device> m_device;
    bool m_committed = false;
};

} // namespace vexa::imageio
