#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cover/TrimOptions.h"

#include "core/cover/PageContent.h"

#include <vector>

namespace vexa::cover {

// A fold line's distance from the cover's left edge (the cover as seen on its page), in
// millimetres, for the kinds whose folds lie at a published position: the end spines of the
// CD back (tray card) and the spines of the DVD and DVD slim. The published layout is centred
// on VEXA's cover width, which differs from the published total by a millimetre or so.
// Empty for every other kind.
std::vector<double> foldLinesMm(const CoverFormat& kind);

// Cut marks at each corner of `cover` (points) in line with its edges, and for kinds with
// published folds dashed fold marks above and below each fold line, all starting outside the
// bleed and the gap. Lines are cut to `room` around the cover; a side without room for a mark
// gets none. Nothing when marks are off.
std::vector<PageLine> coverMarks(const QRectF& cover, const CoverFormat& kind,
                                 const TrimOptions& options, const QMarginsF& room);

} // namespace vexa::cover
