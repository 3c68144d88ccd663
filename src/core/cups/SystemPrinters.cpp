#include "core/cups/SystemPrinters.h"

#include "core/cups/LpOptionsFile.h"

#include <cups/cups.h>

#include <algorithm>

namespace vexa::cups {

namespace {

// The destinations of the user's view of CUPS, freed on every way out.
class Destinations {
public:
    Destinations() : m_count(cupsGetDests2(CUPS_HTTP_DEFAULT, &m_dests)) {
        // libcups answers "service unavailable" when it could not talk to the server at all.
        m_reached = m_count > 0 || cupsLastError() < IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
    }
    ~Destinations() { cupsFreeDests(m_count, m_dests); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return m_count; }
    bool serverReached() const { return m_reached; }
    cups_dest_t* list() const { return m_dests; }

private:
    cups_dest_t* m_dests = nullptr;
    int m_count = 0;
    bool m_reached = true;
};

QString destinationName(const cups_dest_t& dest) {
    QString name = QString::fromLocal8Bit(dest.name);
    if (dest.instance) name += QLatin1Char('/') + QString::fromLocal8Bit(dest.instance);
    return name;
}

} // namespace

PrinterListing listPrinters() {
    Destinations dests;
    PrinterListing listing;
    for (int i = 0; i < dests.count(); ++i) listing.names << destinationName(dests.list()[i]);
    if (const cups_dest_t* dest = cupsGetDest(nullptr, nullptr, dests.count(), dests.list()))
        listing.defaultName = destinationName(*dest);
    using Status = PrinterListing::Status;
    listing.status = !listing.names.isEmpty() ? Status::Ok
                     : dests.serverReached()  ? Status::NoPrinter
                                              : Status::ServerUnreachable;
    return listing;
}

QStringList installedPrinters() {
    return listPrinters().names;
}

QString noPrinterText(PrinterListing::Status status) {
    return printFailureText(status == PrinterListing::Status::ServerUnreachable
                                ? PrintFailure::ServerUnreachable
                                : PrintFailure::NoPrinter);
}

PrintFailure missingDefaultFailure() {
    switch (listPrinters().status) {
    case PrinterListing::Status::ServerUnreachable:
        return PrintFailure::ServerUnreachable;
    case PrinterListing::Status::NoPrinter:
        return PrintFailure::NoPrinter;
    case PrinterListing::Status::Ok:
        break;
    }
    return PrintFailure::NoDefaultPrinter;
}

QString systemDefaultPrinter() {
    Destinations dests;
    const cups_dest_t* dest = cupsGetDest(nullptr, nullptr, dests.count(), dests.list());
    return dest ? destinationName(*dest) : QString();
}

QByteArray queueName(const QString& printer) {
    return printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
}

bool defaultPrinterOverridden() {
    // libcups' own rule: LPDEST wins, then PRINTER unless it is the traditional "lp".
    if (!qEnvironmentVariableIsEmpty("LPDEST")) return true;
    const QByteArray printer = qgetenv("PRINTER");
    return !printer.isEmpty() && printer != "lp";
}

bool saveUserDefaultPrinter(const QString& name) {
    const QByteArray full = name.toLocal8Bit();
    // The name becomes one word of a line in the options file.
    const bool writable = !full.isEmpty() && std::none_of(full.begin(), full.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '#' || c == '\x7f';
    });
    if (!writable) return false;
    const qsizetype slash = full.indexOf('/');
    const QByteArray printer = slash < 0 ? full : full.left(slash);
    const QByteArray instance = slash < 0 ? QByteArray() : full.mid(slash + 1);

    Destinations dests;
    if (!cupsGetDest(printer.constData(), instance.isEmpty() ? nullptr : instance.constData(),
                     dests.count(), dests.list()))
        return false;
    // Not cupsSetDests2: it would rewrite the user's whole file from libcups' parsed view.
    return writeUserDefault(full);
}

} // namespace vexa::cups
