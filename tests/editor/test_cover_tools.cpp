// Rotate, Mirror, Flip and Brightness on pictures of many sizes and formats.
#include "editor/CoverTools.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vexa::editor;
using vexa::test::patternImage;
using vexa::test::solidImage;

namespace {

// Every canvas pixel (X, Y) holds source pixel (Y, H - 1 - X).
void expectQuarterTurn(const QImage& source, const QImage& turned) {
    ASSERT_EQ(turned.width(), source.height());
    ASSERT_EQ(turned.height(), source.width());
    const int h = source.height();
    for (int y = 0; y < turned.height(); ++y)
        for (int x = 0; x < turned.width(); ++x)
            ASSERT_EQ(turned.pixel(x, y), source.pixel(y, h - 1 - x)) << x << ", " << y;
}

QImage rotatedTimes(QImage picture, int turns) {
    for (int i = 0; i < turns; ++i) picture = rotateQuarterClockwise(picture);
    return picture;
}

} // namespace

TEST(Rotate, TurnsA640By480PictureClockwiseOntoA480By640Canvas) {
    const QImage source = patternImage(640, 480);
    const QImage turned = rotateQuarterClockwise(source);
    expectQuarterTurn(source, turned);
    // The source's top row is now the right-hand column, read downwards.
    EXPECT_EQ(turned.pixel(479, 0), source.pixel(0, 0));
    EXPECT_EQ(turned.pixel(479, 639), source.pixel(639, 0));
    EXPECT_EQ(turned.pixel(0, 0), source.pixel(0, 479));
    EXPECT_EQ(turned.format(), QImage::Format_RGB32);
}

TEST(Rotate, OddAndThinSizesLoseNothing) {
    for (const QSize size : {QSize(11, 7), QSize(9, 9), QSize(9, 7), QSize(1, 1), QSize(1, 13),
                             QSize(13, 1), QSize(2, 3)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        const QImage source = patternImage(size.width(), size.height());
        expectQuarterTurn(source, rotateQuarterClockwise(source));
    }
}

TEST(Rotate, FourTurnsGiveBackThePictureExactly) {
    for (const QSize size : {QSize(640, 480), QSize(9, 7), QSize(10, 10), QSize(1, 5)}) {
        const QImage source = patternImage(size.width(), size.height());
        EXPECT_EQ(rotatedTimes(source, 4), source) << size.width() << " x " << size.height();
        EXPECT_EQ(rotatedTimes(source, 2), flipTopBottom(mirrorLeftRight(source)));
    }
}

TEST(Rotate, AcceptsPicturesOfOtherFormats) {
    const QImage source = patternImage(6, 4);
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB888,
                                  QImage::Format_Indexed8, QImage::Format_RGB16}) {
        const QImage converted = source.convertToFormat(format);
        const QImage expected = converted.convertToFormat(QImage::Format_RGB32);
        const QImage turned = rotateQuarterClockwise(converted);
        EXPECT_EQ(turned.format(), QImage::Format_RGB32);
        expectQuarterTurn(expected, turned);
    }
}

TEST(Rotate, LeavesItsArgumentAlone) {
    const QImage source = patternImage(5, 3);
    const QImage copy = source.copy();
    rotateQuarterClockwise(source);
    EXPECT_EQ(source, copy);
}

TEST(MirrorAndFlip, MovePixelsAcrossTheMiddle) {
    const QImage source = patternImage(7, 5);
    const QImage mirrored = mirrorLeftRight(source);
    const QImage flipped = flipTopBottom(source);
    ASSERT_EQ(mirrored.size(), source.size());
    ASSERT_EQ(flipped.size(), source.size());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(mirrored.pixel(x, y), source.pixel(6 - x, y));
            ASSERT_EQ(flipped.pixel(x, y), source.pixel(x, 4 - y));
        }
}

TEST(MirrorAndFlip, TwiceGiveBackTheStart) {
    const QImage source = patternImage(33, 18);
    EXPECT_EQ(mirrorLeftRight(mirrorLeftRight(source)), source);
    EXPECT_EQ(flipTopBottom(flipTopBottom(source)), source);
}

TEST(Brightness, AddsTheValueInChannelStepsAndClamps) {
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(200, 10, 0));
    picture.setPixel(1, 0, qRgb(50, 120, 255));

    const QImage up = shiftBrightness(picture, 99);
    EXPECT_EQ(up.pixel(0, 0), qRgb(255, 109, 99));
    EXPECT_EQ(up.pixel(1, 0), qRgb(149, 219, 255));

    const QImage down = shiftBrightness(picture, -99);
    EXPECT_EQ(down.pixel(0, 0), qRgb(101, 0, 0));
    EXPECT_EQ(down.pixel(1, 0), qRgb(0, 21, 156));

    const QImage small = shiftBrightness(picture, 25);
    EXPECT_EQ(small.pixel(1, 0), qRgb(75, 145, 255));
}

TEST(Brightness, ZeroChangesNoPixel) {
    const QImage source = patternImage(31, 17);
    EXPECT_EQ(shiftBrightness(source, 0), source);
}

TEST(Brightness, LeavesItsArgumentAndSharedCopiesAlone) {
    const QImage source = solidImage(4, 4, qRgb(10, 20, 30));
    const QImage shared = source;
    const QImage brighter = shiftBrightness(shared, 50);
    EXPECT_EQ(brighter.pixel(3, 3), qRgb(60, 70, 80));
    EXPECT_EQ(source.pixel(3, 3), qRgb(10, 20, 30));
    EXPECT_EQ(shared.pixel(0, 0), qRgb(10, 20, 30));
}

TEST(Brightness, ConvertsOtherFormats) {
    const QImage indexed =
        solidImage(3, 2, qRgb(100, 100, 100)).convertToFormat(QImage::Format_Indexed8);
    const QImage result = shiftBrightness(indexed, -40);
    EXPECT_EQ(result.format(), QImage::Format_RGB32);
    EXPECT_EQ(result.pixel(2, 1), qRgb(60, 60, 60));
}

TEST(CoverTools, EmptyPictureStaysEmpty) {
    EXPECT_TRUE(rotateQuarterClockwise(QImage()).isNull());
    EXPECT_TRUE(mirrorLeftRight(QImage()).isNull());
    EXPECT_TRUE(flipTopBottom(QImage()).isNull());
    EXPECT_TRUE(shiftBrightness(QImage(), 50).isNull());
}
