#include "StartupPrinter.h"

#include "SystemPrinters.h"

namespace vexa::print {

QPrinterInfo defaultPrinterInfo() {
    const QString name = systemDefaultPrinter();
    if (name.isEmpty()) return {};
    for (const QString& installed : installedPrinters()) {
        if (installed == name) return QPrinterInfo::printerInfo(installed);
    }
    return {};
}

SavedUserDefault rememberStartupPrinter() {
    return readUserDefault();
}

bool restoreStartupPrinter(const SavedUserDefault& startup) {
    if (defaultPrinterOverridden()) return true;
    return restoreUserDefault(startup);
}

} // namespace vexa::print
