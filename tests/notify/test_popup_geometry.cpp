// Where a popup stands on each tick of its slide-in and slide-out, and how popups stack.
#include "notify/PopupGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexa::notify;

namespace {

// The select-a-cover popup (2055 x 1455 twips, no border) on a 1024 x 768 screen at 96 dpi
// whose usable height less a caption is 748 pixels.
PopupFrame smallPopup() {
    PopupFrame frame;
    frame.backgroundWidth = 2055;
    frame.backgroundHeight = 1455;
    frame.loadedWidth = 2055;
    return frame;
}

ScreenTwips screen96() {
    ScreenTwips screen;
    screen.widthPixels = 1024;
    screen.fullScreenHeightPixels = 748;
    return screen;
}

class PopupCountTest : public ::testing::Test {
protected:
    void SetUp() override { resetOpenPopupCountForTesting(); }
    void TearDown() override { resetOpenPopupCountForTesting(); }
};

} // namespace

TEST(PopupStart, IsAThinStripJustBelowTheUsableHeightCentredAcross) {
    const TwipsRect r = popupStartRect(smallPopup(), screen96(), 1);
    EXPECT_DOUBLE_EQ(r.height, 90);
    EXPECT_DOUBLE_EQ(r.width, 2055);
    EXPECT_DOUBLE_EQ(r.top, 748 * 15 + 300);
    EXPECT_DOUBLE_EQ(r.left, 1024 * 15 / 2.0 - 2055 / 2.0);
}

TEST(PopupStart, CentresByTheWidthBeforeDisplayAndAddsTheBorder) {
    PopupFrame frame = smallPopup();
    frame.loadedWidth = 3000;
    frame.borderWidth = 60;
    frame.borderHeight = 90;
    const TwipsRect r = popupStartRect(frame, screen96(), 1);
    EXPECT_DOUBLE_EQ(r.left, 7680 - 1500);
    EXPECT_DOUBLE_EQ(r.width, 2055 + 60);
    EXPECT_DOUBLE_EQ(fullPopupHeight(frame), 1455 + 90);
}

TEST(PopupStart, EachFurtherOpenPopupStartsOneFullHeightHigher) {
    PopupFrame frame = smallPopup();
    frame.borderHeight = 45;
    const double first = popupStartRect(frame, screen96(), 1).top;
    EXPECT_DOUBLE_EQ(popupStartRect(frame, screen96(), 2).top, first - 1500);
    EXPECT_DOUBLE_EQ(popupStartRect(frame, screen96(), 3).top, first - 3000);
}

TEST(PopupStart, TheOpenPopupLiesWhollyOnTheScreen) {
    // The select-a-cover popup (1455 twips high when open) on 1024 x 768 pixel screens at
    // 15 twips per pixel; the usable height is the screen less any panel less a 20 pixel
    // caption. Expected tops worked out by hand: the bottom edge of the 90 twip strip is where
    // the open popup's bottom edge stays.
    struct Case {
        const char* what;
        int width, usable, count;
        double left, top;
    };
    const Case cases[] = {
        // A 30 pixel task bar: 718 * 15 + 300, bottom at 11160 of 11520, as the formula says.
        {"panel at the bottom", 1024, 718, 1, 6652.5, 11070},
        // No panel: the formula's 11610 bottom would lie 6 pixels below; up to 11520 - 90.
        {"no panel", 1024, 748, 1, 6652.5, 11430},
        // The second of a stack moves up with the first, staying one full height above it.
        {"no panel, second", 1024, 748, 2, 6652.5, 11430 - 1455},
        // Eleven popups reach above the top: the highest stands at the top edge (1455 - 90).
        {"no panel, eleventh", 1024, 748, 11, 6652.5, 1365},
        // A screen narrower than the popup (100 pixels, 1500 twips): its left edge at 0.
        {"narrow screen", 100, 748, 1, 0, 11430},
    };
    for (const Case& c : cases) {
        ScreenTwips screen = screen96();
        screen.widthPixels = c.width;
        screen.heightPixels = 768;
        screen.fullScreenHeightPixels = c.usable;
        const TwipsRect r = popupStartRect(smallPopup(), screen, c.count);
        EXPECT_DOUBLE_EQ(r.left, c.left) << c.what;
        EXPECT_DOUBLE_EQ(r.top, c.top) << c.what;
        EXPECT_DOUBLE_EQ(r.height, 90) << c.what;
    }
}

