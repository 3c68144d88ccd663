#pragma once

#include <QImage>

#include <cstdint>

namespace vexa::widgets {
class PictureHolder;
}

namespace vexa::notify {

// Paints a two-colour linear gradient at any angle as a sweep of parallel one-pixel lines:
// the background of the notification popups.
class GradientPainter {
public:
    // Colours are red + 256 green + 65536 blue. A value below zero whose low 31 bits are
    // 0 ... 24 names a desktop colour and is stored as that colour.
    std::int32_t colour1() const { return m_colour1; }
    void setColour1(std::int32_t colour);
    std::int32_t colour2() const { return m_colour2; }
    void setColour2(std::int32_t colour);

    // Degrees, stored in [0, 360): -100 is kept as 260.
    float angle() const { return m_angle; }
    void setAngle(float degrees);

    // Paints the gradient over the whole surface; true when at least one line was drawn.
    // Surfaces of 1 pixel or less in either direction are left alone.
    bool paint(QImage& surface) const;

    // Paints the gradient over the box's whole area and makes it the box's picture.
    bool paint(widgets::PictureHolder& box) const;

private:
    std::int32_t m_colour1 = 208 + 255 * 256 + 255 * 65536;
    std::int32_t m_colour2 = 64 * 65536;
    float m_angle = 315.0f;
};

} // namespace vexa::notify
