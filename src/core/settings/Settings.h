#pragma once

#include "core/settings/SettingsKeys.h"

#include <QList>
#include <QString>

#include <utility>

namespace vexa::settings {

// The settings file: "vexa6.ini" in settingsFolder() (see ProgramFolder.h), its sections and
// keys in SettingsKeys.h.
// Reads and writes follow the profile-file rules (see ProfileFile.h); a failed write is
// reported by the result only, and callers that may lose a setting silently ignore it.
QString settingsFilePath();
QString readSetting(SettingKey key);
bool writeSetting(SettingKey key, const QString& value);
// Several keys, in the order given, with one replacement of the file.
bool writeSettings(const QList<std::pair<SettingKey, QString>>& values);

// [MAIN] keys by name: the covers' selection keys of the cover table.
QString readSetting(const QString& mainKey);
bool writeSetting(const QString& mainKey, const QString& value);

} // namespace vexa::settings
