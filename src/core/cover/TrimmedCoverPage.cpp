#include "core/cover/TrimmedCoverPage.h"

#include "core/cover/CoverBleed.h"
#include "core/cover/CoverMarks.h"
#include "core/cover/CoverPageContent.h"

#include <algorithm>

namespace vexa::cover {

TrimmedCover addTrimmedCover(PageContent& page, const CoverPage& layout, const CoverFormat& kind,
                             const PageImage& picture, const TrimOptions& options) {
    const QRectF printable = layout.printable.isNull()
                                 ? QRectF(QPointF(0, 0), layout.page)
                                 : QRectF(layout.cover.topLeft(), layout.printable.bottomRight());
    const TrimmedCover placed = placeTrimmedCover(printable, layout.cover.size(), options);
    // Under the cover, so that the cover itself stays exactly as it is without them.
    for (BleedStrip& strip : bleedStrips(picture.pixels(), placed.cover, options, placed.room))
        page.addPicture(PageImage(std::move(strip.picture)), strip.target);
    page.addPicture(picture, placed.cover);
    for (const PageLine& line : coverMarks(placed.cover, kind, options, placed.room))
        page.items.emplace_back(line);
    if (!options.isOff()) {
        page.trimBox = placed.cover;
        const double bleed = std::max(0.0, options.bleedMm) * kPointsPerMillimetre;
        page.bleedBox = placed.cover.marginsAdded(
            QMarginsF(std::min(bleed, placed.room.left()), std::min(bleed, placed.room.top()),
                      std::min(bleed, placed.room.right()), std::min(bleed, placed.room.bottom())));
    }
    return placed;
}

PageContent calibratedPage(const PageContent& paper, const PrinterCalibration& calibration) {
    return scaledAndMovedPage(paper, calibrationCorrection(calibration));
}

PageContent calibratedView(const PageContent& page, QPageLayout::Orientation orientation,
                           LandscapeTurn turn, const PrinterCalibration& calibration) {
    const PageContent paper =
        calibratedPage(paperPageContent(page, orientation, turn), calibration);
    if (orientation == QPageLayout::Portrait) return paper;
    // Back the other way: a quarter turn the opposite way round.
    return turnedPage(paper, paperTurn(turn == LandscapeTurn::Plus90 ? LandscapeTurn::Minus90
                                                                     : LandscapeTurn::Plus90));
}

} // namespace vexa::cover
