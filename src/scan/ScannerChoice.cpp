#include "scan/ScannerChoice.h"

#include "core/settings/ProfileFile.h"
#include "core/settings/Settings.h"

namespace vexa::scan {

namespace {
const QString kSection = QStringLiteral("SCAN");
const QString kKey = QStringLiteral("Source");
} // namespace

QString rememberedScanner() {
    return settings::ProfileFile(settings::settingsFilePath()).read(kSection, kKey);
}

void rememberScanner(const QString& deviceName) {
    // Like every setting, a file that cannot be written loses the choice silently.
    settings::ProfileFile(settings::settingsFilePath()).write(kSection, kKey, deviceName);
}

} // namespace vexa::scan
