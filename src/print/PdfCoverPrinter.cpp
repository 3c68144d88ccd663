#include "PdfCoverPrinter.h"

namespace vexa::print {

PdfCoverPrinter::PdfCoverPrinter(QString path) : m_pdf(std::move(path)) {}

bool PdfCoverPrinter::drawPicture(const QImage& picture, double x, double y, double width,
                                  double height) {
    if (picture.isNull()) return false;
    const CoverPage page = layoutCoverPage(
        paperSize(), orientation(), QMarginsF(),
        QSizeF(twipsToDevice(width, kPointsPerInch), twipsToDevice(height, kPointsPerInch)),
        QPointF(twipsToDevice(x, kPointsPerInch), twipsToDevice(y, kPointsPerInch)));
    if (!m_pageOpen && !m_pdf.newPage(page.page)) return false;
    m_pageOpen = true;
    return m_pdf.drawCover(page.cover, picture);
}

DocumentResult PdfCoverPrinter::endDocument() {
    DocumentResult result;
    result.sent = m_pageOpen;
    m_pageOpen = false;
    return result;
}

} // namespace vexa::print
