#include "core/cover/CoverBleed.h"

#include "core/picture/PictureOnWhite.h"

#include <algorithm>
#include <cmath>

namespace vexa::cover {

namespace {

// The pixel row or column at the start and at the end of the part [from, to) (fractions) of
// `count` pixels. A part that begins a hair before a pixel's edge does not show that pixel.
std::pair<int, int> edgePixels(double from, double to, int count) {
    constexpr double kHair = 1e-6;
    const int first = std::clamp(int(std::floor(from * count + kHair)), 0, count - 1);
    const int last = std::clamp(int(std::ceil(to * count - kHair)) - 1, first, count - 1);
    return {first, last};
}

} // namespace

std::vector<BleedStrip> bleedStrips(const QImage& picture, const FittedPicture& fitted,
                                    const QRectF& cover, const TrimOptions& options,
                                    const QMarginsF& room) {
    std::vector<BleedStrip> strips;
    const double bleed = std::max(0.0, options.bleedMm) * kPointsPerMillimetre;
    const QRectF& place = fitted.place;
    if (bleed <= 0 || picture.isNull() || cover.isEmpty() || place.isEmpty()) return strips;
    // Only the edges are copied, so a large picture costs a row and a column.
    const int w = picture.width();
    const int h = picture.height();
    const auto edge = [&picture](int x, int y, int width, int height) {
        return picture::onWhite(picture.copy(x, y, width, height));
    };
    const QRectF& part = fitted.part;
    const auto [x0, x1] = edgePixels(part.left(), part.right(), w);
    const auto [y0, y1] = edgePixels(part.top(), part.bottom(), h);
    // What a row and a column show of themselves: the part's width and height.
    const QRectF row(part.left(), 0, part.width(), 1);
    const QRectF column(0, part.top(), 1, part.height());
    // The sides the picture reaches; the others are the paper's white, which needs no bleed.
    const double hair = 1e-6 * std::max({1.0, cover.width(), cover.height()});
    const bool atTop = std::abs(place.top() - cover.top()) <= hair;
    const bool atBottom = std::abs(place.bottom() - cover.bottom()) <= hair;
    const bool atLeft = std::abs(place.left() - cover.left()) <= hair;
    const bool atRight = std::abs(place.right() - cover.right()) <= hair;
    const double left = std::min(bleed, room.left());
    const double top = std::min(bleed, room.top());
    const double right = std::min(bleed, room.right());
    const double bottom = std::min(bleed, room.bottom());
    const double u = std::min({kBleedUnderlapPoints, place.width() / 2, place.height() / 2});
    const double l = place.left(), t = place.top(), r = place.right(), b = place.bottom();
    const auto add = [&strips, u](bool wanted, QImage strip, const QRectF& target,
                                  const QRectF& shown) {
        if (wanted && target.width() > u + 1e-9 && target.height() > u + 1e-9)
            strips.push_back({std::move(strip), target, shown});
    };
    const QRectF whole(0, 0, 1, 1);
    // Along the edges.
    add(atTop, edge(0, y0, w, 1), QRectF(l, t - top, place.width(), top + u), row);
    add(atBottom, edge(0, y1, w, 1), QRectF(l, b - u, place.width(), bottom + u), row);
    add(atLeft, edge(x0, 0, 1, h), QRectF(l - left, t, left + u, place.height()), column);
    add(atRight, edge(x1, 0, 1, h), QRectF(r - u, t, right + u, place.height()), column);
    // The corners.
    add(atTop && atLeft, edge(x0, y0, 1, 1), QRectF(l - left, t - top, left + u, top + u), whole);
    add(atTop && atRight, edge(x1, y0, 1, 1), QRectF(r - u, t - top, right + u, top + u), whole);
    add(atBottom && atLeft, edge(x0, y1, 1, 1), QRectF(l - left, b - u, left + u, bottom + u),
        whole);
    add(atBottom && atRight, edge(x1, y1, 1, 1), QRectF(r - u, b - u, right + u, bottom + u),
        whole);
    return strips;
}

} // namespace vexa::cover
