#include "QtCoverPrinter.h"

#include "CoverFormats.h"
#include "RetainOriginalPrinter.h"
#include "SystemPrinters.h"

#include <QPainter>
#include <QPrinter>

namespace vexa::print {

QtCoverPrinter::QtCoverPrinter() = default;

QtCoverPrinter::~QtCoverPrinter() {
    // A document left open is sent rather than lost.
    if (m_painter) m_painter->end();
}

bool QtCoverPrinter::followDefault() {
    m_fixedPrinter.clear();
    return !FindDefaultPrinter().isNull();
}

bool QtCoverPrinter::usePrinter(const QString& name) {
    if (name.isEmpty() || !installedPrinters().contains(name)) return false;
    m_fixedPrinter = name;
    return true;
}

bool QtCoverPrinter::startDocument() {
    const QString target =
        m_fixedPrinter.isEmpty() ? FindDefaultPrinter().printerName() : m_fixedPrinter;
    // QPrinter ignores a name it does not know and prints on the default instead.
    if (target.isEmpty() || !installedPrinters().contains(target)) return false;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setPrinterName(target);
    if (m_printer->printerName() != target) {
        dropDocument();
        return false;
    }
    m_printer->setDocName(QStringLiteral("VEXA cover"));
    m_printer->setFullPage(false); // origin at the printable area's top-left
    m_printer->setPageSize(QPageSize(paper()));
    m_printer->setPageOrientation(orientation());
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        dropDocument();
        return false;
    }
    return true;
}

void QtCoverPrinter::dropDocument() {
    m_painter.reset();
    m_printer.reset();
}

bool QtCoverPrinter::drawPicture(const QImage& picture, double x, double y, double width,
                                 double height) {
    if (picture.isNull()) return false;
    if (!m_painter && !startDocument()) return false;
    const double dpiX = m_printer->logicalDpiX();
    const double dpiY = m_printer->logicalDpiY();
    const QRectF target(twipsToDevice(x, dpiX), twipsToDevice(y, dpiY), twipsToDevice(width, dpiX),
                        twipsToDevice(height, dpiY));
    m_painter->drawImage(target, opaquePicture(picture));
    return true;
}

bool QtCoverPrinter::endDocument() {
    if (!m_painter) return false;
    const bool sent = m_painter->end();
    dropDocument();
    return sent;
}

} // namespace vexa::print
