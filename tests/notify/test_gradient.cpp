// The gradient painter: the sweep of lines and their colours, computed without a screen, and
// what the lines cover once drawn.
#include "notify/GradientPainter.h"
#include "notify/GradientSweep.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexa;
using namespace vexa::notify;

namespace {

constexpr std::int32_t rgb(int r, int g, int b) {
    return r + g * 256 + b * 65536;
}

constexpr std::int32_t kPopupBlue = rgb(61, 149, 255);
constexpr std::int32_t kWhite = rgb(255, 255, 255);

// Line k runs from points[2k] to points[2k + 1]; consecutive lines are one step apart.
void expectParallelSweep(const GradientSweep& sweep, int stepX, int stepY) {
    ASSERT_GE(sweep.lineCount(), 2);
    for (int k = 1; k < sweep.lineCount(); ++k) {
        for (int end = 0; end < 2; ++end) {
            const SweepPoint& before = sweep.points[static_cast<std::size_t>(2 * k - 2 + end)];
            const SweepPoint& now = sweep.points[static_cast<std::size_t>(2 * k + end)];
            ASSERT_EQ(now.x - before.x, stepX) << "line " << k;
            ASSERT_EQ(now.y - before.y, stepY) << "line " << k;
        }
    }
}

} // namespace

TEST(GradientAngle, IsFoldedIntoOneTurn) {
    EXPECT_FLOAT_EQ(normalizedAngle(-100.0f), 260.0f);
    EXPECT_FLOAT_EQ(normalizedAngle(315.0f), 315.0f);
    EXPECT_FLOAT_EQ(normalizedAngle(360.0f), 0.0f);
    EXPECT_FLOAT_EQ(normalizedAngle(725.0f), 5.0f);
    EXPECT_FLOAT_EQ(normalizedAngle(-720.0f), 0.0f);
    // So small that adding a full turn gives 360 itself in single precision.
    EXPECT_FLOAT_EQ(normalizedAngle(-1e-9f), 0.0f);
    EXPECT_FLOAT_EQ(normalizedAngle(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_FLOAT_EQ(normalizedAngle(std::numeric_limits<float>::infinity()), 0.0f);

    notify::GradientPainter gradient;
    EXPECT_FLOAT_EQ(gradient.angle(), 315.0f);
    gradient.setAngle(-100.0f);
    EXPECT_FLOAT_EQ(gradient.angle(), 260.0f);
}

TEST(blendColours, OneStepStillMakesBothEnds) {
    std::vector<std::int32_t> table;
    EXPECT_EQ(blendColours(kPopupBlue, kWhite, 1, table), 2);
    EXPECT_EQ(table, (std::vector<std::int32_t>{kPopupBlue, kWhite}));
    EXPECT_EQ(blendColours(kPopupBlue, kWhite, -5, table), 2);
    EXPECT_EQ(table, (std::vector<std::int32_t>{kPopupBlue, kWhite}));
}

TEST(blendColours, DividesByTheColourCountSoTheLastColourJumps) {
    std::vector<std::int32_t> table;
    ASSERT_EQ(blendColours(rgb(0, 0, 0), rgb(100, 200, 40), 4, table), 4);
    // Steps of a quarter of the way: the third colour is only half way, then c2 exactly.
    EXPECT_EQ(table, (std::vector<std::int32_t>{rgb(0, 0, 0), rgb(25, 50, 10), rgb(50, 100, 20),
                                                rgb(100, 200, 40)}));
}

TEST(blendColours, RoundsHalvesToEvenAndFallsAsWellAsRises) {
    std::vector<std::int32_t> table;
    // Red steps by 1.25: 1.25 -> 1, 2.5 -> 2, 3.75 -> 4. Blue falls by 2.5: 7.5 -> 8, 5 -> 5.
    ASSERT_EQ(blendColours(rgb(0, 9, 10), rgb(5, 9, 0), 4, table), 4);
    EXPECT_EQ(table[1], rgb(1, 9, 8));
    EXPECT_EQ(table[2], rgb(2, 9, 5));
    EXPECT_EQ(table[3], rgb(5, 9, 0));
}

TEST(GradientSweep, TooSmallABoxHasNoLines) {
    for (const auto& [w, h] : {std::pair{1, 1}, {0, 10}, {1, 50}, {50, 1}, {-3, 8}}) {
        const GradientSweep sweep = gradientSweep(w, h, 260.0f, kPopupBlue, kWhite);
        EXPECT_TRUE(sweep.points.empty()) << w << " x " << h;
        QImage surface(std::max(w, 0), std::max(h, 0), QImage::Format_RGB32);
        EXPECT_FALSE(notify::GradientPainter().paint(surface)) << w << " x " << h;
    }
}

TEST(GradientSweep, PopupBoxSweepsDownWithLinesTiltedTenDegrees) {
    // The select-a-cover popup's background, 137 x 97 pixels, at the popups' angle.
    const GradientSweep sweep = gradientSweep(137, 97, -100.0f, kPopupBlue, kWhite);
    ASSERT_GE(sweep.points.size(), 2u);
    // The first line starts above the box: its right end touches the top row.
    EXPECT_EQ(sweep.points[0], (SweepPoint{-28, -34}));
    EXPECT_EQ(sweep.points[1], (SweepPoint{164, 0}));
    expectParallelSweep(sweep, 0, 1);
    const double tilt =
        std::atan2(sweep.points[1].y - sweep.points[0].y, sweep.points[1].x - sweep.points[0].x) *
        180 / M_PI;
    EXPECT_NEAR(tilt, 10.0, 0.2);

    // The sweep stops at the first point pair below the bottom: (164, 131) ends line 131 and
    // (-28, 98) would start line 132, which has no partner.
    ASSERT_EQ(sweep.points.size(), 265u);
    EXPECT_EQ(sweep.points[263], (SweepPoint{164, 131}));
    EXPECT_EQ(sweep.points[264], (SweepPoint{-28, 98}));
    EXPECT_EQ(sweep.lineCount(), 132);
    ASSERT_EQ(sweep.colours.size(), 132u); // 265 / 2 = 132.5, halves to even
    EXPECT_EQ(sweep.colours.front(), kPopupBlue);
    EXPECT_EQ(sweep.colours.back(), kWhite);
    // One colour per line, a steady step from blue towards white: (255 - 61) / 132 per line.
    EXPECT_EQ(sweep.colours[66], rgb(158, 202, 255));
}

TEST(GradientSweep, AngleNinetySweepsUpFromBelowTheBox) {
    const int w = 40, h = 30;
    const GradientSweep sweep = gradientSweep(w, h, 90.0f, kPopupBlue, kWhite);
    expectParallelSweep(sweep, 0, -1);
    // Horizontal lines, the first one just below the bottom row.
    EXPECT_EQ(sweep.points[0].y, h);
    EXPECT_EQ(sweep.points[1].y, h);
    EXPECT_LT(std::min(sweep.points[0].x, sweep.points[1].x), 0);
    EXPECT_GT(std::max(sweep.points[0].x, sweep.points[1].x), w);
    EXPECT_EQ(sweep.points.back().y, -1);
    EXPECT_EQ(sweep.lineCount(), h + 2);
}

TEST(GradientSweep, AngleOneEightySweepsLeftFromTheRightEdge) {
    const int w = 40, h = 30;
    const GradientSweep sweep = gradientSweep(w, h, 180.0f, kPopupBlue, kWhite);
    expectParallelSweep(sweep, -1, 0);
    EXPECT_EQ(sweep.points[0].x, w);
    EXPECT_EQ(sweep.points[1].x, w);
    EXPECT_LT(std::min(sweep.points[0].y, sweep.points[1].y), 0);
    EXPECT_GT(std::max(sweep.points[0].y, sweep.points[1].y), h);
    EXPECT_EQ(sweep.lineCount(), w + 2);
}

TEST(GradientSweep, AngleTwoSeventySweepsDownFromTheTopRow) {
    const int w = 40, h = 30;
    const GradientSweep sweep = gradientSweep(w, h, 270.0f, kPopupBlue, kWhite);
    expectParallelSweep(sweep, 0, 1);
    EXPECT_EQ(sweep.points[0], (SweepPoint{20 - 29, 0}));
    EXPECT_EQ(sweep.points[1], (SweepPoint{20 + 29, 0}));
    EXPECT_EQ(sweep.points.back().y, h + 1);
    EXPECT_EQ(sweep.lineCount(), h + 2);
}

TEST(GradientSweep, ColourTableMatchesThePointCount) {
    // Whatever the box, the table has half the points, rounded half to even, so with an odd
    // point count it may hold one colour more than there are lines.
    bool sawSpareColour = false;
    for (int w = 2; w < 30; w += 3)
        for (int h = 2; h < 30; h += 5)
            for (float angle : {0.f, 30.f, 90.f, 135.f, 180.f, 200.f, 260.f, 300.f}) {
                const GradientSweep s = gradientSweep(w, h, angle, kPopupBlue, kWhite);
                const double half = static_cast<double>(s.points.size()) / 2;
                const auto expected = static_cast<std::size_t>(std::nearbyint(half));
                ASSERT_EQ(s.colours.size(), std::max<std::size_t>(expected, 2));
                sawSpareColour |= s.colours.size() > static_cast<std::size_t>(s.lineCount());
            }
    EXPECT_TRUE(sawSpareColour);
}

TEST(GradientDraw, CoversEveryPixelAtAnyAngle) {
    const QRgb untouched = qRgb(1, 2, 3);
    for (const auto& [w, h] : {std::pair{137, 97}, {361, 89}, {2, 2}, {7, 40}}) {
        for (float angle :
             {0.f, 10.f, 45.f, 90.f, 100.f, 135.f, 180.f, 225.f, 260.f, 270.f, 315.f, 359.f}) {
            QImage surface(w, h, QImage::Format_RGB32);
            surface.fill(untouched);
            notify::GradientPainter gradient;
            gradient.setAngle(angle);
            ASSERT_TRUE(gradient.paint(surface));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_NE(surface.pixel(x, y), untouched)
                        << w << " x " << h << " at " << angle << ": (" << x << ", " << y << ")";
        }
    }
}

TEST(GradientDraw, PopupBackgroundRunsFromBlueAtTheTopToWhiteAtTheBottom) {
    QImage surface(137, 97, QImage::Format_RGB32);
    notify::GradientPainter gradient;
    gradient.setAngle(-100.0f);
    gradient.setColour1(kPopupBlue);
    gradient.setColour2(kWhite);
    ASSERT_TRUE(gradient.paint(surface));

    // The lines fall to the right by tan 10 degrees: the top right pixel lies on line 5
    // (61 + 5 x 194 / 132 = 68.3), the top left one on a line near 29, further from blue.
    const QRgb topRight = surface.pixel(136, 0);
    EXPECT_NEAR(qRed(topRight), 68, 1);
    EXPECT_EQ(qBlue(topRight), 255);
    EXPECT_NEAR(qRed(surface.pixel(0, 0)), 104, 2);
    EXPECT_GE(qRed(surface.pixel(0, 96)), 240);
    // Down each column the colour only ever lightens.
    for (int x = 0; x < 137; x += 17)
        for (int y = 1; y < 97; ++y)
            ASSERT_GE(qRed(surface.pixel(x, y)), qRed(surface.pixel(x, y - 1))) << x << ", " << y;
}

TEST(GradientDraw, DrawsEachLineInItsOwnColour) {
    // At 270 degrees the lines are the rows themselves: row y is line y.
    QImage surface(12, 6, QImage::Format_RGB32);
    notify::GradientPainter gradient;
    gradient.setAngle(270.0f);
    gradient.setColour1(rgb(0, 0, 0));
    gradient.setColour2(rgb(80, 160, 240));
    ASSERT_TRUE(gradient.paint(surface));
    const GradientSweep sweep = gradientSweep(12, 6, 270.0f, rgb(0, 0, 0), rgb(80, 160, 240));
    for (int y = 0; y < 6; ++y) {
        const std::int32_t c = sweep.colours[static_cast<std::size_t>(y)];
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(surface.pixel(x, y), qRgb(c & 255, (c >> 8) & 255, (c >> 16) & 255))
                << x << ", " << y;
    }
}
