#pragma once

#include "core/cups/PrintFailure.h"

#include <QString>
#include <QStringList>

namespace vexa::cups {

// What the print server says about its printers.
struct PrinterListing {
    enum class Status { Ok, NoPrinter, ServerUnreachable };
    Status status = Status::NoPrinter;
    QStringList names;   // "printer" or "printer/instance", in the order CUPS lists them
    QString defaultName; // the default right now (see systemDefaultPrinter), or empty
};

// Asks CUPS for its printers; tells a server that cannot be reached from one without printers.
PrinterListing listPrinters();

// The printers CUPS lists, in its order; empty also when the server cannot be reached.
QStringList installedPrinters();

// What to tell the user when a listing has no printer in it.
QString noPrinterText(PrinterListing::Status status);

// Why there is no default printer to print on, as CUPS tells now: the server cannot be
// reached, it has no printer, or none of its printers is the default.
PrintFailure missingDefaultFailure();

// The name of the printer CUPS treats as the default right now: the PRINTER or LPDEST
// variable, else the user's saved default, else the server's. Empty when there is none
// (also when the saved default names a printer that was removed). Asks libcups alone.
QString systemDefaultPrinter();

// The queue of a destination ("name/instance" gives "name"), as CUPS' requests name it.
QByteArray queueName(const QString& printer);

// True when PRINTER or LPDEST decides the default, so a saved default has no effect.
bool defaultPrinterOverridden();

// Saves `name` as the user's default destination: the `Default` line of their lpoptions file,
// every other line kept. False when CUPS does not know the printer or the file cannot be
// written; the saved default is then unchanged.
bool saveUserDefaultPrinter(const QString& name);

} // namespace vexa::cups
