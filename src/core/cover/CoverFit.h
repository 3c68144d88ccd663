#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

namespace vexa::cover {

// How a picture takes its cover's shape.
enum class CoverFit {
    Stretch, // stretched to the cover's proportions: the whole picture, distorted if need be
    Fill,    // scaled alike both ways to cover the whole cover; what overflows is cropped
    Fit,     // scaled alike both ways to lie inside the cover, centred; the rest stays white
};

// A cover's fit and, under Fill, where its crop sits: for each axis, how far along the
// picture's overflow the cover's window lies (0 at the picture's left or top edge, 1 at its
// right or bottom edge, 0.5 centred). Both axes are kept, so a picture turned in the Cover
// Manipulator keeps its crop on the axis that overflows then.
struct Framing {
    CoverFit fit = CoverFit::Stretch;
    QPointF crop{0.5, 0.5};

    bool operator==(const Framing&) const = default;
};

// "Stretch", "Fill", "Fit": as menus and messages name the fits.
QString fitName(CoverFit fit);
// "stretch", "fill", "fit": as the command line and files write them.
QString fitKey(CoverFit fit);
// The fit whose key is `key` in any case, or nothing.
std::optional<CoverFit> fitForKey(const QString& key);

// Where a picture of `pixels` goes on a cover that occupies `cover`: the part of the picture
// shown, in fractions of the picture ((0, 0, 1, 1) is all of it), and the rectangle that part
// is stretched over, in the cover's units. Stretch gives the whole picture over the whole
// cover; Fill a part of the cover's proportions over the whole cover; Fit the whole picture
// over the largest centred rectangle of its proportions inside the cover.
struct FittedPicture {
    QRectF part{0, 0, 1, 1};
    QRectF place;

    bool isWholePicture() const { return part == QRectF(0, 0, 1, 1); }
};
FittedPicture fitPicture(const QSize& pixels, const QRectF& cover, const Framing& framing);

// The framing with its crop moved as if the picture were dragged by `delta` (the cover's
// units, the cover `cover` large): the crop follows the hand and stops at the picture's edges.
// Unchanged on an axis where nothing overflows.
Framing draggedCrop(const Framing& framing, const QSize& pixels, const QSizeF& cover,
                    const QPointF& delta);

} // namespace vexa::cover
