#include "core/picture/PictureOnWhite.h"

#include <algorithm>

namespace vexa::picture {

QImage onWhite(const QImage& picture) {
    QImage result = picture;
    putOnWhite(result);
    return result;
}

void putOnWhite(QImage& picture) {
    if (!picture.hasAlphaChannel()) return;
    const QImage::Format format = picture.format();
    if (format != QImage::Format_ARGB32 && format != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return;
    const bool premultiplied = picture.format() == QImage::Format_ARGB32_Premultiplied;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        if (!line) { // no memory for a copy of pixels shared with another picture
            picture = QImage();
            return;
        }
        for (int x = 0; x < picture.width(); ++x) {
            // Premultiplied, a colour is already c * a (rounded), so "over" white adds 255 - a.
            const QRgb in = premultiplied ? line[x] : qPremultiply(line[x]);
            const int white = 255 - qAlpha(in);
            // (A colour over its alpha, which a hand-made premultiplied picture may hold,
            // stays white.)
            const auto over = [white](int c) { return std::min(255, c + white); };
            line[x] = qRgb(over(qRed(in)), over(qGreen(in)), over(qBlue(in)));
        }
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}

} // namespace vexa::picture
