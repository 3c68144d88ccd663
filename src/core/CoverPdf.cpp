#include "CoverPdf.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace vexa::print {

namespace {
// Fine enough that the picture's corner lands within 1/1200 in of where the page says.
constexpr int kPdfResolution = 1200;
} // namespace

void paintCoverPicture(QPainter& painter, const QImage& picture, const QRectF& target) {
    // A plain copy: transparent pixels would let the paper show through.
    const QImage opaque =
        picture.hasAlphaChannel() ? picture.convertToFormat(QImage::Format_RGB32) : picture;
    painter.save();
    // Keeps the pixels: a dithered or line-art cover must not come back smeared by JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(target, opaque);
    painter.restore();
}

CoverPdf::CoverPdf(QString path) : m_path(std::move(path)) {}

CoverPdf::~CoverPdf() {
    finish();
}

bool CoverPdf::newPage(const QSizeF& pageSize) {
    if (m_failed) return false;
    const bool landscape = pageSize.width() > pageSize.height();
    const QPageLayout layout(
        QPageSize(landscape ? pageSize.transposed() : pageSize, QPageSize::Point),
        landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
        QPageLayout::Point, QMarginsF(0, 0, 0, 0));
    if (!m_writer) {
        m_writer = std::make_unique<QPdfWriter>(m_path);
        m_writer->setResolution(kPdfResolution);
        m_writer->setCreator(QStringLiteral("VEXA"));
        m_writer->setPageLayout(layout);
        m_painter = std::make_unique<QPainter>();
        m_failed = !m_painter->begin(m_writer.get());
    } else {
        // The layout set before newPage() is the new page's layout.
        m_writer->setPageLayout(layout);
        m_failed = !m_writer->newPage();
    }
    if (m_failed) return false;
    ++m_pages;
    return true;
}

bool CoverPdf::drawCover(const QRectF& cover, const QImage& picture) {
    if (m_failed || m_pages == 0 || picture.isNull()) return false;
    const double scale = kPdfResolution / 72.0;
    paintCoverPicture(*m_painter, picture,
                      QRectF(cover.x() * scale, cover.y() * scale, cover.width() * scale,
                             cover.height() * scale));
    return true;
}

bool CoverPdf::finish() {
    if (!m_painter) return false;
    const bool written = m_painter->isActive() && m_painter->end() && !m_failed;
    m_painter.reset();
    m_writer.reset();
    return written && m_pages > 0;
}

} // namespace vexa::print
