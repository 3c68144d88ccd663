#pragma once

#include <QString>
#include <QStringList>

namespace vexa::print {

// The printers Qt can print to, in the order CUPS lists them.
QStringList installedPrinters();

// The name of the printer CUPS treats as the default right now: the PRINTER or LPDEST
// variable, else the user's saved default, else the server's. Empty when there is none
// (also when the saved default names a printer that was removed).
QString systemDefaultPrinter();

// True when PRINTER or LPDEST decides the default, so a saved default has no effect.
bool defaultPrinterOverridden();

// Saves `name` as the user's default destination: the `Default` line of their lpoptions file,
// every other line kept. False when CUPS does not know the printer or the file cannot be
// written; the saved default is then unchanged.
bool saveUserDefaultPrinter(const QString& name);

} // namespace vexa::print
