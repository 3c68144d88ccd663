#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace vexa::settings {

// The settings file: "vexa6.ini" in settingsFolder() (see ProgramFolder.h), every key in
// section "MAIN".
// Reads and writes follow the profile-file rules (see ProfileFile.h); a failed write is
// reported by the result only, and callers that may lose a setting silently ignore it.
QString settingsFilePath();
QString readSetting(const QString& key);
bool writeSetting(const QString& key, const QString& value);
// Several keys, in the order given, with one replacement of the file.
bool writeSettings(const QList<std::pair<QString, QString>>& values);

} // namespace vexa::settings
