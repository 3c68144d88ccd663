#pragma once

#include <QByteArray>

namespace vexa::base {

// The SHA-256 of `data`, its 32 bytes. Through nettle, which uses the processor's SHA
// instructions where there are some: over ten times faster than QCryptographicHash on a
// photo, so that every picture read can carry the hash a project file records.
QByteArray sha256(const QByteArray& data);

} // namespace vexa::base
