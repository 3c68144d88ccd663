#pragma once

#include "core/settings/ProfileFileText.h"

#include <QList>
#include <QString>

#include <vector>

namespace vexa::settings {

// One value of a profile file, by section and key.
struct ProfileValue {
    QString section;
    QString key;
    QString value;
};

// An INI ("profile") file read and written the way Windows' profile functions do it, so
// that files written elsewhere keep their comments, blank lines and unknown keys:
//  - section and key names are compared without regard to case;
//  - a value is the text after the first "=", without leading and trailing blanks and
//    without one pair of matching quotes (double or single) around it;
//  - values are UTF-8 text; bytes that are not UTF-8 (a folder's name in another encoding) read
//    as U+DC80 ... U+DCFF, as file names do (see FilePath.h), and are written back as the
//    same bytes;
//  - a missing file, section or key reads as the empty text, and so does a file that is no
//    regular file (a FIFO, a device; links are followed) or is over kMaxFileBytes;
//  - values are cut to 1999 characters;
//  - a write replaces only the written key's line, keeping the key's spelling, and creates
//    the file or the section when missing; every other byte of the file (comments in any
//    encoding, binary junk, line ends) stays as it was. A file that exists but cannot be
//    read is never replaced, and a write that changes nothing leaves the file alone.
// Writes go through a temporary file and an atomic rename, so the old file survives a crash
// or a full disk. A link is followed only to a regular file of the user's own and never for
// root; such a link, a read-only file and a UTF-16 file are not replaced: the run says so once
// (on stderr) and keeps its settings in memory, so that it reads back what it wrote (see
// ProfileFileGuard.h, ProfileRunMemory.h); the write reports failure.
class ProfileFile {
public:
    static constexpr int kMaxValueLength = 1999;
    // Far above any settings file (10 MB ones are read and kept), far below what would hurt.
    static constexpr qint64 kMaxFileBytes = qint64(16) << 20;

    explicit ProfileFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    QString read(const QString& section, const QString& key) const;

    // False when the file cannot be read or written, or when a name or the value would break
    // the file's syntax (a line break anywhere, "=" in the key, "]" in the section); the
    // file is then left as it was.
    bool write(const QString& section, const QString& key, const QString& value) const;
    // Several values with one replacement of the file: the text is that of one write() per
    // value in order. False, and the file left as it was, when any value cannot be written.
    bool write(const QList<ProfileValue>& values) const;
    // Takes the key's line out of the file; true also when there was no such key (then the
    // file is not touched). False when the file exists but cannot be read or written.
    bool remove(const QString& section, const QString& key) const;

    // For files a person edits, where a key may be given twice or a header mistyped (see
    // ProfileFileText.h): every line that gives the key for the section, and the broken
    // headers of the section. Empty when the file cannot be read.
    std::vector<ProfileKeyLine> keyLines(const QString& section, const QString& key) const;
    std::vector<BrokenHeader> brokenHeaders(const QString& section) const;
    // As write() and remove(), for every line of keyLines(): the value is written on one line
    // and every other line of the key taken out, or all of them are.
    bool writeSingle(const QString& section, const QString& key, const QString& value) const;
    bool removeEvery(const QString& section, const QString& key) const;

private:
    bool write(const QList<ProfileValue>& values, bool single) const;
    bool takeOut(const QString& section, const QString& key, bool every) const;

    QString m_path;
};

} // namespace vexa::settings
