#pragma once

// The reading and writing rules of a profile file, on the file's bytes (see ProfileFile.h).

#include <QByteArray>
#include <QString>

#include <vector>

namespace vexa::settings {

// The value of `key` in the first section named `section` of `text`; empty when missing.
QString profileValue(const QByteArray& text, const QString& section, const QString& key);

// `text` with `key` of `section` set to `value`: the key's line is replaced (its spelling of
// the key and its line end kept), or the key is added at the end of its section, or the
// section is added at the end; every other byte stays as it was. New lines end like the
// file's lines do ("\r\n" when the file has one, else "\n"). The caller checks the names.
QByteArray withProfileValue(const QByteArray& text, const QString& section, const QString& key,
                            const QString& value);

// `text` without the line of `key` in the first section named `section` (its line end too);
// `text` itself when there is no such key.
QByteArray withoutProfileValue(const QByteArray& text, const QString& section, const QString& key);

// A line meant as the header of a section that is none of it: "[CALIBRATION" without its
// bracket, "CALIBRATION]", "[[CALIBRATION]]". The lines below it, up to the next header, belong
// to the section above it as the file is read. Lines are numbered from 1.
struct BrokenHeader {
    int line = 0;
    QString text;
    int entries = 0; // the "key=value" lines below it that no section of its name holds
};
std::vector<BrokenHeader> brokenSectionHeaders(const QByteArray& text, const QString& section);

// A line giving a key a value.
struct ProfileKeyLine {
    int line = 0;
    QString value; // as read (see ProfileFile)
    bool belowBrokenHeader = false;
};

// Every line that gives `key` for `section`, in file order: in each section of that name (the
// reader takes the first such line of the first such section and no other), and below a
// broken header of it (see brokenSectionHeaders).
std::vector<ProfileKeyLine> profileKeyLines(const QByteArray& text, const QString& section,
                                            const QString& key);

// `text` with `key` of `section` given once, as `value`: the line withProfileValue would write
// is written, and every other line of profileKeyLines taken out (its line end too).
QByteArray withSingleProfileValue(const QByteArray& text, const QString& section,
                                  const QString& key, const QString& value);

// `text` without any line of profileKeyLines (their line ends too).
QByteArray withoutAnyProfileValue(const QByteArray& text, const QString& section,
                                  const QString& key);

} // namespace vexa::settings
