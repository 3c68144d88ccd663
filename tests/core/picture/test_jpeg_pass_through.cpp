// Which JPEG data goes into a PDF page as it is: the decision on files written by libjpeg,
// some with their markers edited into what other cameras and programs write.
#include "support/JpegEncoder.h"
#include "support/JpegMarkers.h"
#include "support/TestSupport.h"

#include "core/cover/PageImage.h"
#include "core/picture/JpegPassThrough.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace vexa {
namespace {

using test::JpegCoding;

constexpr int kWidth = 24;
constexpr int kHeight = 16;

QByteArray encoded(JpegCoding coding) {
    return test::encodeJpeg(test::patternImage(kWidth, kHeight), coding);
}

QByteArray baseline() {
    return encoded(JpegCoding{});
}

// The file with one byte of its frame header (after the marker and length) set.
QByteArray withFrameByte(const QByteArray& jpeg, int offset, int value) {
    QByteArray result = jpeg;
    result[test::jpegSegmentAt(jpeg, 0xC0) + 4 + offset] = char(value);
    return result;
}

QByteArray withFrameMarker(const QByteArray& jpeg, int marker) {
    QByteArray result = jpeg;
    result[test::jpegSegmentAt(jpeg, 0xC0) + 1] = char(marker);
    return result;
}

// The three component ids of the frame set to 'R', 'G', 'B'.
QByteArray withRgbIds(const QByteArray& jpeg) {
    return withFrameByte(withFrameByte(withFrameByte(jpeg, 6, 'R'), 9, 'G'), 12, 'B');
}

struct Case {
    const char* name;
    std::function<QByteArray()> make;
    int components; // of the frame passed through; 0: not passed through
};

class JpegPassThroughTest : public ::testing::TestWithParam<Case> {};

TEST_P(JpegPassThroughTest, DecidesByCodingAndColourMarkers) {
    const Case& c = GetParam();
    const QByteArray jpeg = c.make();
    ASSERT_FALSE(jpeg.isEmpty());
    const std::optional<picture::JpegFrame> frame = picture::passThroughJpegFrame(jpeg);
    if (c.components == 0) {
        EXPECT_FALSE(frame.has_value());
        return;
    }
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->width, kWidth);
    EXPECT_EQ(frame->height, kHeight);
    EXPECT_EQ(frame->components, c.components);
}

const Case kCases[] = {
    {"BaselineYCbCrWithJfif", baseline, 3},
    {"BaselineGrey", [] { return encoded(JpegCoding{.gray = true}); }, 1},
    {"Progressive", [] { return encoded(JpegCoding{.progressive = true}); }, 3},
    {"ExtendedSequential", [] { return withFrameMarker(baseline(), 0xC1); }, 3},
    {"NoMarkersComponentIdsOneTwoThree", [] { return test::withoutJpegSegment(baseline(), 0xE0); },
     3},
    {"AdobeTransformOneDecidesOverRgbIds",
     [] {
         return test::withJpegSegment(withRgbIds(test::withoutJpegSegment(baseline(), 0xE0)), 0xEE,
                                      test::adobeMarkerPayload(1));
     },
     3},
    {"NoMarkersComponentIdsRgb",
     [] { return withRgbIds(test::withoutJpegSegment(baseline(), 0xE0)); }, 0},
    {"JfifWithAdobeTransformZero",
     [] { return test::withJpegSegment(baseline(), 0xEE, test::adobeMarkerPayload(0)); }, 0},
    {"RgbCoded", [] { return encoded(JpegCoding{.rgbCoded = true}); }, 0},
    {"Cmyk", [] { return encoded(JpegCoding{.cmyk = true}); }, 0},
    {"Arithmetic", [] { return encoded(JpegCoding{.arithmetic = true}); }, 0},
    {"TwelveBit", [] { return withFrameByte(baseline(), 0, 12); }, 0},
    {"Lossless", [] { return withFrameMarker(baseline(), 0xC3); }, 0},
    {"HeightFromALaterMarker", [] { return withFrameByte(withFrameByte(baseline(), 1, 0), 2, 0); },
     0},
    {"CutInsideTheHeaders", [] { return baseline().left(200); }, 0},
    {"SegmentLongerThanTheFile",
     [] {
         QByteArray jpeg = baseline();
         jpeg[test::jpegSegmentAt(jpeg, 0xE0) + 2] = char(0x7F);
         return jpeg;
     },
     0},
    {"NoJpeg", [] { return test::encodeWithQt(test::patternImage(kWidth, kHeight), "png"); }, 0},
    // FF 00 is no marker to libjpeg, nor its next two bytes, which here would give it the
    // length that leads on to the next segment.
    {"StuffedZeroBetweenSegments",
     [] { return baseline().insert(2, QByteArray("\xFF\x00\x00\x02", 4)); }, 0},
};

INSTANTIATE_TEST_SUITE_P(Files, JpegPassThroughTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The picture record decides too: only its unchanged JPEG bytes, of the pixels' own size.
TEST(PageImageTest, KeepsTheDataOfAnUnchangedJpegOfTheSameSizeOnly) {
    const QByteArray jpeg = baseline();
    const QImage pixels = test::patternImage(kWidth, kHeight);
    struct {
        const char* name;
        cover::PageImage image;
        bool passes;
    } cases[] = {
        {"unchanged", cover::PageImage::fromPicture(pixels, jpeg, "jpeg", false), true},
        {"changed", cover::PageImage::fromPicture(pixels, jpeg, "jpeg", true), false},
        {"no bytes", cover::PageImage::fromPicture(pixels, QByteArray(), "jpeg", false), false},
        {"other format", cover::PageImage::fromPicture(pixels, jpeg, "png", false), false},
        {"turned pixels",
         cover::PageImage::fromPicture(test::patternImage(kHeight, kWidth), jpeg, "jpeg", false),
         false},
        {"pixels only", cover::PageImage(pixels), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.image.passesJpegThrough(), c.passes);
        EXPECT_EQ(c.image.jpegData(), c.passes ? jpeg : QByteArray());
        EXPECT_FALSE(c.image.isNull());
    }
}

} // namespace
} // namespace vexa
