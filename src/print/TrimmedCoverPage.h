#pragma once

#include "CoverFormats.h"
#include "PrinterCalibration.h"
#include "TrimOptions.h"

#include <PageContent.h>

namespace vexa::print {

// A cover's page as the user holds it (points, top-left origin), with what goes around the
// cover: bleed strips under it, the picture, cut and fold marks.
struct TrimmedCoverPage {
    PageContent page;
    QRectF cover;
    // The sides where the paper had less room than the bleed and marks want (see
    // TrimmedCover); empty when every side had its room.
    QString shortfall;
};

// The page of `pageSize` with the cover of `coverSize` placed in `printable` (the whole page
// for a file) as placeTrimmedCover says. With marks or bleed on, the page's trim box is the
// cover and its bleed box the cover with the bleed it got. With both off, the page holds the
// picture alone at the printable corner, as it always did.
TrimmedCoverPage trimmedCoverPage(const QSizeF& pageSize, const QRectF& printable,
                                  const QSizeF& coverSize, const CoverFormat& kind,
                                  const PageImage& picture, const TrimOptions& options);

// The page as the printer must be given it so that everything comes out where `paper` (the
// paper as it feeds, portrait) has it: every item and box moved and scaled by the
// calibration's correction.
PageContent calibratedPage(const PageContent& paper, const PrinterCalibration& calibration);

} // namespace vexa::print
