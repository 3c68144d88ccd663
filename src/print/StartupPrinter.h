#pragma once

#include "LpOptionsFile.h"

#include <QPrinterInfo>

namespace vexa::print {

// The installed printer that is the default printer right now; a null QPrinterInfo when
// there is none (no printer at all, or a default that names no installed printer).
QPrinterInfo defaultPrinterInfo();

// What the main window keeps at start-up: the user's own default (the `Default` lines of
// their lpoptions), or that they had none and followed the server's default.
SavedUserDefault rememberStartupPrinter();

// At exit, puts the start-up default back exactly: the user's own `Default` line, even one
// naming a printer removed meanwhile, or no `Default` line at all, so that a user who followed
// the server's default still does. Every other line of the file stays as it is. Nothing is
// written while PRINTER or LPDEST decides the default, as nothing was written for a temporary
// printer then either. The result is only for callers that care; the main window ignores it.
bool restoreStartupPrinter(const SavedUserDefault& startup);

} // namespace vexa::print
