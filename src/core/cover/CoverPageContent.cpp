#include "core/cover/CoverPageContent.h"

namespace vexa::cover {

QuarterTurn paperTurn(LandscapeTurn turn) {
    return turn == LandscapeTurn::Minus90 ? QuarterTurn::Clockwise : QuarterTurn::CounterClockwise;
}

PageContent paperPageContent(const PageContent& page, QPageLayout::Orientation orientation,
                             LandscapeTurn turn) {
    if (orientation == QPageLayout::Portrait) return page;
    return turnedPage(page, paperTurn(turn));
}

} // namespace vexa::cover
