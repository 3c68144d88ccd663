#pragma once

// The reading and writing rules of a profile file, on the file's bytes (see ProfileFile.h).

#include <QByteArray>
#include <QString>

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

} // namespace vexa::settings
