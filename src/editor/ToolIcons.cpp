#include "editor/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace vexa::editor {

namespace {

const QColor kInk(50, 55, 70);
const QColor kPhoto(80, 150, 230);
const QColor kPhotoLight(190, 220, 250);
const QColor kArrow(220, 120, 30);

// A small picture: sky, a hill and a sun, so that turning and mirroring show.
void drawPhoto(QPainter& p, const QRectF& box) {
    p.setPen(QPen(kInk, 1));
    QLinearGradient sky(box.topLeft(), box.bottomLeft());
    sky.setColorAt(0, kPhoto);
    sky.setColorAt(1, kPhotoLight);
    p.setBrush(sky);
    p.drawRect(box);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 160, 80));
    QPainterPath hill;
    hill.moveTo(box.left() + 0.5, box.bottom() - 0.5);
    hill.quadTo(box.left() + box.width() * 0.3, box.top() + box.height() * 0.35,
                box.left() + box.width() * 0.65, box.bottom() - 0.5);
    hill.closeSubpath();
    p.drawPath(hill);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(box.right() - box.width() * 0.25, box.top() + box.height() * 0.3),
                  box.width() * 0.12, box.width() * 0.12);
}

void drawArrowHead(QPainter& p, QPointF tip, double angleDegrees) {
    const double a = angleDegrees * M_PI / 180;
    const QPointF back(-std::cos(a) * 6, -std::sin(a) * 6);
    const QPointF side(-std::sin(a) * 4, std::cos(a) * 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawPolygon(QPolygonF{tip, tip + back + side, tip + back - side});
}

void drawRotate(QPainter& p) {
    drawPhoto(p, QRectF(4.5, 9.5, 17, 13));
    p.setPen(QPen(kArrow, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9, 3, 20, 24), 100 * 16, -150 * 16);
    drawArrowHead(p, QPointF(21.5, 27), 160);
}

void drawMirror(QPainter& p) {
    drawPhoto(p, QRectF(2.5, 8.5, 12, 15));
    p.save();
    p.translate(32, 0);
    p.scale(-1, 1);
    drawPhoto(p, QRectF(2.5, 8.5, 12, 15));
    p.restore();
    p.setPen(QPen(kArrow, 1.5, Qt::DashLine));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
}

void drawFlip(QPainter& p) {
    drawPhoto(p, QRectF(8.5, 2.5, 15, 12));
    p.save();
    p.translate(0, 32);
    p.scale(1, -1);
    drawPhoto(p, QRectF(8.5, 2.5, 15, 12));
    p.restore();
    p.setPen(QPen(kArrow, 1.5, Qt::DashLine));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
}

void drawBrightness(QPainter& p) {
    const QPointF centre(16, 16);
    p.setPen(QPen(QColor(230, 170, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int ray = 0; ray < 8; ++ray) {
        const double a = ray * M_PI / 4;
        p.drawLine(centre + QPointF(std::cos(a) * 10, std::sin(a) * 10),
                   centre + QPointF(std::cos(a) * 14, std::sin(a) * 14));
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(250, 215, 60));
    p.drawEllipse(centre, 7.5, 7.5);
    // The dark half shows that brightness goes both ways.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 90, 20));
    p.drawPie(QRectF(8.5, 8.5, 15, 15), 90 * 16, 180 * 16);
}

void drawUndo(QPainter& p) {
    p.setPen(QPen(kArrow, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(9, 12);
    path.lineTo(19, 12);
    path.cubicTo(29, 12, 29, 27, 19, 27);
    path.lineTo(12, 27);
    p.drawPath(path);
    drawArrowHead(p, QPointF(3, 12), 180);
}

} // namespace

QIcon toolIcon(ToolIcon which) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case ToolIcon::Rotate:
        drawRotate(painter);
        break;
    case ToolIcon::Mirror:
        drawMirror(painter);
        break;
    case ToolIcon::Flip:
        drawFlip(painter);
        break;
    case ToolIcon::Brightness:
        drawBrightness(painter);
        break;
    case ToolIcon::Undo:
        drawUndo(painter);
        break;
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace vexa::editor
