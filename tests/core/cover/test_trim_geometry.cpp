#include "core/cover/CoverBleed.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/CoverMarks.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimOptions.h"

#include "support/PdfProbe.h"
#include "support/TestSupport.h"

#include "core/cover/TrimmedCoverPage.h"
#include "core/pdf/PdfPageWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vexa;

namespace {

constexpr double kPt = 72.0 / 25.4; // points per millimetre

const cover::CoverFormat& kind(const char* key) {
    return *cover::coverFormatForKey(QString::fromLatin1(key));
}

// A cover's width in millimetres from the table's twips.
double widthMm(const char* key) {
    return kind(key).width.count() / 1440.0 * 25.4;
}

bool sameLine(const QLineF& a, const QLineF& b) {
    const auto near = [](const QPointF& p, const QPointF& q) {
        return std::abs(p.x() - q.x()) < 1e-6 && std::abs(p.y() - q.y()) < 1e-6;
    };
    return (near(a.p1(), b.p1()) && near(a.p2(), b.p2())) ||
           (near(a.p1(), b.p2()) && near(a.p2(), b.p1()));
}

bool hasLine(const std::vector<vexa::cover::PageLine>& lines, const QLineF& wanted) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const vexa::cover::PageLine& l) { return sameLine(l.line, wanted); });
}

std::string describe(const std::vector<vexa::cover::PageLine>& lines) {
    std::string out;
    for (const vexa::cover::PageLine& l : lines)
        out += QStringLiteral("(%1,%2)-(%3,%4) ")
                   .arg(l.line.x1() / kPt)
                   .arg(l.line.y1() / kPt)
                   .arg(l.line.x2() / kPt)
                   .arg(l.line.y2() / kPt)
                   .toStdString();
    return out;
}

