#include "core/cover/SheetPage.h"

#include "core/cover/TrimmedCoverPage.h"

#include <algorithm>
#include <utility>

namespace vexa::cover {

PageContent sheetContent(const Sheet& sheet, const CoverRecords& pictures,
                         const TrimOptions& trim) {
    PageContent page(pageSizeForPaper(sheet.paper).size(QPageSize::Point));
    const double room = trimAllowance(trim);
    std::vector<std::pair<CoverKind, PageImage>> images;
    for (const SheetCover& placed : sheet.covers) {
        const CoverFormat& kind = *placed.kind;
        auto image = std::find_if(images.begin(), images.end(),
                                  [&kind](const auto& known) { return known.first == kind.id; });
        if (image == images.end())
            image =
                images.emplace(images.end(), kind.id, PageImage::fromPicture(pictures[kind.id]));
        if (image->second.isNull()) continue;
        // The cover upright in the middle of its room, as on a page of just that size, then
        // turned and moved to its place: its marks and bleed go along.
        const QSizeF size(kind.width.toPoints(), kind.height.toPoints());
        const QSizeF pieceSize = size + QSizeF(2 * room, 2 * room);
        PageContent piece(pieceSize);
        addTrimmedCover(
            piece,
            CoverPage{pieceSize, QRectF(QPointF(0, 0), pieceSize), QRectF(QPointF(0, 0), size)},
            kind, image->second, trim, pictures.framing(kind.id));
        if (placed.turn != QuarterTurn::None) piece = turnedPage(piece, placed.turn);
        const QPointF corner = placed.cover.topLeft() - QPointF(room, room);
        PageContent moved =
            scaledAndMovedPage(piece, QTransform::fromTranslate(corner.x(), corner.y()));
        std::move(moved.items.begin(), moved.items.end(), std::back_inserter(page.items));
        if (sheet.covers.size() == 1) {
            page.trimBox = moved.trimBox;
            page.bleedBox = moved.bleedBox;
        }
    }
    return page;
}

} // namespace vexa::cover
