#include "core/cups/StartupPrinter.h"

#include "core/cups/DefaultPrinterUndo.h"
#include "core/cups/SystemPrinters.h"

#include <algorithm>
#include <optional>

namespace vexa::cups {

QString defaultPrinterName() {
    const QString name = systemDefaultPrinter();
    if (name.isEmpty() || !installedPrinters().contains(name)) return {};
    return name;
}

namespace {

// This process's start-up default and the names it wrote since, as the undo file holds them.
std::optional<DefaultPrinterUndo>& processUndo() {
    static std::optional<DefaultPrinterUndo> undo;
    return undo;
}

} // namespace

SavedUserDefault rememberStartupPrinter() {
    const SavedUserDefault startup = readUserDefault();
    processUndo() = DefaultPrinterUndo{startup, {}};
    return startup;
}

bool noteTemporaryPrinter(const QString& deviceName) {
    std::optional<DefaultPrinterUndo>& undo = processUndo();
    // Unreadable at start-up: nothing can be put back, at exit or later.
    if (!undo || !undo->startup.readable) return true;
    const QByteArray destination = deviceName.toLocal8Bit();
    if (std::find(undo->written.begin(), undo->written.end(), destination) == undo->written.end())
        undo->written.push_back(destination);
    return saveDefaultPrinterUndo(*undo);
}

bool restoreStartupPrinter(const SavedUserDefault& startup) {
    if (!defaultPrinterOverridden() && !restoreUserDefault(startup)) return false;
    if (processUndo()) processUndo()->written.clear();
    return removeDefaultPrinterUndo();
}

} // namespace vexa::cups
