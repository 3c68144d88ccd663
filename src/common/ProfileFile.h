#pragma once

#include <QString>

namespace vexa {

// An INI ("profile") file read and written the way Windows' profile functions do it, so
// that files written elsewhere keep their comments, blank lines and unknown keys:
//  - section and key names are compared without regard to case;
//  - a value is the text after the first "=", without leading and trailing blanks;
//  - a missing file, section or key reads as the empty text;
//  - values are cut to 1999 characters;
//  - a write replaces only the written key, creating the file or the section when missing.
// Writes go through a temporary file and an atomic rename, so the old file survives a crash
// or a full disk.
class ProfileFile {
public:
    static constexpr int kMaxValueLength = 1999;

    explicit ProfileFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    QString read(const QString& section, const QString& key) const;

    // False when the file cannot be written, or when a name or the value would break the
    // file's syntax (a line break anywhere, "=" in the key, "]" in the section); the file is
    // then left as it was.
    bool write(const QString& section, const QString& key, const QString& value) const;

private:
    QString m_path;
};

} // namespace vexa
