#include "TrimmedCoverPage.h"

#include "CoverBleed.h"
#include "CoverMarks.h"

#include <algorithm>

namespace vexa::print {

TrimmedCoverPage trimmedCoverPage(const QSizeF& pageSize, const QRectF& printable,
                                  const QSizeF& coverSize, const CoverFormat& kind,
                                  const PageImage& picture, const TrimOptions& options) {
    TrimmedCoverPage result{PageContent(pageSize), QRectF(), QString()};
    const TrimmedCover placed = placeTrimmedCover(printable, coverSize, options);
    result.cover = placed.cover;
    result.shortfall = placed.shortfall;
    // Under the cover, so that the cover itself stays exactly as it would be without them.
    for (BleedStrip& strip : bleedStrips(picture.pixels(), placed.cover, options, placed.room))
        result.page.addPicture(PageImage(std::move(strip.picture)), strip.target);
    result.page.addPicture(picture, placed.cover);
    for (const PageLine& line : coverMarks(placed.cover, kind, options, placed.room))
        result.page.items.emplace_back(line);
    if (!options.isOff()) {
        result.page.trimBox = placed.cover;
        const double bleed = std::max(0.0, options.bleedMm) * kPointsPerMillimetre;
        result.page.bleedBox = placed.cover.marginsAdded(
            QMarginsF(std::min(bleed, placed.room.left()), std::min(bleed, placed.room.top()),
                      std::min(bleed, placed.room.right()), std::min(bleed, placed.room.bottom())));
    }
    return result;
}

PageContent calibratedPage(const PageContent& paper, const PrinterCalibration& calibration) {
    const QTransform correction = calibrationCorrection(calibration);
    PageContent result(paper.size);
    result.items.reserve(paper.items.size());
    for (const PageItem& item : paper.items) {
        if (const auto* picture = std::get_if<PagePicture>(&item))
            result.addPicture(picture->image, correction.mapRect(picture->target), picture->turn);
        else if (const auto* line = std::get_if<PageLine>(&item))
            result.addLine(correction.map(line->line), line->width);
        else if (const auto* text = std::get_if<PageText>(&item))
            result.items.emplace_back(
                PageText{correction.map(text->origin), text->size, text->text, text->turn});
    }
    if (paper.trimBox) result.trimBox = correction.mapRect(*paper.trimBox);
    if (paper.bleedBox) result.bleedBox = correction.mapRect(*paper.bleedBox);
    return result;
}

} // namespace vexa::print
