#include "core/cover/SheetPacking.h"

#include "core/cover/CoverPageContent.h"

#include <algorithm>
#include <cmath>

namespace vexa::cover {

namespace {

// Rounding noise, not room: covers that meet the area's edge exactly still fit.
constexpr double kSlack = 1e-6;

bool fits(double size, double room) {
    return size <= room + kSlack;
}

// One way a cover can lie on the sheet: its size as it lies, and what it takes with the room
// around it.
struct Way {
    QSizeF size;
    QSizeF footprint;
    QuarterTurn turn;
};

// A row of covers across the sheet, as high as its first cover's footprint.
struct Shelf {
    double top;    // from the printable area's top
    double height; //
    double used;   // from the printable area's left
};

struct OpenSheet {
    Sheet sheet;
    std::vector<Shelf> shelves;
    double bottom = 0; // below the last shelf, from the printable area's top
};

} // namespace

std::vector<Sheet> packSheets(CoverKinds kinds, int copies, PaperChoice paper,
                              const TrimOptions& trim,
                              const std::function<SheetArea(Paper)>& area) {
    const double room = trimAllowance(trim);
    std::vector<Paper> papers;
    for (const CoverFormat& kind : kCoverFormats) {
        const Paper onPaper = paperFor(kind, paper);
        if (kinds.testFlag(kind.id) &&
            std::find(papers.begin(), papers.end(), onPaper) == papers.end())
            papers.push_back(onPaper);
    }

    std::vector<Sheet> sheets;
    for (const Paper onPaper : papers) {
        const SheetArea where = area(onPaper);
        const QRectF& printable = where.printable;
        std::vector<OpenSheet> open;
        // The cover at `x`, `y` of the printable area, lying `way`.
        const auto put = [&](OpenSheet& target, const CoverFormat& kind, int copy, double x,
                             double y, const Way& way) {
            target.sheet.covers.push_back(
                {&kind, copy, QRectF(printable.topLeft() + QPointF(x + room, y + room), way.size),
                 way.turn});
        };
        for (const CoverFormat& kind : kCoverFormats) {
            if (!kinds.testFlag(kind.id) || paperFor(kind, paper) != onPaper) continue;
            // The ways that fit the printable area at all, the one that puts the most of them
            // on a shelf for its height first (the lower one when that is the same).
            const QSizeF size(kind.width.toPoints(), kind.height.toPoints());
            const QSizeF margin(2 * room, 2 * room);
            std::vector<Way> ways;
            for (const Way& way :
                 {Way{size, size + margin, QuarterTurn::None},
                  Way{size.transposed(), size.transposed() + margin, paperTurn(where.turn)}}) {
                if (!ways.empty() && way.size == ways.front().size) continue; // a square
                if (fits(way.footprint.width(), printable.width()) &&
                    fits(way.footprint.height(), printable.height()))
                    ways.push_back(way);
            }
            const auto density = [&printable](const Way& way) {
                return std::floor((printable.width() + kSlack) / way.footprint.width()) /
                       way.footprint.height();
            };
            std::stable_sort(ways.begin(), ways.end(), [&density](const Way& a, const Way& b) {
                if (density(a) != density(b)) return density(a) > density(b);
                return a.footprint.height() < b.footprint.height() - kSlack;
            });

            for (int copy = 1; copy <= copies; ++copy) {
                if (ways.empty()) {
                    OpenSheet alone;
                    alone.sheet.paper = onPaper;
                    alone.sheet.ownPage = true;
                    alone.sheet.covers.push_back({&kind, copy, QRectF(), QuarterTurn::None});
                    open.push_back(std::move(alone));
                    continue;
                }
                bool placed = false;
                for (OpenSheet& target : open) {
                    if (target.sheet.ownPage) continue;
                    // Beside the covers of a shelf it is no higher than, the narrower way.
                    for (Shelf& shelf : target.shelves) {
                        const Way* best = nullptr;
                        for (const Way& way : ways)
                            if (fits(way.footprint.height(), shelf.height) &&
                                fits(shelf.used + way.footprint.width(), printable.width()) &&
                                (!best || way.footprint.width() < best->footprint.width() - kSlack))
                                best = &way;
                        if (!best) continue;
                        put(target, kind, copy, shelf.used, shelf.top, *best);
                        shelf.used += best->footprint.width();
                        placed = true;
                        break;
                    }
                    if (placed) break;
                    // Else a shelf of its own below the others, the first way that fits.
                    for (const Way& way : ways) {
                        if (!fits(target.bottom + way.footprint.height(), printable.height()))
                            continue;
                        target.shelves.push_back(
                            {target.bottom, way.footprint.height(), way.footprint.width()});
                        put(target, kind, copy, 0, target.bottom, way);
                        target.bottom += way.footprint.height();
                        placed = true;
                        break;
                    }
                    if (placed) break;
                }
                if (placed) continue;
                // A new sheet, its first shelf.
                OpenSheet fresh;
                fresh.sheet.paper = onPaper;
                const Way& way = ways.front();
                fresh.shelves.push_back({0, way.footprint.height(), way.footprint.width()});
                fresh.bottom = way.footprint.height();
                put(fresh, kind, copy, 0, 0, way);
                open.push_back(std::move(fresh));
            }
        }
        for (OpenSheet& done : open) sheets.push_back(std::move(done.sheet));
    }
    return sheets;
}

int oneCoverAPageCount(CoverKinds kinds, int copies) {
    int count = 0;
    for (const CoverFormat& kind : kCoverFormats) count += kinds.testFlag(kind.id) ? copies : 0;
    return count;
}

} // namespace vexa::cover
