#include "Settings.h"

#include "ProfileFile.h"
#include "ProgramFolder.h"

#include <QDir>

namespace vexa {

namespace {
const QString kSection = QStringLiteral("MAIN");
}

QString settingsFilePath() {
    return QDir(settingsFolder()).filePath(QStringLiteral("vexa6.ini"));
}

QString readSetting(const QString& key) {
    return ProfileFile(settingsFilePath()).read(kSection, key);
}

bool writeSetting(const QString& key, const QString& value) {
    return ProfileFile(settingsFilePath()).write(kSection, key, value);
}

} // namespace vexa
