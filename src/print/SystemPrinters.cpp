#include "SystemPrinters.h"

#include <QPrinterInfo>

#include <cups/cups.h>

namespace vexa::print {

namespace {

// The destinations of the user's view of CUPS, freed on every way out.
class Destinations {
public:
    Destinations() : m_count(cupsGetDests2(CUPS_HTTP_DEFAULT, &m_dests)) {}
    ~Destinations() { cupsFreeDests(m_count, m_dests); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return m_count; }
    cups_dest_t* list() const { return m_dests; }

private:
    cups_dest_t* m_dests = nullptr;
    int m_count = 0;
};

QString destinationName(const cups_dest_t& dest) {
    QString name = QString::fromLocal8Bit(dest.name);
    if (dest.instance) name += QLatin1Char('/') + QString::fromLocal8Bit(dest.instance);
    return name;
}

} // namespace

QStringList installedPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

QString systemDefaultPrinter() {
    Destinations dests;
    const cups_dest_t* dest = cupsGetDest(nullptr, nullptr, dests.count(), dests.list());
    return dest ? destinationName(*dest) : QString();
}

bool defaultPrinterOverridden() {
    // libcups' own rule: LPDEST wins, then PRINTER unless it is the traditional "lp".
    if (!qEnvironmentVariableIsEmpty("LPDEST")) return true;
    const QByteArray printer = qgetenv("PRINTER");
    return !printer.isEmpty() && printer != "lp";
}

bool saveUserDefaultPrinter(const QString& name) {
    const QByteArray full = name.toLocal8Bit();
    const qsizetype slash = full.indexOf('/');
    const QByteArray printer = slash < 0 ? full : full.left(slash);
    const QByteArray instance = slash < 0 ? QByteArray() : full.mid(slash + 1);

    Destinations dests;
    cups_dest_t* chosen =
        cupsGetDest(printer.constData(), instance.isEmpty() ? nullptr : instance.constData(),
                    dests.count(), dests.list());
    if (!chosen) return false;
    for (int i = 0; i < dests.count(); ++i) dests.list()[i].is_default = 0;
    chosen->is_default = 1;
    return cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count(), dests.list()) == 0;
}

} // namespace vexa::print
