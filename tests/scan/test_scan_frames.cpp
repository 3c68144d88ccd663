#include "scan/ScanFrames.h"

#include <gtest/gtest.h>

#include <cstring>

using vexa::scan::assembleFrames;
using vexa::scan::ScanFrame;
using vexa::scan::unsupportedFrameReason;

namespace {

ScanFrame frame(SANE_Frame format, int depth, int pixels, int bytesPerLine, int lines,
                QByteArray data, bool last = true) {
    ScanFrame f;
    f.parameters.format = format;
    f.parameters.depth = depth;
    f.parameters.pixels_per_line = pixels;
    f.parameters.bytes_per_line = bytesPerLine;
    f.parameters.lines = lines;
    f.parameters.last_frame = last ? SANE_TRUE : SANE_FALSE;
    f.data = std::move(data);
    return f;
}

QImage assemble(const QList<ScanFrame>& frames) {
    QString error;
    QImage picture = assembleFrames(frames, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return picture;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray data;
    for (int v : values) data.append(static_cast<char>(v));
    return data;
}

TEST(ScanFrames, EightBitGrayAndRgb) {
    const QImage gray = assemble({frame(SANE_FRAME_GRAY, 8, 2, 2, 2, bytes({0, 10, 200, 255}))});
    ASSERT_EQ(gray.size(), QSize(2, 2));
    EXPECT_EQ(gray.pixel(1, 0), qRgb(10, 10, 10));
    EXPECT_EQ(gray.pixel(0, 1), qRgb(200, 200, 200));

    const QImage rgb = assemble({frame(SANE_FRAME_RGB, 8, 2, 6, 1, bytes({1, 2, 3, 4, 5, 6}))});
    EXPECT_EQ(rgb.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(rgb.pixel(1, 0), qRgb(4, 5, 6));
    EXPECT_EQ(rgb.format(), QImage::Format_RGB32);
}

TEST(ScanFrames, LinePaddingIsSkipped) {
    // Three pixels in lines of five bytes.
    const QImage gray =
        assemble({frame(SANE_FRAME_GRAY, 8, 3, 5, 2, bytes({1, 2, 3, 99, 99, 4, 5, 6, 99, 99}))});
    EXPECT_EQ(gray.pixel(0, 1), qRgb(4, 4, 4));
    EXPECT_EQ(gray.pixel(2, 1), qRgb(6, 6, 6));
}

TEST(ScanFrames, OneBitGrayIsBlackWhereSet) {
    // 10 pixels: 1010 0000 | 01.. ....
    const QImage lineart =
        assemble({frame(SANE_FRAME_GRAY, 1, 10, 2, 1, bytes({0b10100000, 0b01000000}))});
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    EXPECT_EQ(lineart.pixel(0, 0), black);
    EXPECT_EQ(lineart.pixel(1, 0), white);
    EXPECT_EQ(lineart.pixel(2, 0), black);
    EXPECT_EQ(lineart.pixel(7, 0), white);
    EXPECT_EQ(lineart.pixel(8, 0), white);
    EXPECT_EQ(lineart.pixel(9, 0), black);
}

TEST(ScanFrames, OneBitColourIsFullWhereSet) {
    // Pixels of three bits: 100 011 11|0 ...
    const QImage colour = assemble({frame(SANE_FRAME_RGB, 1, 3, 2, 1, bytes({0b10001111, 0}))});
    EXPECT_EQ(colour.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(colour.pixel(1, 0), qRgb(0, 255, 255));
    EXPECT_EQ(colour.pixel(2, 0), qRgb(255, 255, 0));
}

TEST(ScanFrames, ThreePassNeedsEveryBandOfOneWidth) {
    QString error;
    EXPECT_TRUE(assembleFrames({frame(SANE_FRAME_RED, 8, 1, 1, 1, bytes({1}), false),
                                frame(SANE_FRAME_GREEN, 8, 1, 1, 1, bytes({1}))},
                               &error)
                    .isNull());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(assembleFrames({frame(SANE_FRAME_RED, 8, 1, 1, 1, bytes({1}), false),
                                frame(SANE_FRAME_GREEN, 8, 2, 2, 1, bytes({1, 2}), false),
                                frame(SANE_FRAME_BLUE, 8, 1, 1, 1, bytes({1}))},
                               &error)
                    .isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(ScanFrames, AShortTransferKeepsTheLinesThatArrived) {
    const QImage picture = assemble({frame(SANE_FRAME_GRAY, 8, 2, 2, 10, bytes({1, 2, 3, 4}))});
    EXPECT_EQ(picture.size(), QSize(2, 2));
    const QImage extra = assemble({frame(SANE_FRAME_GRAY, 8, 1, 1, 1, bytes({1, 2, 3}))});
    EXPECT_EQ(extra.size(), QSize(1, 1));
}

TEST(ScanFrames, RefusesWhatItCannotRead) {
    QString error;
    EXPECT_TRUE(assembleFrames({}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(
        assembleFrames({frame(SANE_FRAME_GRAY, 8, 4, 4, 2, QByteArray())}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    EXPECT_FALSE(
        unsupportedFrameReason(frame(SANE_FRAME_GRAY, 4, 2, 1, 1, {}).parameters).isEmpty());
    EXPECT_FALSE(
        unsupportedFrameReason(frame(SANE_FRAME_RGB, 8, 4, 11, 1, {}).parameters).isEmpty());
    EXPECT_FALSE(
        unsupportedFrameReason(frame(SANE_FRAME_GRAY, 8, 0, 0, 1, {}).parameters).isEmpty());
    EXPECT_FALSE(
        unsupportedFrameReason(frame(SANE_FRAME_GRAY, 8, 1, 1, 0, {}).parameters).isEmpty());
    ScanFrame jpeg = frame(SANE_FRAME_GRAY, 8, 1, 1, 1, {});
    const int jpegFormat = 0x0B; // a format later SANE versions added, not in the enum
    std::memcpy(&jpeg.parameters.format, &jpegFormat, sizeof jpegFormat);
    EXPECT_FALSE(unsupportedFrameReason(jpeg.parameters).isEmpty());
    EXPECT_TRUE(
        unsupportedFrameReason(frame(SANE_FRAME_RGB, 1, 3, 2, -1, {}).parameters).isEmpty());
}

} // namespace
