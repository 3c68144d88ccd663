#pragma once

#include "core/cups/LpOptionsFile.h"

#include <QString>

namespace vexa::cups {

// The installed printer that is the default printer right now; empty when there is none (no
// printer at all, or a default that names no installed printer).
QString defaultPrinterName();

// What the main window keeps at start-up: the user's own default (the `Default` lines of
// their lpoptions), or that they had none and followed the server's default. The process
// keeps it too, for noteTemporaryPrinter.
SavedUserDefault rememberStartupPrinter();

// Called before `deviceName` is written as the default: records in the undo file (see
// DefaultPrinterUndo.h) the start-up default and every name written so far, so that the next
// start can put the user's lines back should this process never get to. True when that is
// recorded, or when nothing was remembered at start-up, so that nothing will be restored.
bool noteTemporaryPrinter(const QString& deviceName);

// At exit, puts the start-up default back exactly: the user's own `Default` line, even one
// naming a printer removed meanwhile, or no `Default` line at all, so that a user who followed
// the server's default still does. Every other line of the file stays as it is. Nothing is
// written while PRINTER or LPDEST decides the default, as nothing was written for a temporary
// printer then either. Once the lines are back the undo file goes. The result is only for
// callers that care; the main window ignores it.
bool restoreStartupPrinter(const SavedUserDefault& startup);

} // namespace vexa::cups
