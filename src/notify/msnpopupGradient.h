#pragma once

#include <QImage>

#include <cstdint>

namespace vexa {

class PictureHolder;

// Paints a two-colour linear gradient at any angle as a sweep of parallel one-pixel lines:
// the background of the notification popups.
class msnpopupGradient {
public:
    // Colours are red + 256 green + 65536 blue. A value below zero whose low 31 bits are
    // 0 ... 24 names a desktop colour and is stored as that colour.
    std::int32_t Color1() const { return m_color1; }
    void setColor1(std::int32_t colour);
    std::int32_t Color2() const { return m_color2; }
    void setColor2(std::int32_t colour);

    // Degrees, stored in [0, 360): -100 is kept as 260.
    float Angle() const { return m_angle; }
    void setAngle(float degrees);

    // Paints the gradient over the whole surface; true when at least one line was drawn.
    // Surfaces of 1 pixel or less in either direction are left alone.
    bool Draw(QImage& surface) const;

    // Paints the gradient over the box's whole area and makes it the box's picture.
    bool Draw(PictureHolder& box) const;

private:
    std::int32_t m_color1 = 208 + 255 * 256 + 255 * 65536;
    std::int32_t m_color2 = 64 * 65536;
    float m_angle = 315.0f;
};

} // namespace vexa
