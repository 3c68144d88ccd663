#include "ScannerChoice.h"

#include "ProfileFile.h"
#include "Settings.h"

namespace vexa::scan {

namespace {
const QString kSection = QStringLiteral("SCAN");
const QString kKey = QStringLiteral("Source");
} // namespace

QString rememberedScanner() {
    return ProfileFile(settingsFilePath()).read(kSection, kKey);
}

void rememberScanner(const QString& deviceName) {
    // Like every setting, a file that cannot be written loses the choice silently.
    ProfileFile(settingsFilePath()).write(kSection, kKey, deviceName);
}

} // namespace vexa::scan
