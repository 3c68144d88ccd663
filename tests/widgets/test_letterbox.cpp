// The rectangle a cover's picture takes in its slot: the cover's proportions, as large as the
// slot allows, centred. Expected rectangles are worked out by hand from the cover sizes.
#include "widgets/Letterbox.h"

#include <gtest/gtest.h>

#include <limits>

using vexa::widgets::letterboxed;

TEST(Letterbox, ACoverTakesItsOwnProportionsCentredInTheSlot) {
    const QRect slot(0, 0, 465, 331);
    const struct {
        const char* cover;
        QSizeF shape; // twips
        QRect expected;
    } cases[] = {
        // Square: 331 x 331, (465 - 331) / 2 = 67 on either side.
        {"CD front", {6840, 6840}, {67, 0, 331, 331}},
        // 8496 / 6696 * 331 = 419.98: 420 wide, 22 left over on the left (45 / 2).
        {"CD back", {8496, 6696}, {22, 0, 420, 331}},
        // 4680 / 4968 * 331 = 311.8: 312 wide, (465 - 312) / 2 = 76.
        {"CD mini", {4680, 4968}, {76, 0, 312, 331}},
        // 1.5 : 1 is wider than the slot: 465 / 1.5 = 310 high, (331 - 310) / 2 = 10.
        {"DVD", {15390, 10260}, {0, 10, 465, 310}},
        // 465 * 6580.8 / 15652.8 = 195.49: 195 high, (331 - 195) / 2 = 68.
        {"DS", {15652.8, 6580.8}, {0, 68, 465, 195}},
        // The slot's own shape fills it.
        {"slot-shaped", {465, 331}, {0, 0, 465, 331}},
    };
    for (const auto& c : cases) EXPECT_EQ(letterboxed(slot, c.shape), c.expected) << c.cover;
}

TEST(Letterbox, KeepsTheAreasPlaceAndNeverLeavesIt) {
    // Inside a frame and mark: the area starts at (4, 4).
    EXPECT_EQ(letterboxed(QRect(4, 4, 457, 323), QSizeF(1, 1)), QRect(71, 4, 323, 323));
    // A shape far thinner than a pixel still shows one line, inside the area.
    EXPECT_EQ(letterboxed(QRect(0, 0, 465, 331), QSizeF(100000, 1)), QRect(0, 165, 465, 1));
    EXPECT_EQ(letterboxed(QRect(0, 0, 465, 331), QSizeF(1, 100000)), QRect(232, 0, 1, 331));
}

TEST(Letterbox, NoUsableShapeFillsTheArea) {
    const QRect area(3, 5, 160, 120);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QSizeF shape :
         {QSizeF(), QSizeF(0, 10), QSizeF(10, -1), QSizeF(nan, 10), QSizeF(10, inf)})
        EXPECT_EQ(letterboxed(area, shape), area) << shape.width() << " x " << shape.height();
    EXPECT_EQ(letterboxed(QRect(), QSizeF(4, 3)), QRect());
}
