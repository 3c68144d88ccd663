#include "core/cover/TrimmedCoverPage.h"

#include "core/cover/CoverBleed.h"
#include "core/cover/CoverMarks.h"
#include "core/cover/CoverPageContent.h"

#include <algorithm>

namespace vexa::cover {

TrimmedCover addTrimmedCover(PageContent& page, const CoverPage& layout, const CoverFormat& kind,
                             const PageImage& picture, const TrimOptions& options,
                             const Framing& framing) {
    const QRectF printable = layout.printable.isNull()
                                 ? QRectF(QPointF(0, 0), layout.page)
                                 : QRectF(layout.cover.topLeft(), layout.printable.bottomRight());
    const TrimmedCover placed = placeTrimmedCover(printable, layout.cover.size(), options);
    // Measured on the cover itself, never on its bleed.
    const FittedPicture fitted = fitPicture(picture.size(), placed.cover, framing);
    // Under the cover, so that the cover itself stays exactly as it is without them.
    for (BleedStrip& strip :
         bleedStrips(picture.pixels(), fitted, placed.cover, options, placed.room)) {
        PageImage image(std::move(strip.picture));
        page.addPicture(strip.part == QRectF(0, 0, 1, 1) ? image : image.cropped(strip.part),
                        strip.target);
    }
    page.addPicture(fitted.isWholePicture() ? picture : picture.cropped(fitted.part), fitted.place);
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
