#include "editor/CoverTools.h"

#include <QTransform>

#include <algorithm>
#include <array>

namespace vexa::editor {

namespace {

// The tools work on 32-bit pixels; a picture already in that form is not copied here.
QImage asRgb32(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 ? picture
                                                    : picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage rotateQuarterClockwise(const QImage& picture) {
    if (picture.isNull()) return {};
    // A turn by a multiple of 90 degrees is an exact move of pixels, done in cache-friendly tiles.
    return asRgb32(picture).transformed(QTransform().rotate(90));
}

QImage mirrorLeftRight(const QImage& picture) {
    if (picture.isNull()) return {};
    return asRgb32(picture).mirrored(true, false);
}

QImage flipTopBottom(const QImage& picture) {
    if (picture.isNull()) return {};
    return asRgb32(picture).mirrored(false, true);
}

QImage shiftBrightness(const QImage& picture, int value) {
    if (picture.isNull()) return {};
    value = std::clamp(value, -255, 255);
    QImage result = asRgb32(picture);
    if (value == 0) return result;

    // One table for all channels: 256 additions instead of three per pixel.
    std::array<uchar, 256> shifted{};
    for (int level = 0; level < 256; ++level)
        shifted[static_cast<std::size_t>(level)] =
            static_cast<uchar>(std::clamp(level + value, 0, 255));

    const int width = result.width();
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y)); // detaches the copy once
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x];
            line[x] = (c & 0xFF000000u) | (QRgb{shifted[qRed(c)]} << 16) |
                      (QRgb{shifted[qGreen(c)]} << 8) | shifted[qBlue(c)];
        }
    }
    return result;
}

} // namespace vexa::editor