TEST(TrimPlacement, CoverMovesInByBleedGapAndMarkOnlyWhereThePaperHasRoom) {
    // Legal landscape with margins 36 / 18 pt: 936 x 576 pt printable from (36, 18).
    const QRectF legal(36, 18, 936, 576);
    const QSizeF dvd(769.5, 513); // 15390 x 10260 twips
    struct Case {
        const char* name;
        QRectF printable;
        QSizeF cover;
        cover::TrimOptions options;
        QPointF corner;    // expected, points
        QMarginsF room;    // expected, points
        QString shortfall; // expected
    };
    const double all = (3 + 2 + 5) * kPt; // 3 mm bleed, 2 mm gap, 5 mm mark
    const double marksOnly = 7 * kPt;
    const double bleedOnly = 1.5 * kPt;
    const Case cases[] = {
        {"off", legal, dvd, {}, {36, 18}, {0, 0, 0, 0}, ""},
        {"marks and 3 mm", legal, dvd, {true, 3.0}, {36 + all, 18 + all}, {all, all, all, all}, ""},
        {"marks",
         legal,
         dvd,
         {true, 0.0},
         {36 + marksOnly, 18 + marksOnly},
         {marksOnly, marksOnly, marksOnly, marksOnly},
         ""},
        {"1.5 mm",
         legal,
         dvd,
         {false, 1.5},
         {36 + bleedOnly, 18 + bleedOnly},
         {bleedOnly, bleedOnly, bleedOnly, bleedOnly},
         ""},
        // 576 - 513 = 63 pt down: the top gets its 10 mm, the bottom the other 34.65 pt.
        {"short at the bottom",
         QRectF(36, 18, 936, 576),
         QSizeF(769.5, 513 + 7.0),
         {true, 3.0},
         {36 + all, 18 + all},
         {all, all, all, 63 - 7.0 - all},
         QStringLiteral("%1 mm at the bottom").arg((56 - all) / kPt, 0, 'f', 1)},
        // Wider than the printable area: the cover stays at the corner, nothing fits beside.
        {"too wide",
         QRectF(36, 18, 720, 576),
         QSizeF(756, 423),
         {true, 0.0},
         {36, 18 + marksOnly},
         {0, marksOnly, 0, marksOnly},
         "0.0 mm on the left and 0.0 mm on the right"},
        // 20 pt to spare across: all of it on the left, none on the right.
        {"tight",
         QRectF(0, 0, 720, 576),
         QSizeF(700, 423),
         {true, 3.0},
         {20, all},
         {20, all, 0, all},
         QStringLiteral("%1 mm on the left and 0.0 mm on the right").arg(20 / kPt, 0, 'f', 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const cover::TrimmedCover placed =
            cover::placeTrimmedCover(c.printable, c.cover, c.options);
        EXPECT_NEAR(placed.cover.left(), c.corner.x(), 1e-9);
        EXPECT_NEAR(placed.cover.top(), c.corner.y(), 1e-9);
        EXPECT_EQ(placed.cover.size(), c.cover);
        EXPECT_NEAR(placed.room.left(), c.room.left(), 1e-9);
        EXPECT_NEAR(placed.room.top(), c.room.top(), 1e-9);
        EXPECT_NEAR(placed.room.right(), c.room.right(), 1e-9);
        EXPECT_NEAR(placed.room.bottom(), c.room.bottom(), 1e-9);
        EXPECT_EQ(placed.shortfall, c.shortfall);
    }
}

TEST(TrimPlacement, BleedIsOneOfTheThreeOffered) {
    EXPECT_EQ(cover::bleedFromText("0"), 0.0);
    EXPECT_EQ(cover::bleedFromText("1.5"), 1.5);
    EXPECT_EQ(cover::bleedFromText("1,5"), 1.5);
    EXPECT_EQ(cover::bleedFromText(" 3 "), 3.0);
    for (const char* text : {"2", "-3", "", "abc", "3mm", "0.15"})
        EXPECT_FALSE(cover::bleedFromText(text).has_value()) << text;
}

TEST(CoverMarks, ASideWithLittleRoomGetsShorterMarksOrNone) {
    const QRectF cover(100, 100, 300, 200);
    // 3 mm on the right: the marks there start at 2 mm and end at 3 mm. None below the
    // bottom; the two along the bottom edge stay, beside the cover.
    const std::vector<vexa::cover::PageLine> lines = cover::coverMarks(
        cover, kind("Front"), {true, 0.0}, QMarginsF(7 * kPt, 7 * kPt, 3 * kPt, 0));
    EXPECT_EQ(lines.size(), 6u) << describe(lines);
    EXPECT_TRUE(hasLine(lines, QLineF(100 - 7 * kPt, 300, 100 - 2 * kPt, 300)));
    EXPECT_TRUE(hasLine(lines, QLineF(400 + 2 * kPt, 100, 400 + 3 * kPt, 100)));
    for (const vexa::cover::PageLine& line : lines) {
        EXPECT_LE(std::max(line.line.x1(), line.line.x2()), 400 + 3 * kPt + 1e-9);
        EXPECT_LE(std::max(line.line.y1(), line.line.y2()), 300 + 1e-9);
    }
}

TEST(CoverMarks, FoldsComeFromPublishedSpinesCentredOnTheCoverWidth) {
    // CD tray card: 5 15/16 in with a 1/4 in spine at each end; DVD 272 mm with a 14 mm
    // spine in the middle; DVD slim 265 mm with a 7 mm spine.
    const double back = (widthMm("Back") - 5.9375 * 25.4) / 2;
    const double dvd = widthMm("DVD") / 2;
    const double slim = widthMm("SLIM") / 2;
    const std::pair<const char*, std::vector<double>> expected[] = {
        {"Back", {0.25 * 25.4 + back, 5.6875 * 25.4 + back}},
        {"DVD", {dvd - 7, dvd + 7}},
        {"SLIM", {slim - 3.5, slim + 3.5}},
    };
    for (const auto& [key, folds] : expected) {
        const std::vector<double> got = cover::foldLinesMm(kind(key));
        ASSERT_EQ(got.size(), folds.size()) << key;
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], folds[i], 1e-9) << key;
    }
    // The tray card's spines come out about 5.9 mm wide on VEXA's 149.9 mm.
    EXPECT_NEAR(cover::foldLinesMm(kind("Back"))[0], 5.874, 0.001);
    for (const char* key : {"Front", "Inside", "Mini", "HD", "BLU", "PSP", "VITA", "DS"})
        EXPECT_TRUE(cover::foldLinesMm(kind(key)).empty()) << key;
}

