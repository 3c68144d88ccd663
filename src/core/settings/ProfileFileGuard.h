#pragma once

#include <QByteArray>
#include <QString>

namespace vexa::settings {

// What a write to a profile file may replace (see ProfileFile.h).
struct ReplaceTarget {
    QString file;    // the file to replace: the name given, or where its link leads
    QString refusal; // why nothing may be replaced, as a sentence; empty when `file` may be
};

// The file a write to `path`, whose present text is `text`, replaces:
//  - a symbolic link is followed only to a regular file of the user's own (dotfile managers
//    link config files), never for root, whom a planted link could lead to replace any file of
//    the system;
//  - a file without write permission is read-only, for root too;
//  - a UTF-16 file (Windows' profile functions write such files) is not written: a UTF-8 line
//    in it would break it.
// A name that is not there yet is created.
ReplaceTarget replaceTarget(const QString& path, const QByteArray& text);

// Whether profile text is UTF-16: a UTF-16 byte-order mark, or two printable ASCII characters
// in UTF-16 at its start (each with a NUL byte beside it). Binary junk is kept, not refused.
bool isUtf16Text(const QByteArray& text);

} // namespace vexa::settings
