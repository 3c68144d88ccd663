#include "scan/ScannerChoice.h"

#include "core/settings/Settings.h"

namespace vexa::scan {

QString rememberedScanner() {
    return settings::readSetting(settings::keys::kScanSource);
}

void rememberScanner(const QString& deviceName) {
    // Like every setting, a file that cannot be written loses the choice silently.
    settings::writeSetting(settings::keys::kScanSource, deviceName);
}

} // namespace vexa::scan
