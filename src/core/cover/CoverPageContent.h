#pragma once

#include "core/cover/CoverPage.h"

#include "core/cover/PageContent.h"

#include <QPageLayout>

namespace vexa::cover {

// How the printer's landscape turn draws a landscape page onto its portrait paper: Plus90
// counter-clockwise, Minus90 clockwise.
QuarterTurn paperTurn(LandscapeTurn turn);

// The page as the paper feeds into the printer, portrait: a landscape page turned onto it the
// way the printer turns landscape pages, so that the page's top-left corner lands where the
// printer would put it (Plus90: the paper's bottom-left corner; Minus90: its top-right).
// Nothing is left for the printer's filters to turn.
PageContent paperPageContent(const PageContent& page, QPageLayout::Orientation orientation,
                             LandscapeTurn turn);

} // namespace vexa::cover
