#include "core/cups/DefaultPrinter.h"

#include "core/cups/StartupPrinter.h"
#include "core/cups/SystemPrinters.h"

namespace vexa::cups {

DefaultPrinter::DefaultPrinter()
    : m_initialDevice(systemDefaultPrinter()), m_currentDefault(m_initialDevice) {}

bool DefaultPrinter::makeDefault(const QString& deviceName) {
    const QString now = systemDefaultPrinter();
    // Nothing to write when it already is the default; the remembered name alone is not
    // trusted, as the default may have been changed outside the program since.
    if (deviceName == m_currentDefault && deviceName == now) return true;
    if (deviceName.isEmpty() || !installedPrinters().contains(deviceName)) return false;
    if (deviceName != now) {
        if (defaultPrinterOverridden()) return false;
        // What undoes the change is on disk before the change is.
        if (!noteTemporaryPrinter(deviceName) || !saveUserDefaultPrinter(deviceName)) return false;
        // Read back: only what CUPS now reports counts as done.
        if (systemDefaultPrinter() != deviceName) return false;
    }
    m_currentDefault = deviceName;
    return true;
}

} // namespace vexa::cups
