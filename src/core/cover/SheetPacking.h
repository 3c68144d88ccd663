#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cover/CoverPage.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimOptions.h"

#include "core/cover/PageContent.h"

#include <QRectF>

#include <functional>
#include <vector>

namespace vexa::cover {

// Where covers may go on a paper as it feeds into the printer (portrait, points from its
// top-left corner), and how the printer turns landscape pages.
struct SheetArea {
    QRectF printable;
    LandscapeTurn turn = LandscapeTurn::Plus90;
};

// One cover on a sheet.
struct SheetCover {
    const CoverFormat* kind = nullptr;
    int copy = 1; // 1 ... copies
    // Where the cover lies on the sheet as the paper feeds, in points; its width and height
    // swapped when it is turned.
    QRectF cover;
    // None, or a quarter turn the way the printer turns landscape pages.
    QuarterTurn turn = QuarterTurn::None;
};

// One sheet of paper, one page of its own job.
struct Sheet {
    Paper paper = Paper::Letter;
    std::vector<SheetCover> covers;
    // A cover too large for the printable area with its bleed and marks, turned or not: it
    // prints alone, placed exactly as with one cover a page (its cover rectangle is not used).
    bool ownPage = false;
};

// The chosen kinds, `copies` of each, on as few sheets of their papers as a shelf packing
// finds: in the kinds' table order, copies together, each at its exact size inside the
// printable area the printer reports for the paper (`area`), turned a quarter when that fits
// better. Each cover keeps the room its bleed, gap and marks want on every side, so neither
// reaches a neighbour. A kind that goes on Legal (with the Letter and Legal choice) is packed
// on Legal sheets, apart from the Letter ones. Papers come in the order of their first cover;
// the same arguments always give the same sheets.
std::vector<Sheet> packSheets(CoverKinds kinds, int copies, PaperChoice paper,
                              const TrimOptions& trim, const std::function<SheetArea(Paper)>& area);

// How many sheets the kinds take with one cover a page: one a copy.
int oneCoverAPageCount(CoverKinds kinds, int copies);

} // namespace vexa::cover
