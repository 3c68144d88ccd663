#pragma once

#include "core/cover/CoverFit.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/CoverSet.h"

#include <QSize>
#include <QString>

namespace vexa::cover {

// Below this a cover prints visibly soft: its pixels show at reading distance.
inline constexpr double kSoftPrintDpi = 150;

// Pixels per inch of a picture of `pixels` printed on the kind's cover with `fit`, along the
// weaker axis: Stretch and Fill spread the picture over the whole cover (the weaker axis is
// the one with fewer pixels per inch of cover), Fit keeps both axes alike at the larger
// figure. 0 for an empty picture.
double printDpi(const QSize& pixels, const CoverFormat& kind, CoverFit fit);

// What the slot says of its picture: "DVD: 3000 x 2000 px, 280 dpi" (the dpi rounded down,
// so a cover never claims more than it has).
QString resolutionText(const QSize& pixels, const CoverFormat& kind, CoverFit fit);

// "will print soft: 96 dpi" for a cover under kSoftPrintDpi; empty otherwise.
QString softPrintText(const QSize& pixels, const CoverFormat& kind, CoverFit fit);

// "The DVD cover will print soft: 96 dpi." for the kind's cover when it is under
// kSoftPrintDpi; empty otherwise.
QString softCoverNotice(const QSize& pixels, const CoverFormat& kind, CoverFit fit);
// The same for every kind of `selection` that has a picture, in print order, one sentence
// after the other.
QString softCoversNotice(const CoverRecords& records, CoverKinds selection);

} // namespace vexa::cover
