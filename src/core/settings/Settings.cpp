#include "core/settings/Settings.h"

#include "core/base/ProgramFolder.h"
#include "core/settings/ProfileFile.h"

#include <QDir>

namespace vexa::settings {

namespace {
const QString kSection = QStringLiteral("MAIN");
}

QString settingsFilePath() {
    return QDir(base::settingsFolder()).filePath(QStringLiteral("vexa6.ini"));
}

QString readSetting(const QString& key) {
    return ProfileFile(settingsFilePath()).read(kSection, key);
}

bool writeSetting(const QString& key, const QString& value) {
    return ProfileFile(settingsFilePath()).write(kSection, key, value);
}

bool writeSettings(const QList<std::pair<QString, QString>>& values) {
    QList<ProfileValue> entries;
    for (const auto& [key, value] : values) entries.append({kSection, key, value});
    return ProfileFile(settingsFilePath()).write(entries);
}

} // namespace vexa::settings