TEST(CoverBleed, EdgePixelsAreCarriedOutwardAroundTheCover) {
    const QImage picture = vexa::test::patternImage(5, 4);
    const QRectF cover(100, 100, 50, 40);
    const double b = 3 * kPt, u = cover::kBleedUnderlapPoints;
    const std::vector<cover::BleedStrip> strips = cover::bleedStrips(
        picture, {{0, 0, 1, 1}, cover}, cover, {false, 3.0}, QMarginsF(b, b, b, b));
    ASSERT_EQ(strips.size(), 8u);
    struct Expected {
        QRect source; // the picture's pixels the strip repeats
        QRectF target;
    };
    const Expected expected[] = {
        {QRect(0, 0, 5, 1), QRectF(100, 100 - b, 50, b + u)},
        {QRect(0, 3, 5, 1), QRectF(100, 140 - u, 50, b + u)},
        {QRect(0, 0, 1, 4), QRectF(100 - b, 100, b + u, 40)},
        {QRect(4, 0, 1, 4), QRectF(150 - u, 100, b + u, 40)},
        {QRect(0, 0, 1, 1), QRectF(100 - b, 100 - b, b + u, b + u)},
        {QRect(4, 0, 1, 1), QRectF(150 - u, 100 - b, b + u, b + u)},
        {QRect(0, 3, 1, 1), QRectF(100 - b, 140 - u, b + u, b + u)},
        {QRect(4, 3, 1, 1), QRectF(150 - u, 140 - u, b + u, b + u)},
    };
    for (const Expected& e : expected) {
        const auto strip =
            std::find_if(strips.begin(), strips.end(), [&](const cover::BleedStrip& s) {
                return std::abs(s.target.left() - e.target.left()) < 1e-9 &&
                       std::abs(s.target.top() - e.target.top()) < 1e-9 &&
                       std::abs(s.target.width() - e.target.width()) < 1e-9 &&
                       std::abs(s.target.height() - e.target.height()) < 1e-9;
            });
        ASSERT_NE(strip, strips.end());
        ASSERT_EQ(strip->picture.size(), e.source.size());
        for (int y = 0; y < e.source.height(); ++y)
            for (int x = 0; x < e.source.width(); ++x)
                EXPECT_EQ(strip->picture.pixel(x, y) | 0xFF000000u,
                          picture.pixel(e.source.x() + x, e.source.y() + y) | 0xFF000000u);
    }
    // No room on the right and at the bottom: only the top, the left and their corner.
    EXPECT_EQ(cover::bleedStrips(picture, {{0, 0, 1, 1}, cover}, cover, {false, 3.0},
                                 QMarginsF(b, b, 0, 0))
                  .size(),
              3u);
    EXPECT_TRUE(cover::bleedStrips(picture, {{0, 0, 1, 1}, cover}, cover, {true, 0.0},
                                   QMarginsF(b, b, b, b))
                    .empty());
}

TEST(TrimmedCoverPage, BleedAndMarksLeaveTheCoverItselfAsItWasAndItsJpegPassedThrough) {
    const QByteArray bytes =
        vexa::test::encodeWithQt(vexa::test::solidImage(200, 150, qRgb(40, 120, 200)), "jpeg");
    const QImage pixels = QImage::fromData(bytes, "jpeg");
    const vexa::cover::PageImage picture =
        vexa::cover::PageImage::fromPicture(pixels, bytes, "jpeg", false);
    ASSERT_TRUE(picture.passesJpegThrough());

    // The CD back on a Letter page with a printable area from (18, 36) to (594, 756).
    const cover::CoverPage layout{QSizeF(612, 792), QRectF(18, 36, 576, 720),
                                  QRectF(18, 36, 424.8, 334.8)};
    vexa::cover::PageContent plain(layout.page);
    cover::addTrimmedCover(plain, layout, kind("Back"), picture, cover::TrimOptions{});
    ASSERT_EQ(plain.items.size(), 1u);
    EXPECT_EQ(std::get<vexa::cover::PagePicture>(plain.items[0]).target, layout.cover);
    EXPECT_FALSE(plain.trimBox || plain.bleedBox);

    vexa::cover::PageContent trimmed(layout.page);
    const cover::TrimmedCover placed = cover::addTrimmedCover(
        trimmed, layout, kind("Back"), picture, cover::TrimOptions{true, 3.0});
    const double in = 10 * kPt;
    EXPECT_EQ(placed.cover, layout.cover.translated(in, in));
    // Eight strips, then the cover: the same picture over a rectangle of the same size.
    ASSERT_EQ(trimmed.items.size(), 8u + 1u + 8u + 8u);
    const auto& cover = std::get<vexa::cover::PagePicture>(trimmed.items[8]);
    EXPECT_EQ(cover.target, placed.cover);
    EXPECT_EQ(cover.image.jpegData().constData(), bytes.constData());
    EXPECT_EQ(trimmed.trimBox, placed.cover);
    EXPECT_EQ(trimmed.bleedBox, placed.cover.adjusted(-3 * kPt, -3 * kPt, 3 * kPt, 3 * kPt));

    QTemporaryDir folder;
    const QString pdf = folder.filePath("back.pdf");
    ASSERT_TRUE(vexa::pdf::writePdfFile(pdf, {trimmed}));
    EXPECT_EQ(vexa::test::pdfJpegData(pdf), std::vector<QByteArray>{bytes});
}

} // namespace
