#pragma once

#include "core/cover/TrimOptions.h"

#include <QImage>
#include <QRectF>

#include <vector>

namespace vexa::cover {

// A piece of bleed: a picture (one row, one column or one pixel of the cover's edge) and the
// rectangle it is stretched into, in points, on the cover's page.
struct BleedStrip {
    QImage picture;
    QRectF target;
};

// How far a strip reaches under the cover's edge, so no hairline of paper shows between the
// two; the cover is drawn over it and hides it.
inline constexpr double kBleedUnderlapPoints = 0.5;

// The picture's edge pixels carried outward from `cover` (points) by the bleed on each side,
// cut to `room`: the top and bottom rows and the left and right columns as strips along the
// edges, the corner pixels as squares at the corners. Drawn before the cover, they leave the
// cover itself exactly as it is. Nothing when there is no bleed or no picture.
std::vector<BleedStrip> bleedStrips(const QImage& picture, const QRectF& cover,
                                    const TrimOptions& options, const QMarginsF& room);

} // namespace vexa::cover
