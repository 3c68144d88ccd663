#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace vexa::app {

namespace {

// Every icon is drawn on a 32 x 32 grid and rendered at 32 and 64 pixels.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void drawPrinter(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 70), 1.2));
    p.setBrush(Qt::white); // the sheet coming out at the top, with a cover on it
    p.drawRect(QRectF(9, 3, 14, 12));
    p.setBrush(QColor(70, 140, 230));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(11, 5, 10, 6));
    p.setBrush(QColor(250, 200, 60));
    p.drawEllipse(QPointF(18, 7.5), 1.6, 1.6);
    p.setPen(QPen(QColor(60, 60, 70), 1.2));
    QLinearGradient body(0, 13, 0, 26);
    body.setColorAt(0, QColor(200, 205, 215));
    body.setColorAt(1, QColor(130, 135, 150));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3, 13, 26, 12), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 21, 16, 8));
    p.setPen(QPen(QColor(150, 150, 160), 0.8));
    p.drawLine(QPointF(10, 24), QPointF(22, 24));
    p.drawLine(QPointF(10, 26.5), QPointF(19, 26.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 90));
    p.drawEllipse(QPointF(25.5, 16.5), 1.2, 1.2);
}

void drawManipulator(QPainter& p) {
    p.setPen(QPen(QColor(70, 60, 50), 1.2));
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(2.5, 5.5, 21, 18));
    QLinearGradient sky(0, 7, 0, 22);
    sky.setColorAt(0, QColor(90, 160, 240));
    sky.setColorAt(1, QColor(200, 230, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(4.5, 7.5, 17, 14));
    QPainterPath hills;
    hills.moveTo(4.5, 21.5);
    hills.lineTo(10, 14);
    hills.lineTo(14, 18);
    hills.lineTo(17, 15);
    hills.lineTo(21.5, 21.5);
    hills.closeSubpath();
    p.setBrush(QColor(60, 150, 70));
    p.drawPath(hills);
    // the brush: handle and bristles crossing the frame's corner
    p.save();
    p.translate(23, 21);
    p.rotate(45);
    p.setBrush(QColor(180, 90, 40));
    p.setPen(QPen(QColor(90, 45, 20), 0.8));
    p.drawRoundedRect(QRectF(-1.6, -12, 3.2, 11), 1.2, 1.2);
    p.setBrush(QColor(190, 190, 200));
    p.drawRect(QRectF(-2, -1, 4, 3));
    p.setBrush(QColor(220, 40, 60));
    QPainterPath tip;
    tip.moveTo(-2, 2);
    tip.lineTo(2, 2);
    tip.quadTo(1.5, 7, 0, 9);
    tip.quadTo(-1.5, 7, -2, 2);
    p.drawPath(tip);
    p.restore();
}

void drawBug(QPainter& p) {
    p.setPen(QPen(QColor(40, 30, 30), 1.3));
    for (int side : {-1, 1}) { // six legs and two feelers
        for (int i = 0; i < 3; ++i) {
            const double y = 14 + i * 5;
            p.drawLine(QPointF(16 + side * 6, y), QPointF(16 + side * 12, y + (i - 1) * 3));
        }
        p.drawLine(QPointF(16 + side * 2, 8), QPointF(16 + side * 6, 2.5));
    }
    p.setBrush(QColor(40, 30, 30));
    p.drawEllipse(QPointF(16, 9), 4, 3.5);
    QRadialGradient shell(14, 15, 12);
    shell.setColorAt(0, QColor(250, 90, 70));
    shell.setColorAt(1, QColor(180, 20, 20));
    p.setBrush(shell);
    p.drawEllipse(QRectF(8, 10, 16, 19));
    p.drawLine(QPointF(16, 11), QPointF(16, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 30, 30));
    for (const QPointF& spot :
         {QPointF(12, 16), QPointF(20, 16), QPointF(12.5, 23), QPointF(19.5, 23)})
        p.drawEllipse(spot, 1.7, 1.7);
}

void drawRoundBadge(QPainter& p, const QColor& light, const QColor& dark, const QString& glyph) {
    QRadialGradient ball(12, 11, 18);
    ball.setColorAt(0, light);
    ball.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(130), 1));
    p.setBrush(ball);
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(2.5, 3, 27, 27), Qt::AlignCenter, glyph);
}

void drawGlobe(QPainter& p) {
    QRadialGradient sea(12, 11, 18);
    sea.setColorAt(0, QColor(120, 200, 255));
    sea.setColorAt(1, QColor(20, 90, 180));
    p.setPen(QPen(QColor(20, 70, 140), 1));
    p.setBrush(sea);
    const QRectF ball(3, 3, 26, 26);
    p.drawEllipse(ball);
    p.setPen(QPen(QColor(230, 245, 255, 200), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(5, 10), QPointF(27, 10));
    p.drawLine(QPointF(5, 22), QPointF(27, 22));
}

} // namespace

QIcon toolbarIcon(ToolbarIcon which) {
    switch (which) {
    case ToolbarIcon::PrintCover:
        return drawnIcon(drawPrinter);
    case ToolbarIcon::CoverManipulator:
        return drawnIcon(drawManipulator);
    case ToolbarIcon::ReportBug:
        return drawnIcon(drawBug);
    case ToolbarIcon::Help:
        return drawnIcon([](QPainter& p) {
            drawRoundBadge(p, QColor(110, 200, 120), QColor(20, 120, 50), QStringLiteral("?"));
        });
    case ToolbarIcon::About:
        return drawnIcon([](QPainter& p) {
            drawRoundBadge(p, QColor(120, 170, 255), QColor(30, 70, 170), QStringLiteral("i"));
        });
    case ToolbarIcon::VisitWebsite:
        return drawnIcon(drawGlobe);
    }
    return {};
}

} // namespace vexa::app
