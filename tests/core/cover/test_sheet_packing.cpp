// Packing covers onto sheets, with the test printers' margins (18 pt at the sides, 36 pt at the
// top and bottom): where covers go that the figures measured after pdftopdf do not show (Legal
// apart, a cover that prints alone, the room of marks and bleed), from millimetre arithmetic;
// and, over every choice of covers, that none overlaps another or leaves the printable area.
#include "core/cover/SheetPacking.h"

#include <gtest/gtest.h>

using namespace vexa::cover;

namespace {

constexpr double kPt = 72.0 / 25.4; // points per millimetre

SheetArea testArea(Paper paper) {
    const double height = paper == Paper::Legal ? 1008 : paper == Paper::A4 ? 842 : 792;
    const double width = paper == Paper::A4 ? 595 : 612;
    return {QRectF(18, 36, width - 36, height - 72)};
}

// A cover expected at `left`, `top` (points), `widthMm` x `heightMm` as it lies on its sheet.
struct Expected {
    std::size_t sheet;
    const char* key;
    double left, top, widthMm, heightMm;
    QuarterTurn turn;
};

TEST(SheetPacking, LegalApartAloneWhenTooLargeAndRoomForMarksAndBleed) {
    const double front = 120.65 * kPt, room = 8.5 * kPt; // 1.5 mm bleed, 2 mm gap, 5 mm mark
    const double miniW = 82.55 * kPt, miniH = 87.63 * kPt;
    const struct {
        const char* name;
        CoverKinds kinds;
        int copies;
        TrimOptions trim;
        std::vector<Paper> papers; // of each sheet
        std::vector<Expected> covers;
    } cases[] = {
        // The DVD cover (271.4625 x 180.975 mm) on a Legal sheet of its own, turned.
        {"Legal apart",
         CoverKind::Front | CoverKind::Dvd,
         1,
         {},
         {Paper::Letter, Paper::Legal},
         {{0, "Front", 18, 36, 120.65, 120.65, QuarterTurn::None},
          {1, "DVD", 18, 36, 180.975, 271.4625, QuarterTurn::CounterClockwise}}},
        // HD-DVD, 266.7 mm (756 pt) long, fits 720 pt neither way: alone. The mini, later in
        // the table, goes beside the front: 342 + 234 pt is just 576.
        {"alone",
         CoverKind::Front | CoverKind::HdDvd | CoverKind::Mini,
         1,
         {},
         {Paper::Letter, Paper::Letter},
         {{0, "Front", 18, 36, 120.65, 120.65, QuarterTurn::None},
          {0, "Mini", 18 + front, 36, 82.55, 87.63, QuarterTurn::None},
          {1, "HD", 0, 0, 0, 0, QuarterTurn::None}}},
        // 8.5 mm of room on every side: two upright minis across (2 x 99.55 mm), two rows.
        {"marks and bleed",
         CoverKind::Mini,
         4,
         {true, 1.5},
         {Paper::Letter},
         {{0, "Mini", 18 + room, 36 + room, 82.55, 87.63, QuarterTurn::None},
          {0, "Mini", 18 + 3 * room + miniW, 36 + room, 82.55, 87.63, QuarterTurn::None},
          {0, "Mini", 18 + room, 36 + 3 * room + miniH, 82.55, 87.63, QuarterTurn::None},
          {0, "Mini", 18 + 3 * room + miniW, 36 + 3 * room + miniH, 82.55, 87.63,
           QuarterTurn::None}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Sheet> sheets =
            packSheets(c.kinds, c.copies, PaperChoice::LetterLegal, c.trim, testArea);
        ASSERT_EQ(sheets.size(), c.papers.size());
        std::vector<std::size_t> next(sheets.size(), 0);
        for (const Expected& e : c.covers) {
            const Sheet& sheet = sheets[e.sheet];
            EXPECT_EQ(sheet.paper, c.papers[e.sheet]);
            ASSERT_LT(next[e.sheet], sheet.covers.size());
            const SheetCover& got = sheet.covers[next[e.sheet]++];
            EXPECT_STREQ(got.kind->key, e.key);
            EXPECT_EQ(sheet.ownPage, e.widthMm == 0) << e.key;
            if (sheet.ownPage) continue;
            EXPECT_NEAR(got.cover.left(), e.left, 1e-6) << e.key;
            EXPECT_NEAR(got.cover.top(), e.top, 1e-6) << e.key;
            EXPECT_NEAR(got.cover.width(), e.widthMm * kPt, 1e-6) << e.key;
            EXPECT_NEAR(got.cover.height(), e.heightMm * kPt, 1e-6) << e.key;
            EXPECT_EQ(got.turn, e.turn) << e.key;
        }
        for (std::size_t s = 0; s < sheets.size(); ++s) EXPECT_EQ(next[s], sheets[s].covers.size());
    }
}

// Every choice of covers, one and three copies, with and without marks and bleed, on either
// paper choice: each copy of each cover exactly once, at its exact size, turned only with its
// sides swapped, inside the printable area with its room on every side, no two overlapping;
// alone only when it does not fit with its room either way; never more sheets than one cover a
// page takes.
TEST(SheetPacking, NoCoverOverlapsAnotherOrLeavesThePrintableArea) {
    for (unsigned bits = 1; bits < (1u << kCoverKindCount); ++bits) {
        const CoverKinds kinds = CoverKinds::fromInt(bits);
        for (const int copies : {1, 3})
            for (const TrimOptions& trim : {TrimOptions{}, TrimOptions{true, 3.0}})
                for (const PaperChoice paper : {PaperChoice::LetterLegal, PaperChoice::A4}) {
                    const std::vector<Sheet> sheets =
                        packSheets(kinds, copies, paper, trim, testArea);
                    const double room = trimAllowance(trim);
                    std::vector<int> count(kCoverKindCount, 0);
                    for (const Sheet& sheet : sheets) {
                        const QRectF area = testArea(sheet.paper).printable;
                        std::vector<QRectF> taken;
                        for (const SheetCover& c : sheet.covers) {
                            ++count[coverIndex(c.kind->id)];
                            ASSERT_EQ(sheet.paper, paperFor(*c.kind, paper));
                            const QSizeF size(c.kind->width.toPoints(), c.kind->height.toPoints());
                            const QSizeF withRoom = size + QSizeF(2 * room, 2 * room);
                            const auto fits = [&area](QSizeF s) {
                                return s.width() <= area.width() + 1e-6 &&
                                       s.height() <= area.height() + 1e-6;
                            };
                            if (sheet.ownPage) {
                                ASSERT_EQ(sheet.covers.size(), 1u);
                                ASSERT_FALSE(fits(withRoom) || fits(withRoom.transposed()));
                                continue;
                            }
                            const QSizeF lies =
                                c.turn == QuarterTurn::None ? size : size.transposed();
                            ASSERT_NEAR(c.cover.width(), lies.width(), 1e-9);
                            ASSERT_NEAR(c.cover.height(), lies.height(), 1e-9);
                            const QRectF footprint = c.cover.adjusted(-room, -room, room, room);
                            ASSERT_TRUE(area.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(footprint))
                                << bits << " " << c.kind->key;
                            for (const QRectF& other : taken) {
                                const QRectF both = footprint.intersected(other);
                                ASSERT_TRUE(both.width() < 1e-6 || both.height() < 1e-6)
                                    << bits << " " << c.kind->key;
                            }
                            taken.push_back(footprint);
                        }
                    }
                    for (std::size_t i = 0; i < kCoverKindCount; ++i)
                        ASSERT_EQ(count[i], (bits >> i) & 1u ? copies : 0) << bits << " " << i;
                    ASSERT_LE(static_cast<int>(sheets.size()), oneCoverAPageCount(kinds, copies));
                }
    }
}

} // namespace
