#pragma once

#include "core/cover/CoverFit.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/CoverPage.h"
#include "core/cover/PrinterCalibration.h"
#include "core/cover/TrimOptions.h"

#include "core/cover/PageContent.h"

#include <QPageLayout>

namespace vexa::cover {

// Adds a cover to its page as the user holds it: bleed strips under it, the picture, cut and
// fold marks, placed by placeTrimmedCover in the part of the printable area that starts at
// the cover's corner of `layout` (the whole page for a file). With marks or bleed on, the
// page's trim box is the cover and its bleed box the cover with the bleed it got. With both
// off, the page gets the picture alone over the cover's rectangle, as it always did. The
// picture takes the cover's shape as `framing` says (see fitPicture): cropped to the cover
// (Fill) or a smaller placement inside it (Fit), the bleed carrying the edges of what shows.
// Where the cover went, and the room its sides got.
TrimmedCover addTrimmedCover(PageContent& page, const CoverPage& layout, const CoverFormat& kind,
                             const PageImage& picture, const TrimOptions& options,
                             const Framing& framing = {});

// The page as the printer must be given it so that everything comes out where `paper` (the
// paper as it feeds, portrait) has it: every item and box moved and scaled by the
// calibration's correction.
PageContent calibratedPage(const PageContent& paper, const PrinterCalibration& calibration);

// The page as the user holds it (as oriented) with what a calibrated printer is given drawn on
// it: turned onto the paper as the printer turns it, corrected, and turned back.
PageContent calibratedView(const PageContent& page, QPageLayout::Orientation orientation,
                           LandscapeTurn turn, const PrinterCalibration& calibration);

} // namespace vexa::cover
