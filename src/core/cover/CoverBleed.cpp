#include "core/cover/CoverBleed.h"

#include "core/picture/PictureOnWhite.h"

#include <algorithm>

namespace vexa::cover {

std::vector<BleedStrip> bleedStrips(const QImage& picture, const QRectF& cover,
                                    const TrimOptions& options, const QMarginsF& room) {
    std::vector<BleedStrip> strips;
    const double bleed = std::max(0.0, options.bleedMm) * kPointsPerMillimetre;
    if (bleed <= 0 || picture.isNull() || cover.isEmpty()) return strips;
    // Only the edges are copied, so a large picture costs a row and a column.
    const int w = picture.width();
    const int h = picture.height();
    const auto edge = [&picture](int x, int y, int width, int height) {
        return picture::onWhite(picture.copy(x, y, width, height));
    };
    const double left = std::min(bleed, room.left());
    const double top = std::min(bleed, room.top());
    const double right = std::min(bleed, room.right());
    const double bottom = std::min(bleed, room.bottom());
    const double u = std::min({kBleedUnderlapPoints, cover.width() / 2, cover.height() / 2});
    const double l = cover.left(), t = cover.top(), r = cover.right(), b = cover.bottom();
    const auto add = [&strips, u](QImage strip, const QRectF& target) {
        if (target.width() > u + 1e-9 && target.height() > u + 1e-9)
            strips.push_back({std::move(strip), target});
    };
    // Along the edges.
    add(edge(0, 0, w, 1), QRectF(l, t - top, cover.width(), top + u));
    add(edge(0, h - 1, w, 1), QRectF(l, b - u, cover.width(), bottom + u));
    add(edge(0, 0, 1, h), QRectF(l - left, t, left + u, cover.height()));
    add(edge(w - 1, 0, 1, h), QRectF(r - u, t, right + u, cover.height()));
    // The corners.
    add(edge(0, 0, 1, 1), QRectF(l - left, t - top, left + u, top + u));
    add(edge(w - 1, 0, 1, 1), QRectF(r - u, t - top, right + u, top + u));
    add(edge(0, h - 1, 1, 1), QRectF(l - left, b - u, left + u, bottom + u));
    add(edge(w - 1, h - 1, 1, 1), QRectF(r - u, b - u, right + u, bottom + u));
    return strips;
}

} // namespace vexa::cover
