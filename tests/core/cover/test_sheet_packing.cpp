// Packing covers onto sheets: where each cover goes, from millimetre arithmetic on the paper,
// the printable area (the test printers' margins: 18 pt at the sides, 36 pt at the top and
// bottom) and the covers' sizes; and, over every choice of covers, that they never overlap or
// leave the printable area.
#include "core/cover/SheetPacking.h"

#include <gtest/gtest.h>

#include <bit>

using namespace vexa::cover;

namespace {

constexpr double kPt = 72.0 / 25.4; // points per millimetre

// The test printers' printable areas: Letter 612 x 792, Legal 612 x 1008 and A4 595 x 842 pt
// less 18 pt at each side and 36 pt at the top and the bottom.
SheetArea testArea(Paper paper, LandscapeTurn turn = LandscapeTurn::Plus90) {
    const double height = paper == Paper::Legal ? 1008 : paper == Paper::A4 ? 842 : 792;
    const double width = paper == Paper::A4 ? 595 : 612;
    return {QRectF(18, 36, width - 36, height - 72), turn};
}

// A cover expected at `left`, `top` (points), `widthMm` x `heightMm` as it lies on the sheet.
struct Expected {
    const char* key;
    double left, top, widthMm, heightMm;
    QuarterTurn turn;
};

struct Case {
    const char* name;
    CoverKinds kinds;
    int copies;
    PaperChoice paper;
    TrimOptions trim;
    LandscapeTurn printerTurn;
    std::vector<std::pair<Paper, std::vector<Expected>>> sheets; // an empty list: own page
};

std::string describe(const std::vector<Sheet>& sheets) {
    std::string out;
    for (const Sheet& sheet : sheets) {
        out += "[" + paperName(sheet.paper).toStdString() + (sheet.ownPage ? " own page" : "");
        for (const SheetCover& c : sheet.covers)
            out += QStringLiteral(" %1@%2,%3 %4x%5 t%6")
                       .arg(c.kind->key)
                       .arg(c.cover.left())
                       .arg(c.cover.top())
                       .arg(c.cover.width())
                       .arg(c.cover.height())
                       .arg(static_cast<int>(c.turn))
                       .toStdString();
        out += "]";
    }
    return out;
}

class SheetPackingTest : public ::testing::TestWithParam<Case> {};

TEST_P(SheetPackingTest, CoversGoWhereTheArithmeticPutsThem) {
    const Case& c = GetParam();
    const std::vector<Sheet> sheets =
        packSheets(c.kinds, c.copies, c.paper, c.trim,
                   [&c](Paper paper) { return testArea(paper, c.printerTurn); });
    SCOPED_TRACE(describe(sheets));
    ASSERT_EQ(sheets.size(), c.sheets.size());
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        const auto& [paper, covers] = c.sheets[s];
        EXPECT_EQ(sheets[s].paper, paper) << s;
        if (covers.empty()) {
            EXPECT_TRUE(sheets[s].ownPage) << s;
            continue;
        }
        EXPECT_FALSE(sheets[s].ownPage) << s;
        ASSERT_EQ(sheets[s].covers.size(), covers.size()) << s;
        for (std::size_t i = 0; i < covers.size(); ++i) {
            const Expected& e = covers[i];
            const SheetCover& got = sheets[s].covers[i];
            EXPECT_STREQ(got.kind->key, e.key);
            EXPECT_NEAR(got.cover.left(), e.left, 1e-6) << s << " " << i;
            EXPECT_NEAR(got.cover.top(), e.top, 1e-6) << s << " " << i;
            EXPECT_NEAR(got.cover.width(), e.widthMm * kPt, 1e-6) << s << " " << i;
            EXPECT_NEAR(got.cover.height(), e.heightMm * kPt, 1e-6) << s << " " << i;
            EXPECT_EQ(got.turn, e.turn) << s << " " << i;
        }
    }
}

// Sizes in millimetres: CD front 120.65 square; CD back 149.86 x 118.11; CD mini 82.55 wide
// and 87.63 high, so turned 87.63 x 82.55: two across 576 pt (203.2 mm) either way, but three
// rows of the turned one (3 x 82.55 mm = 702 pt) in 720 pt. DVD 271.4625 x 180.975, on Legal.
const double kFront = 120.65 * kPt, kMiniW = 87.63 * kPt, kMiniH = 82.55 * kPt;
// Cut marks and 1.5 mm bleed: 1.5 + 2 + 5 mm on every side of a cover.
const double kRoom = 8.5 * kPt;

std::vector<Expected> sixMinis(QuarterTurn turn) {
    std::vector<Expected> minis;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            minis.push_back({"Mini", 18 + column * kMiniW, 36 + row * kMiniH, 87.63, 82.55, turn});
    return minis;
}

std::vector<Expected> frontAndBack() {
    return {{"Front", 18, 36, 120.65, 120.65, QuarterTurn::None},
            {"Back", 18, 36 + kFront, 149.86, 118.11, QuarterTurn::None}};
}

std::vector<Expected> twoFronts() {
    return {{"Front", 18, 36, 120.65, 120.65, QuarterTurn::None},
            {"Front", 18, 36 + kFront, 120.65, 120.65, QuarterTurn::None}};
}

const TrimOptions kOff;
const TrimOptions kMarksAndBleed{true, 1.5};
constexpr LandscapeTurn kPlus = LandscapeTurn::Plus90;
constexpr LandscapeTurn kMinus = LandscapeTurn::Minus90;

