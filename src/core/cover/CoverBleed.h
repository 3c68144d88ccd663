#pragma once

#include "core/cover/CoverFit.h"
#include "core/cover/TrimOptions.h"

#include <QImage>
#include <QRectF>

#include <vector>

namespace vexa::cover {

// A piece of bleed: a picture (one row, one column or one pixel of the cover's edge), the part
// of it shown (a cropped picture's row shows only the cropped width) and the rectangle that
// part is stretched into, in points, on the cover's page.
struct BleedStrip {
    QImage picture;
    QRectF target;
    QRectF part{0, 0, 1, 1};
};

// How far a strip reaches under the cover's edge, so no hairline of paper shows between the
// two; the cover is drawn over it and hides it.
inline constexpr double kBleedUnderlapPoints = 0.5;

// The edge pixels of the picture as `fitted` shows it on `cover` (points) carried outward by
// the bleed on each side, cut to `room`: the top and bottom rows and the left and right
// columns of the part shown as strips along the edges, the corner pixels as squares at the
// corners. A side the picture does not reach (the white of a fitted picture) gets none. Drawn
// before the cover, they leave the cover itself exactly as it is. Nothing when there is no
// bleed or no picture.
std::vector<BleedStrip> bleedStrips(const QImage& picture, const FittedPicture& fitted,
                                    const QRectF& cover, const TrimOptions& options,
                                    const QMarginsF& room);

} // namespace vexa::cover
