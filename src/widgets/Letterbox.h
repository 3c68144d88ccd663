#pragma once

#include <QRect>
#include <QSizeF>

namespace vexa::widgets {

// The largest rectangle of `shape`'s width:height that fits `area`, centred in it (the rest of
// the area is the letterbox). Whole pixels: one side fills the area, the other is rounded to
// the nearest pixel (at least one). An empty (or not finite) shape or an empty area gives the
// area itself.
QRect letterboxed(const QRect& area, const QSizeF& shape);

} // namespace vexa::widgets
