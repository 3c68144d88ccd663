#include "shell/SplashPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vexa::shell {

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;

void paintBackground(QPainter& p) {
    QLinearGradient ground(0, 0, kWidth, kHeight);
    ground.setColorAt(0.0, QColor(12, 28, 74));
    ground.setColorAt(0.6, QColor(24, 72, 150));
    ground.setColorAt(1.0, QColor(61, 149, 255));
    p.fillRect(QRect(0, 0, kWidth, kHeight), ground);
    // A soft light behind the disc.
    QRadialGradient glow(QPointF(370, 150), 170);
    glow.setColorAt(0.0, QColor(255, 255, 255, 70));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, kWidth, kHeight), glow);
}

void paintCase(QPainter& p) {
    const QRectF box(315, 60, 150, 180);
    p.setPen(QPen(QColor(220, 232, 255), 2));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(box, 6, 6);
    // The insert behind the clear front, in the colours of a printed cover.
    QLinearGradient insert(box.topLeft(), box.bottomRight());
    insert.setColorAt(0.0, QColor(255, 196, 64));
    insert.setColorAt(1.0, QColor(214, 72, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(insert);
    p.drawRect(box.adjusted(12, 10, -10, -10));
    p.setPen(QPen(QColor(220, 232, 255), 6));
    p.drawLine(box.topLeft() + QPointF(6, 4), box.bottomLeft() + QPointF(6, -4)); // the spine
}

void paintDisc(QPainter& p) {
    const QPointF centre(315, 150);
    QRadialGradient silver(centre, 80);
    silver.setColorAt(0.0, QColor(250, 250, 255));
    silver.setColorAt(0.55, QColor(190, 200, 220));
    silver.setColorAt(0.8, QColor(235, 225, 250));
    silver.setColorAt(1.0, QColor(160, 175, 205));
    p.setPen(QPen(QColor(120, 135, 170), 1.5));
    p.setBrush(silver);
    p.drawEllipse(centre, 80, 80);
    // A rainbow sheen across the data side.
    QConicalGradient sheen(centre, 30);
    sheen.setColorAt(0.0, QColor(255, 120, 120, 60));
    sheen.setColorAt(0.25, QColor(120, 255, 160, 60));
    sheen.setColorAt(0.5, QColor(120, 160, 255, 60));
    sheen.setColorAt(0.75, QColor(255, 240, 120, 60));
    sheen.setColorAt(1.0, QColor(255, 120, 120, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(centre, 78, 78);
    p.setBrush(QColor(225, 230, 240));
    p.drawEllipse(centre, 22, 22);
    p.setBrush(QColor(24, 72, 150));
    p.drawEllipse(centre, 8, 8);
}

void paintTitle(QPainter& p) {
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(64);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRect(28, 34, 220, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VEXA"));
    p.setPen(Qt::white);
    p.drawText(QRect(24, 30, 220, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VEXA"));

    QFont six = name;
    six.setPixelSize(40);
    p.setFont(six);
    p.setPen(QColor(255, 196, 64));
    p.drawText(QRect(24, 100, 220, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("6"));

    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(15);
    p.setFont(line);
    p.setPen(QColor(220, 232, 255));
    p.drawText(QRect(24, 160, 230, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Covers for discs and games"));
    line.setPixelSize(12);
    p.setFont(line);
    p.drawText(QRect(24, 262, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version 6.0.0 Glass Otter Release"));
}

} // namespace

QImage splashPicture() {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintBackground(p);
    paintCase(p);
    paintDisc(p);
    paintTitle(p);
    p.setPen(QPen(QColor(220, 232, 255), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1));
    return picture;
}

} // namespace vexa::shell
