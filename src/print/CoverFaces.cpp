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

QImage coverFace(const cover::CoverFormat& kind, bool selected, QSize size) {
    QImage face(size, QImage::Format_RGB32);
    const QColor ground = selected ? kChosenGround : kPlainGround;
    const QColor ink = selected ? kChosenInk : kPlainInk;
    face.fill(ground);

    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();

    const QRectF caseArea(w * 0.12, h * 0.08, w * 0.76, h * 0.56);
    const QRectF outline = caseRect(kind, caseArea);
    painter.setPen(QPen(ink, std::max(1.0, w / 56.0)));
    painter.setBrush(selected ? ground.lighter(130) : QColor(Qt::white));
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
