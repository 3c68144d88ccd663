#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace vexa::cover {

// How a printer turns a landscape page onto its paper (a PPD's *LandscapeOrientation).
// Plus90, also the default, is the paper turned a quarter counter-clockwise.
enum class LandscapeTurn { Plus90, Minus90 };

// One cover's page, everything in points: the page as oriented, the printable area on it (the
// whole page for a file) and the cover's rectangle.
struct CoverPage {
    QSizeF page;
    QRectF printable;
    QRectF cover;
};

// The unprintable margins of the page as oriented, from the margins of the paper as it stands
// in the printer (portrait). With Plus90 the landscape page's left margin is the paper's
// bottom margin and its top margin the paper's left margin; Minus90 turns the other way.
QMarginsF orientedMargins(const QMarginsF& paperMargins, QPageLayout::Orientation orientation,
                          LandscapeTurn turn);

// The page for a cover of `coverSize` (points) on paper `paperSize` (portrait, points) in the
// orientation, the cover's top-left at the printable area's top-left, moved by `offset`.
CoverPage layoutCoverPage(const QSizeF& paperSize, QPageLayout::Orientation orientation,
                          const QMarginsF& orientedMargins, const QSizeF& coverSize,
                          const QPointF& offset = QPointF());

// What the printer's margins cut off a cover that reaches past the printable area, as
// "12.7 mm on the right" or "3.0 mm on the right and 1.5 mm at the bottom"; empty when the
// cover fits.
QString marginCut(const CoverPage& page);

} // namespace vexa::cover
