#pragma once

#include <QPrinterInfo>
#include <QString>

namespace vexa::print {

// The installed printer that is the default printer right now; a null QPrinterInfo when
// there is none (no printer at all, or a default that names no installed printer).
QPrinterInfo FindDefaultPrinter();

// The main window's start-up printer: the name of FindDefaultPrinter(), empty when none.
QString rememberStartupPrinter();

// Makes the start-up printer the default again at exit. With no start-up printer there is
// nothing to restore. The result is only for callers that care; the main window ignores it.
bool restoreStartupPrinter(const QString& startupPrinter);

} // namespace vexa::print
