#include "core/pdf/PagePainter.h"

#include "core/pdf/PdfText.h"

#include <QPainter>

namespace vexa::pdf {

namespace {

void paintPicture(QPainter& painter, const cover::PagePicture& picture) {
    const QImage& pixels = picture.image.pixels();
    if (pixels.isNull() || picture.target.isEmpty()) return;
    painter.save();
    // A cropped picture shows only what falls on its rectangle.
    if (picture.image.isCropped()) painter.setClipRect(picture.target, Qt::IntersectClip);
    // The picture's own pixel grid onto its place on the page.
    painter.setWorldTransform(
        QTransform::fromScale(1.0 / pixels.width(), 1.0 / pixels.height()) *
            cover::shownPartPlacement(picture.image.part(), picture.target, picture.turn),
        true);
    const QRectF own(QPointF(0, 0), pixels.size());
    // Transparent pixels would let whatever lies below show through instead of the paper.
    if (pixels.hasAlphaChannel()) painter.fillRect(own, Qt::white);
    // Keeps the pixels: a dithered or line-art cover must not come back smeared by JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(own, pixels);
    painter.restore();
}

void paintLine(QPainter& painter, const cover::PageLine& line) {
    painter.save();
    painter.setPen(QPen(Qt::black, line.width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(line.line);
    painter.restore();
}

} // namespace

void paintPageContent(QPainter& painter, const cover::PageContent& page, double scale) {
    painter.save();
    painter.scale(scale, scale);
    for (const cover::PageItem& item : page.items) {
        if (const auto* picture = std::get_if<cover::PagePicture>(&item))
            paintPicture(painter, *picture);
        else if (const auto* line = std::get_if<cover::PageLine>(&item))
            paintLine(painter, *line);
        else if (const auto* text = std::get_if<cover::PageText>(&item))
            paintPageText(painter, *text);
    }
    painter.restore();
}

} // namespace vexa::pdf