INSTANTIATE_TEST_SUITE_P(
    Figures, SheetPackingTest,
    ::testing::Values(
        Case{"FrontAndBackOnLetter",
             CoverKind::Front | CoverKind::Back,
             1,
             PaperChoice::LetterLegal,
             kOff,
             kPlus,
             {{Paper::Letter, frontAndBack()}}},
        Case{"FrontAndBackOnA4",
             CoverKind::Front | CoverKind::Back,
             1,
             PaperChoice::A4,
             kOff,
             kPlus,
             {{Paper::A4, frontAndBack()}}},
        Case{"SixMinisOnLetterTurnedThePrinter'sWay",
             CoverKind::Mini,
             6,
             PaperChoice::LetterLegal,
             kOff,
             kPlus,
             {{Paper::Letter, sixMinis(QuarterTurn::CounterClockwise)}}},
        Case{"SixMinisOnA4",
             CoverKind::Mini,
             6,
             PaperChoice::A4,
             kOff,
             kMinus,
             {{Paper::A4, sixMinis(QuarterTurn::Clockwise)}}},
        Case{"TwoFrontsOnLetter",
             CoverKind::Front,
             2,
             PaperChoice::LetterLegal,
             kOff,
             kPlus,
             {{Paper::Letter, twoFronts()}}},
        Case{"TwoFrontsOnA4",
             CoverKind::Front,
             2,
             PaperChoice::A4,
             kOff,
             kPlus,
             {{Paper::A4, twoFronts()}}},
        // Seven minis: the seventh starts a second sheet at the corner.
        Case{"ASeventhMiniOnASecondSheet",
             CoverKind::Mini,
             7,
             PaperChoice::LetterLegal,
             kOff,
             kPlus,
             {{Paper::Letter, sixMinis(QuarterTurn::CounterClockwise)},
              {Paper::Letter, {{"Mini", 18, 36, 87.63, 82.55, QuarterTurn::CounterClockwise}}}}},
        // The DVD cover goes on Legal, apart, turned: 180.975 mm across, 271.4625 mm down.
        Case{"LetterAndLegalApart",
             CoverKind::Front | CoverKind::Dvd,
             1,
             PaperChoice::LetterLegal,
             kOff,
             kPlus,
             {{Paper::Letter, {{"Front", 18, 36, 120.65, 120.65, QuarterTurn::None}}},
              {Paper::Legal, {{"DVD", 18, 36, 180.975, 271.4625, QuarterTurn::CounterClockwise}}}}},
        // The HD-DVD cover, 266.7 x 149.225 mm, is longer than 720 pt (254 mm) either way; the
        // mini cover, later in the table, goes beside the front: 342 + 234 pt is just 576.
        Case{"AnHdDvdCoverTooLargeForLetterPrintsAlone",
             CoverKind::Front | CoverKind::HdDvd | CoverKind::Mini,
             1,
             PaperChoice::LetterLegal,
             kOff,
             kPlus,
             {{Paper::Letter,
               {{"Front", 18, 36, 120.65, 120.65, QuarterTurn::None},
                {"Mini", 18 + kFront, 36, 82.55, 87.63, QuarterTurn::None}}},
              {Paper::Letter, {}}}},
        // With marks and bleed each mini takes 8.5 mm more on every side: two upright across
        // (2 x 99.55 mm), two rows (2 x 104.63 mm); turned, one across.
        Case{"MarksAndBleedKeepTheirRoomAroundEachCover",
             CoverKind::Mini,
             4,
             PaperChoice::LetterLegal,
             kMarksAndBleed,
             kPlus,
             {{Paper::Letter,
               {{"Mini", 18 + kRoom, 36 + kRoom, 82.55, 87.63, QuarterTurn::None},
                {"Mini", 18 + 3 * kRoom + 82.55 * kPt, 36 + kRoom, 82.55, 87.63, QuarterTurn::None},
                {"Mini", 18 + kRoom, 36 + 3 * kRoom + 87.63 * kPt, 82.55, 87.63, QuarterTurn::None},
                {"Mini", 18 + 3 * kRoom + 82.55 * kPt, 36 + 3 * kRoom + 87.63 * kPt, 82.55, 87.63,
                 QuarterTurn::None}}}}}),
    [](const auto& info) {
        std::string name = info.param.name;
        name.erase(std::remove(name.begin(), name.end(), '\''), name.end());
        return name;
    });

// Every choice of covers, one and three copies, with and without marks and bleed, on either
// paper choice: each copy of each cover exactly once, at its exact size, turned only with its
// sides swapped, inside the printable area with its room on every side, no two overlapping;
// alone only when it does not fit with its room either way.
TEST(SheetPacking, NoCoverOverlapsAnotherOrLeavesThePrintableArea) {
    for (unsigned bits = 1; bits < (1u << kCoverKindCount); ++bits) {
        const CoverKinds kinds = CoverKinds::fromInt(bits);
        for (const int copies : {1, 3})
            for (const TrimOptions& trim : {kOff, TrimOptions{true, 3.0}})
                for (const PaperChoice paper : {PaperChoice::LetterLegal, PaperChoice::A4}) {
                    const std::vector<Sheet> sheets =
                        packSheets(kinds, copies, paper, trim, [](Paper p) { return testArea(p); });
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
                            const bool fitsUpright = withRoom.width() <= area.width() + 1e-6 &&
                                                     withRoom.height() <= area.height() + 1e-6;
                            const bool fitsTurned = withRoom.height() <= area.width() + 1e-6 &&
                                                    withRoom.width() <= area.height() + 1e-6;
                            if (sheet.ownPage) {
                                ASSERT_EQ(sheet.covers.size(), 1u);
                                ASSERT_FALSE(fitsUpright || fitsTurned) << c.kind->key;
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
                    // Never more sheets than one cover a page would take.
                    ASSERT_LE(static_cast<int>(sheets.size()), oneCoverAPageCount(kinds, copies));
                }
    }
}

} // namespace
