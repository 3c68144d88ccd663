#include "print/CoverFaces.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace vexa::print {

namespace {

const QColor kPlainGround(0xf2, 0xf2, 0xf2);
const QColor kPlainInk(0x40, 0x40, 0x40);
const QColor kChosenGround(0x1f, 0x5f, 0xc8);
const QColor kChosenInk(0xff, 0xff, 0xff);
const QColor kEmptyGround(0xe4, 0xe4, 0xe4);
const QColor kEmptyInk(0xa0, 0xa0, 0xa0);

// The case outline fitted into `area`, keeping the cover's proportions.
QRectF caseRect(const cover::CoverFormat& kind, const QRectF& area) {
    const double width = kind.width.count();
    const double height = kind.height.count();
    const double scale = std::min(area.width() / width, area.height() / height);
    const QSizeF size(width * scale, height * scale);
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void drawTick(QPainter& painter, const QRectF& box, const QColor& ground, const QColor& ink) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(box);
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.25, box.top() + box.height() * 0.52);
    tick.lineTo(box.left() + box.width() * 0.43, box.top() + box.height() * 0.70);
    tick.lineTo(box.left() + box.width() * 0.76, box.top() + box.height() * 0.32);
    painter.setPen(QPen(ground, box.width() * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}

} // namespace

QImage tilePicture(const QImage& picture, QSize size) {
    if (picture.isNull()) return QImage();
    // A photo of many megapixels is first thinned out quickly, then smoothed: a smooth scale
    // of the whole photo would cost a good part of a second per tile.
    const QSize rough = size * 4;
    QImage small = picture;
    if (small.width() > rough.width() * 2 || small.height() > rough.height() * 2)
        small = small.scaled(rough, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return small.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage coverFace(const cover::CoverFormat& kind, const QImage& picture, bool selected, QSize size) {
    const bool empty = picture.isNull();
    QImage face(size, QImage::Format_RGB32);
    const QColor ground = empty ? kEmptyGround : selected ? kChosenGround : kPlainGround;
    const QColor ink = empty ? kEmptyInk : selected ? kChosenInk : kPlainInk;
    face.fill(ground);

    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double w = size.width();
    const double h = size.height();

    const QRectF caseArea(w * 0.12, h * 0.08, w * 0.76, h * 0.56);
    const QRectF outline = caseRect(kind, caseArea);
    painter.setPen(QPen(ink, std::max(1.0, w / 56.0)));
    if (empty) {
        painter.setBrush(ground.lighter(106));
        painter.drawRoundedRect(outline, 2, 2);
        // Wrap-around covers show back, spine and front side by side.
        if (kind.orientation == cover::Orientation::Landscape &&
            kind.width.count() > kind.height.count() * 1.2) {
            const double spine = outline.width() * 0.04;
            const double mid = outline.center().x();
            painter.drawLine(QPointF(mid - spine, outline.top()),
                             QPointF(mid - spine, outline.bottom()));
            painter.drawLine(QPointF(mid + spine, outline.top()),
                             QPointF(mid + spine, outline.bottom()));
        }
    } else {
        // Stretched to the cover's shape, as it prints.
        painter.drawImage(outline, picture);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outline);
    }

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(h * 0.16)));
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(0, h * 0.68, w, h * 0.30), Qt::AlignCenter, cover::coverName(kind));

    if (selected) {
        const double d = h * 0.30;
        drawTick(painter, QRectF(w - d - 3, 3, d, d), ground, ink);
    }
    return face;
}

} // namespace vexa::print
