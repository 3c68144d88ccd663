#include "notify/GradientPainter.h"

#include "notify/GradientSweep.h"
#include "notify/SystemColours.h"
#include "widgets/PictureHolder.h"

#include <cstdlib>

namespace vexa::notify {

namespace {

std::int32_t storedColour(std::int32_t value) {
    return notify::systemColour(value).value_or(value);
}

QRgb toRgb(std::int32_t colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    return qRgb(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                static_cast<int>((c >> 16) & 0xFFu));
}

// A one-pixel line from `from` towards `to`, leaving out `to` itself; the parts outside the
// surface are skipped. The ends may lie far outside, so the stepping is done in 64 bits.
void drawLineWithoutEnd(QImage& surface, notify::SweepPoint from, notify::SweepPoint to,
                        QRgb colour) {
    std::int64_t x = from.x, y = from.y;
    const std::int64_t dx = std::llabs(std::int64_t{to.x} - from.x);
    const std::int64_t dy = -std::llabs(std::int64_t{to.y} - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    std::int64_t error = dx + dy;
    const int width = surface.width(), height = surface.height();
    while (x != to.x || y != to.y) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            reinterpret_cast<QRgb*>(surface.scanLine(static_cast<int>(y)))[x] = colour;
        const std::int64_t twice = 2 * error;
        if (twice >= dy) error += dy, x += sx;
        if (twice <= dx) error += dx, y += sy;
    }
}

} // namespace

void GradientPainter::setColour1(std::int32_t colour) {
    m_colour1 = storedColour(colour);
}

void GradientPainter::setColour2(std::int32_t colour) {
    m_colour2 = storedColour(colour);
}

void GradientPainter::setAngle(float degrees) {
    m_angle = notify::normalizedAngle(degrees);
}

bool GradientPainter::paint(QImage& surface) const {
    const notify::GradientSweep sweep =
        notify::gradientSweep(surface.width(), surface.height(), m_angle, m_colour1, m_colour2);
    if (sweep.lineCount() == 0) return false;
    if (surface.format() != QImage::Format_RGB32)
        surface = surface.convertToFormat(QImage::Format_RGB32);
    for (int k = 0; k < sweep.lineCount(); ++k) {
        const auto first = static_cast<std::size_t>(2 * k);
        drawLineWithoutEnd(surface, sweep.points[first], sweep.points[first + 1],
                           toRgb(sweep.colours[static_cast<std::size_t>(k)]));
    }
    return true;
}

bool GradientPainter::paint(widgets::PictureHolder& box) const {
    QImage surface(box.size(), QImage::Format_RGB32);
    if (surface.isNull()) return false;
    surface.fill(box.palette().color(QPalette::Window));
    const bool drawn = paint(surface);
    if (drawn) box.setPicture(surface);
    return drawn;
}

} // namespace vexa::notify
