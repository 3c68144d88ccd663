#include "core/settings/Settings.h"

#include "core/base/ProgramFolder.h"
#include "core/settings/ProfileFile.h"

#include <QDir>

namespace vexa::settings {

QString settingsFilePath() {
    return QDir(base::settingsFolder()).filePath(QStringLiteral("vexa6.ini"));
}

QString readSetting(SettingKey key) {
    return ProfileFile(settingsFilePath()).read(key.sectionText(), key.nameText());
}

bool writeSetting(SettingKey key, const QString& value) {
    return ProfileFile(settingsFilePath()).write(key.sectionText(), key.nameText(), value);
}

bool writeSettings(const QList<std::pair<SettingKey, QString>>& values) {
    QList<ProfileValue> entries;
    for (const auto& [key, value] : values)
        entries.append({key.sectionText(), key.nameText(), value});
    return ProfileFile(settingsFilePath()).write(entries);
}

QString readSetting(const QString& mainKey) {
    return ProfileFile(settingsFilePath()).read(QLatin1String(keys::kMain), mainKey);
}

bool writeSetting(const QString& mainKey, const QString& value) {
    return ProfileFile(settingsFilePath()).write(QLatin1String(keys::kMain), mainKey, value);
}

} // namespace vexa::settings
