#include "imageio/GifEncoder.h"

#include "support/TestSupport.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cmath>

using vexa::imageio::encodeGif;
using vexa::imageio::WriteStatus;

namespace {

QImage gifRoundTrip(const QImage& picture) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(encodeGif(picture, buffer), WriteStatus::Written);
    QBuffer in(&buffer.buffer());
    in.open(QIODevice::ReadOnly);
    QImageReader reader(&in, "gif");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Mean of each channel over a square of the picture.
std::array<double, 3> blockMean(const QImage& image, int left, int top, int side) {
    std::array<double, 3> sum{};
    for (int y = top; y < top + side; ++y)
        for (int x = left; x < left + side; ++x) {
            const QRgb p = image.pixel(x, y);
            sum[0] += qRed(p);
            sum[1] += qGreen(p);
            sum[2] += qBlue(p);
        }
    for (double& s : sum) s /= side * side;
    return sum;
}

// Accepts a given number of bytes, then fails like a full disk.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        if (length > m_room) return -1;
        m_room -= length;
        return length;
    }

private:
    qint64 m_room;
};

TEST(GifEncoder, FewColoursComeBackExactly) {
    QImage picture(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) { // 200 distinct colours
            const int i = (x + y * 30) % 200;
            picture.setPixel(x, y, qRgb(i, 255 - i, (i * 7) & 255));
        }
    EXPECT_EQ(gifRoundTrip(picture), picture);
}

TEST(GifEncoder, OnePixelOneColour) {
    const QImage dot = vexa::test::solidImage(1, 1, qRgb(250, 5, 128));
    EXPECT_EQ(gifRoundTrip(dot), dot);
}

TEST(GifEncoder, GradientsKeepTheirToneInsteadOfBanding) {
    // Far more than 256 colours. With dithering, the mean colour of each small block stays
    // that of the original (about 0.8 levels off on average); a palette mapping without
    // dithering moves whole blocks to the nearest palette entry (2.6 levels on average).
    QImage picture(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) picture.setPixel(x, y, qRgb(x, y, (x + y) / 2));
    const QImage back = gifRoundTrip(picture);
    ASSERT_EQ(back.size(), picture.size());
    double total = 0;
    int count = 0;
    for (int top = 0; top < 256; top += 4)
        for (int left = 0; left < 256; left += 4) {
            const auto want = blockMean(picture, left, top, 4);
            const auto got = blockMean(back, left, top, 4);
            for (int c = 0; c < 3; ++c, ++count) total += std::abs(want[c] - got[c]);
        }
    EXPECT_LT(total / count, 1.2);
}

TEST(GifEncoder, FailedWriteIsReported) {
    const QImage picture = vexa::test::patternImage(50, 50);
    FailingDevice full(100);
    EXPECT_EQ(encodeGif(picture, full), WriteStatus::WriteFailed);
    FailingDevice none(0);
    EXPECT_EQ(encodeGif(picture, none), WriteStatus::WriteFailed);
}

TEST(GifEncoder, RefusesWhatAGifCannotHold) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(encodeGif(QImage(), buffer), WriteStatus::NoPicture);
    EXPECT_EQ(encodeGif(vexa::test::solidImage(1, 65536, 0), buffer), WriteStatus::TooLarge);
    EXPECT_TRUE(buffer.data().isEmpty());
}

} // namespace