// A monitor that is not the leftmost or topmost one: the popup rises on that monitor, the
// numbers of the primary-screen cases moved by the monitor's place on the desktop.
TEST(PopupStart, RisesOnTheMonitorItBelongsToWhereverItLies) {
    const struct {
        const char* what;
        int left, top;
        double expectedLeft, expectedTop;
    } cases[] = {
        {"right of the primary", 1920, 0, 1920 * 15 + 6652.5, 11430},
        {"left of the primary", -1024, 0, -1024 * 15 + 6652.5, 11430},
        {"above the primary", 0, -768, 6652.5, -768 * 15 + 11430},
    };
    for (const auto& c : cases) {
        ScreenTwips screen = screen96();
        screen.leftPixels = c.left;
        screen.topPixels = c.top;
        screen.heightPixels = 768;
        const TwipsRect r = popupStartRect(smallPopup(), screen, 1);
        EXPECT_DOUBLE_EQ(r.left, c.expectedLeft) << c.what;
        EXPECT_DOUBLE_EQ(r.top, c.expectedTop) << c.what;
    }
}

TEST(PopupSlide, InGrowsThirtyTwipsPerTickKeepingTheBottomEdge) {
    TwipsRect r = popupStartRect(smallPopup(), screen96(), 1);
    const double bottom = r.top + r.height;
    std::vector<double> heights;
    while (slideInStep(r, 1455)) {
        heights.push_back(r.height);
        ASSERT_DOUBLE_EQ(r.top + r.height, bottom);
    }
    // 90, 120, ... 1440 and a last short step to 1455: 46 ticks that move, then it stops.
    ASSERT_EQ(heights.size(), 46u);
    EXPECT_DOUBLE_EQ(heights.front(), 120);
    EXPECT_DOUBLE_EQ(heights[1], 150);
    EXPECT_DOUBLE_EQ(heights[44], 1440);
    EXPECT_DOUBLE_EQ(heights.back(), 1455);
    EXPECT_DOUBLE_EQ(r.top, bottom - 1455);
    // Once open, further ticks change nothing.
    const TwipsRect open = r;
    EXPECT_FALSE(slideInStep(r, 1455));
    EXPECT_DOUBLE_EQ(r.top, open.top);
    EXPECT_DOUBLE_EQ(r.height, open.height);
}

TEST(PopupSlide, OutShrinksThirtyTwipsPerTickAndClosesBelow121) {
    TwipsRect r{100, 5000, 2055, 1455};
    std::vector<double> heights;
    std::vector<double> tops;
    while (slideOutStep(r)) {
        heights.push_back(r.height);
        tops.push_back(r.top);
    }
    // 1455, 1425, ... 135, 105: the tick that finds 105 closes the popup.
    ASSERT_EQ(heights.size(), 45u);
    EXPECT_DOUBLE_EQ(heights.front(), 1425);
    EXPECT_DOUBLE_EQ(tops.front(), 5030);
    EXPECT_DOUBLE_EQ(heights.back(), 105);
    EXPECT_DOUBLE_EQ(tops.back(), 5000 + 45 * 30);
    EXPECT_DOUBLE_EQ(r.height, 105);
}

TEST(PopupSlide, OutClosesAtOnceWhenHeightIsJustBelowTheLimitButNotAtIt) {
    TwipsRect low{0, 0, 10, 120.4}; // rounds to 120
    EXPECT_FALSE(slideOutStep(low));
    TwipsRect atLimit{0, 0, 10, 121};
    EXPECT_TRUE(slideOutStep(atLimit));
    EXPECT_DOUBLE_EQ(atLimit.height, 91);
}

