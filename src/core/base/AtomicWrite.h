#pragma once

#include "core/base/FilePath.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace vexa::base {

// Told after each piece of a write, with the bytes written so far and the total.
using WriteProgress = std::function<void(qint64 written, qint64 total)>;

// Writes `data` as the whole of the file `target`, completely or not at all: into a
// temporary file in the same folder, synced to the disk, then renamed over the target, and
// the folder synced so that the rename lasts. Killed, out of disk space or failing at any
// moment, the target is left byte for byte as it was. A link is followed, so that the file
// it points to is replaced. A file that is there keeps its permissions; a new one gets what
// the umask leaves of rw-rw-rw-. An existing target that is not writable, a folder or
// anything else that is no regular file is left alone and the write fails.
// 0 when written, else the errno of what failed; the temporary file is then removed.
int writeFileAtomically(const FilePath& target, const QByteArray& data,
                        const WriteProgress& progress = {});

// Why writeFileAtomically failed, to follow "cannot write 'NAME': ": "there is not enough
// space on the disk", "its folder does not exist", ...
QString atomicWriteFailureText(int error);

} // namespace vexa::base
