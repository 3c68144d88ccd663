#include "RetainOriginalPrinter.h"

#include "SystemPrinters.h"
#include "cSetDfltPrinter.h"

namespace vexa::print {

QPrinterInfo FindDefaultPrinter() {
    const QString name = systemDefaultPrinter();
    if (name.isEmpty()) return {};
    for (const QString& installed : installedPrinters()) {
        if (installed == name) return QPrinterInfo::printerInfo(installed);
    }
    return {};
}

QString rememberStartupPrinter() {
    return FindDefaultPrinter().printerName();
}

bool restoreStartupPrinter(const QString& startupPrinter) {
    if (startupPrinter.isEmpty()) return true;
    return cSetDfltPrinter().SetPrinterAsDefault(startupPrinter);
}

} // namespace vexa::print