TEST(PopupSlide, AnOddFullHeightIsReachedExactly) {
    TwipsRect r{0, 1000, 10, 90};
    while (slideInStep(r, 137.6)) {
    }
    // 90 -> 120 -> 138 (the full height, rounded)
    EXPECT_DOUBLE_EQ(r.height, 138);
    EXPECT_DOUBLE_EQ(r.top, 1000 - 48);
}

TEST(PopupPixels, ConvertAtTheScreensResolution) {
    const TwipsRect r{7170, 11520, 2055, 90};
    EXPECT_EQ(toPixels(r, screen96()), QRect(478, 768, 137, 6));
    ScreenTwips screen120 = screen96();
    screen120.twipsPerPixelX = screen120.twipsPerPixelY = 12;   // 120 dpi
    EXPECT_EQ(toPixels(r, screen120), QRect(598, 960, 171, 8)); // 7.5 rounds to 8, 171.25 to 171
}

TEST_F(PopupCountTest, TwoStackedPopupsTakeIndicesOneAndTwo) {
    EXPECT_EQ(openPopupCount(), 0);
    const auto first = countOpenedPopup();
    const auto second = countOpenedPopup();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);

    const PopupFrame frame = smallPopup();
    TwipsRect lower = popupStartRect(frame, screen96(), first);
    TwipsRect upper = popupStartRect(frame, screen96(), second);
    while (slideInStep(lower, 1455) | slideInStep(upper, 1455)) {
    }
    // Fully open, the second stands exactly on top of the first.
    EXPECT_DOUBLE_EQ(upper.top + upper.height, lower.top);
}

TEST_F(PopupCountTest, OnlyTheHighestIndexEmptiesTheStack) {
    const auto first = countOpenedPopup();
    const auto second = countOpenedPopup();
    releasePopupIndex(first);
    EXPECT_EQ(openPopupCount(), 2); // a popup opened now still goes above the second
    EXPECT_EQ(countOpenedPopup(), 3);
    releasePopupIndex(second);
    EXPECT_EQ(openPopupCount(), 3);
    releasePopupIndex(3);
    EXPECT_EQ(openPopupCount(), 0);
    EXPECT_EQ(countOpenedPopup(), 1);
}

TEST(PopupOverHost, OnlyWaylandPlatformsAnchorPopupsToTheMainWindow) {
    for (const char* name : {"wayland", "wayland-egl", "wayland-brcm"})
        EXPECT_TRUE(popupsAnchoredToHost(QString::fromLatin1(name))) << name;
    for (const char* name : {"xcb", "offscreen", "eglfs", "vnc", ""})
        EXPECT_FALSE(popupsAnchoredToHost(QString::fromLatin1(name))) << name;
}

TEST(PopupOverHost, StandsCentredOnTheMainWindowsBottomEdgeAndStacksUpward) {
    // The main window's client area, 821 x 512 at (100, 50): bottom edge at y = 562, centre
    // at x = 510.5. The select-a-cover popup is 137 x 97 pixels at 96 dpi, the update popup
    // 361 x 89.
    const QRect host(100, 50, 821, 512);
    struct Case {
        const char* what;
        QSize size;
        QRect host;
        int count;
        QRect expected;
    };
    const Case cases[] = {
        {"first", {137, 97}, host, 1, {442, 465, 137, 97}}, // 100 + (821 - 137) / 2 = 442
        {"second", {137, 97}, host, 2, {442, 368, 137, 97}},
        {"wide", {361, 89}, host, 1, {330, 473, 361, 89}},
        // Six popups reach 512 - 6 * 97 = -70 above the top: the sixth stops at the top.
        {"sixth", {137, 97}, host, 6, {442, 50, 137, 97}},
        // Wider than a 300 pixel window: starts at its left edge, not left of it.
        {"wider than the window", {361, 89}, QRect(100, 50, 300, 200), 1, {100, 161, 361, 89}},
        // Qt places a main window it knows nothing of at the origin; the offset is the same.
        {"host at the origin", {137, 97}, QRect(0, 0, 821, 512), 1, {342, 415, 137, 97}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(anchoredPopupRect(c.size, c.host, c.count), c.expected) << c.what;
}
