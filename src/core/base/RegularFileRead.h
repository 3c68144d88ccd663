#pragma once

#include "core/base/FilePath.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vexa::base {

// The whole content of a regular file (links followed) of at most `maxBytes` bytes; nothing
// for anything else: a missing or unreadable file, a folder, a device such as /dev/zero, a
// FIFO (neither of them is opened, so a FIFO with no writer cannot hang the caller) or a file
// over the limit. A file that grows past the limit while it is read is refused too.
std::optional<QByteArray> readRegularFile(const FilePath& path, qint64 maxBytes);
// The same for a name given as text (see FilePath::fromText).
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

} // namespace vexa::base
