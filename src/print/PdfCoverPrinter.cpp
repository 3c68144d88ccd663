#include "PdfCoverPrinter.h"

#include "CoverFormats.h"

#include <QPainter>
#include <QPdfWriter>

namespace vexa::print {

namespace {
constexpr int kPdfResolution = 1200;
}

PdfCoverPrinter::PdfCoverPrinter(QString path) : m_path(std::move(path)) {}

PdfCoverPrinter::~PdfCoverPrinter() {
    finish();
}

QPageLayout PdfCoverPrinter::nextLayout() const {
    return QPageLayout(QPageSize(paper()), orientation(), QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                       QMarginsF(0, 0, 0, 0));
}

bool PdfCoverPrinter::drawPicture(const QImage& picture, double x, double y, double width,
                                  double height) {
    if (picture.isNull() || m_failed) return false;
    if (!m_pageOpen) {
        if (!m_writer) {
            m_writer = std::make_unique<QPdfWriter>(m_path);
            m_writer->setResolution(kPdfResolution);
            m_writer->setCreator(QStringLiteral("VEXA"));
            m_writer->setPageLayout(nextLayout());
            m_painter = std::make_unique<QPainter>();
            if (!m_painter->begin(m_writer.get())) {
                m_failed = true;
                return false;
            }
        } else {
            // The layout set before newPage() is the new page's layout.
            m_writer->setPageLayout(nextLayout());
            if (!m_writer->newPage()) {
                m_failed = true;
                return false;
            }
        }
        m_pageOpen = true;
        ++m_pages;
    }
    const double dpi = m_writer->resolution();
    const QRectF target(twipsToDevice(x, dpi), twipsToDevice(y, dpi), twipsToDevice(width, dpi),
                        twipsToDevice(height, dpi));
    m_painter->drawImage(target, opaquePicture(picture));
    return true;
}

bool PdfCoverPrinter::endDocument() {
    if (!m_pageOpen) return false;
    m_pageOpen = false;
    return true;
}

bool PdfCoverPrinter::finish() {
    if (!m_painter) return false;
    const bool written = m_painter->isActive() && m_painter->end() && !m_failed;
    m_painter.reset();
    m_writer.reset();
    return written && m_pages > 0;
}

} // namespace vexa::print
