#include "core/picture/PictureOnWhite.h"

#include <algorithm>

namespace vexa::picture {

QImage onWhite(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture;
    // Premultiplied, a colour is already c * a (rounded), so "over" white adds 255 - a.
    const QImage premultiplied = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(premultiplied.size(), QImage::Format_RGB32);
    if (premultiplied.isNull() || result.isNull()) return QImage();
    for (int y = 0; y < result.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int white = 255 - qAlpha(in[x]);
            // (A colour over its alpha, which a hand-made premultiplied picture may hold,
            // stays white.)
            const auto over = [white](int c) { return std::min(255, c + white); };
            out[x] = qRgb(over(qRed(in[x])), over(qGreen(in[x])), over(qBlue(in[x])));
        }
    }
    return result;
}

} // namespace vexa::picture
