#pragma once

#include <QString>

namespace vexa {

// The settings file: "vexa6.ini" in settingsFolder() (see ProgramFolder.h), every key in
// section "MAIN".
// Reads and writes follow the profile-file rules (see ProfileFile.h); a failed write is
// reported by the result only, and callers that may lose a setting silently ignore it.
QString settingsFilePath();
QString readSetting(const QString& key);
bool writeSetting(const QString& key, const QString& value);

} // namespace vexa
