// The dispatcher: ids, the busy flag, cancelling, refusals, malformed pictures, channel 4,
// progress reporting and picture sizes from 0 x 0 up.

#include "effects/Random.h"
#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace vexa::effects::test {
namespace {

TEST(Dispatcher, IdsOutsideTheTableLeaveThePictureAndProgressAlone) {
    for (std::int32_t id : {0, 32, -1, INT_MAX, INT_MIN}) {
        Picture p = noisePicture(5, 4);
        const Picture before = p;
        std::int32_t progress = -7;
        const EffectResult r = applyEffect(testEngine(), id, p.view(), 0, progress);
        EXPECT_EQ(r.status, EffectStatus::Done) << id;
        EXPECT_EQ(p, before) << id;
        EXPECT_EQ(progress, -7) << id;
    }
}

TEST(Dispatcher, ACallFromInsideTheYieldHookIsBusyAndTouchesNothing) {
    Picture outer = noisePicture(6, 5);
    Picture inner = noisePicture(4, 4, 7);
    const Picture innerBefore = inner;
    std::int32_t progress = 0;
    std::int32_t innerProgress = -3;
    int nestedCalls = 0;
    const EffectResult r = applyEffect(testEngine(), 2, outer.view(), 0, progress, [&] {
        const EffectResult nested = applyEffect(testEngine(), 12, inner.view(), 0, innerProgress);
        EXPECT_EQ(nested.status, EffectStatus::Busy);
        ++nestedCalls;
        return true;
    });
    EXPECT_EQ(r.status, EffectStatus::Done);
    EXPECT_EQ(nestedCalls, 6); // five rows and the final yield
    EXPECT_EQ(inner, innerBefore);
    EXPECT_EQ(innerProgress, -3);
    EXPECT_EQ(apply(12, inner).status, EffectStatus::Done); // idle again
}

TEST(Dispatcher, CancellingLeavesThePictureExactlyAsItWasAndTheEngineIdle) {
    // In place, whole-picture statistics, error diffusion and random numbers; stopping at
    // the first, a middle and the very last yield.
    for (std::int32_t id : {1, 4, 17, 21, 28, 29}) {
        for (int stopAt : {1, 3, 100}) {
            Picture p = noisePicture(7, 6);
            const Picture before = p;
            std::int32_t progress = 0;
            int calls = 0;
            const EffectResult r = applyEffect(testEngine(), id, p.view(), 10, progress, [&] {
                ++calls;
                return calls < stopAt;
            });
            if (stopAt == 100) { // past the end: the call completes
                EXPECT_EQ(r.status, EffectStatus::Done);
                continue;
            }
            EXPECT_EQ(r.status, EffectStatus::Cancelled) << id << " at " << stopAt;
            EXPECT_EQ(calls, stopAt);
            EXPECT_EQ(p, before) << id;
        }
        Picture p = noisePicture(3, 3);
        EXPECT_EQ(apply(id, p, 10).status, EffectStatus::Done);
    }
}

TEST(Dispatcher, ACancelledCallDoesNotAdvanceTheRandomSequence) {
    Picture reference = noisePicture(5, 5);
    Picture p = reference;
    restartRandom();
    std::int32_t progress = 0;
    EXPECT_EQ(applyEffect(testEngine(), 29, p.view(), 50, progress, [] { return false; }).status,
              EffectStatus::Cancelled);
    EXPECT_EQ(apply(29, p, 50).status, EffectStatus::Done);
    restartRandom();
    EXPECT_EQ(apply(29, reference, 50).status, EffectStatus::Done);
    EXPECT_EQ(p, reference);
    // A completed call does advance it: the same effect again gives other noise.
    Picture again = noisePicture(5, 5);
    EXPECT_EQ(apply(29, again, 50).status, EffectStatus::Done);
    EXPECT_NE(again, reference);
}

TEST(Dispatcher, ParametersThatDivideByZeroOrOverflowAreRefusedBeforeAnyChange) {
    const std::pair<std::int32_t, std::int32_t> refusedCases[] = {{1, -8},
                                                                  {1, INT_MAX},
                                                                  {1, 8421481},
                                                                  {1, -8421513},
                                                                  {1, INT_MIN},
                                                                  {6, -1},
                                                                  {6, INT_MAX},
                                                                  {6, -8421506},
                                                                  {15, 0},
                                                                  {15, -4},
                                                                  {15, INT_MIN},
                                                                  {31, 0},
                                                                  {31, -100},
                                                                  {21, 0},
                                                                  {22, 0},
                                                                  {23, 0},
                                                                  {14, INT_MAX},
                                                                  {14, 900000000},
                                                                  {17, INT_MAX - 50},
                                                                  {29, 1073741824},
                                                                  {29, INT_MIN},
                                                                  {29, INT_MAX}};
    for (const auto& [id, parameter] : refusedCases) {
        Picture p = noisePicture(6, 5);
        const Picture before = p;
        std::int32_t progress = -1;
        const EffectResult r = applyEffect(testEngine(), id, p.view(), parameter, progress);
        EXPECT_EQ(r.status, EffectStatus::Refused) << id << " " << parameter;
        EXPECT_FALSE(r.reason.empty());
        EXPECT_EQ(p, before);
        EXPECT_EQ(progress, -1);
        EXPECT_EQ(apply(id, p, effectTable()[std::size_t(id - 1)].usualParameter).status,
                  EffectStatus::Done);
    }
    // The last strengths and amplitudes that still fit run cleanly.
    const std::pair<std::int32_t, std::int32_t> acceptedCases[] = {
        {1, 8421480},      {1, -8421512},   {6, 8421495}, {6, -8421505}, {29, 1073741823},
        {29, -1073741824}, {14, 842150000}, {4, INT_MAX}, {4, INT_MIN},  {15, INT_MAX},
        {31, INT_MAX},     {21, INT_MIN},   {30, 10000}};
    for (const auto& [id, parameter] : acceptedCases) {
        Picture p = noisePicture(6, 5);
        EXPECT_EQ(apply(id, p, parameter).status, EffectStatus::Done) << id << " " << parameter;
    }
}

TEST(Dispatcher, OverflowThatDependsOnThePictureRefusesOnlyThatPicture) {
    Picture gray(4, 3);
    gray.fill(90, 90, 90);
    const Picture grayBefore = gray;
    EXPECT_EQ(apply(30, gray, INT_MAX).status, EffectStatus::Done); // S - gray is 0
    EXPECT_EQ(gray, grayBefore);
    Picture colourful = noisePicture(4, 3);
    const Picture before = colourful;
    EXPECT_EQ(apply(30, colourful, INT_MAX).status, EffectStatus::Refused);
    EXPECT_EQ(colourful, before);
    // A contrast factor whose tone table leaves 32 bits.
    EXPECT_EQ(apply(17, colourful, 2000000000).status, EffectStatus::Refused);
    EXPECT_EQ(colourful, before);
}

TEST(Dispatcher, MalformedAndOversizedPicturesAreRefused) {
    std::uint8_t pixel[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const PictureView cases[] = {
        {pixel, -1, 1, 4},
        {pixel, 1, -1, 4},
        {nullptr, 1, 1, 4},
        {pixel, 2, 1, 4},                     // rows shorter than the width
        {pixel, 1 << 30, 1 << 30, 1LL << 32}, // far beyond any memory
        {pixel, INT_MAX, INT_MAX, 4LL * INT_MAX},
    };
    for (const PictureView& view : cases) {
        std::int32_t progress = 0;
        EXPECT_EQ(applyEffect(testEngine(), 2, view, 0, progress).status, EffectStatus::Refused);
    }
    EXPECT_EQ(pixel[0], 1);
    std::int32_t progress = 0;
    EXPECT_EQ(applyEffect(testEngine(), 2, PictureView{nullptr, 0, 0, 0}, 0, progress).status,
              EffectStatus::Done);
    EXPECT_EQ(applyEffect(testEngine(), 2, PictureView{nullptr, 0, 0, 0}, 0, progress).status,
              EffectStatus::Done); // and idle again
}

TEST(Dispatcher, EveryEffectKeepsChannelFourAndWorksOnAnySize) {
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 6}, {6, 1}, {2, 2}, {5, 5}, {9, 7}};
    for (const EffectInfo& info : effectTable()) {
        for (const auto& [w, h] : sizes) {
            Picture p = noisePicture(w, h, std::uint32_t(info.id));
            const Picture before = p;
            ASSERT_EQ(apply(info.id, p, info.usualParameter).status, EffectStatus::Done)
                << info.name;
            for (int y = 1; y <= h; ++y)
                for (int x = 1; x <= w; ++x)
                    ASSERT_EQ(p.at(x, y, 4), before.bytes[std::size_t((y - 1) * w + x - 1) * 4 + 3])
                        << info.name;
        }
    }
}

TEST(Dispatcher, EffectsOverTheInteriorChangeNothingOnPicturesOneOrTwoWide) {
    for (std::int32_t id : {1, 3, 5, 6, 7, 9, 11, 13, 24, 25, 26, 27}) {
        for (const auto& [w, h] : {std::pair{2, 7}, std::pair{7, 2}, std::pair{1, 1}}) {
            Picture p = noisePicture(w, h);
            const Picture before = p;
            EXPECT_EQ(apply(id, p, effectTable()[std::size_t(id - 1)].usualParameter).status,
                      EffectStatus::Done);
            EXPECT_EQ(p, before) << id << " " << w << "x" << h;
        }
    }
    Picture p = noisePicture(4, 4); // Quadrant Smooth needs 5 x 5
    const Picture before = p;
    apply(24, p);
    EXPECT_EQ(p, before);
}

TEST(Dispatcher, RowsAreAddressedByTheirStrideAndPaddingIsLeftAlone) {
    const int w = 3, h = 2, stride = 4 * w + 8;
    std::vector<std::uint8_t> bytes(std::size_t(stride * h), 0xAB);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 4 * w; ++i)
            bytes[std::size_t(y * stride + i)] = std::uint8_t(10 * y + i);
    std::int32_t progress = 0;
    ASSERT_EQ(
        applyEffect(testEngine(), 2, PictureView{bytes.data(), w, h, stride}, 0, progress).status,
        EffectStatus::Done);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < stride; ++i) {
            const std::uint8_t b = bytes[std::size_t(y * stride + i)];
            if (i >= 4 * w)
                EXPECT_EQ(b, 0xAB);
            else if (i % 4 == 3)
                EXPECT_EQ(b, 10 * y + i);
            else
                EXPECT_EQ(b, 255 - (10 * y + i));
        }
}

std::vector<std::int32_t> progressOf(std::int32_t id, int w, int h, std::int32_t parameter = 10) {
    Picture p = noisePicture(w, h);
    std::int32_t progress = 0;
    std::vector<std::int32_t> seen;
    applyEffect(testEngine(), id, p.view(), parameter, progress, [&] {
        seen.push_back(progress);
        return true;
    });
    return seen;
}

TEST(Dispatcher, ProgressIsStoredBeforeEachYield) {
    using V = std::vector<std::int32_t>;
    EXPECT_EQ(progressOf(2, 3, 4), (V{25, 50, 75, 100, 100}));
    EXPECT_EQ(progressOf(1, 3, 4), (V{50, 75, 100})); // rows 2..H-1 only
    EXPECT_EQ(progressOf(24, 3, 3), (V{100}));        // no row in range
    EXPECT_EQ(progressOf(17, 3, 3), (V{5, 36, 68, 100, 100}));
    EXPECT_EQ(progressOf(19, 3, 3), (V{5, 36, 68, 100, 100}));
    EXPECT_EQ(progressOf(28, 3, 2), (V{5, 10, 55, 100, 100})); // 10 after the first pass, unyielded
    EXPECT_EQ(progressOf(22, 3, 3), (V{2, 10, 40, 70, 100, 100}));
}

TEST(splitColour, RedKeepsTheSignGreenAndBlueAreBitFields) {
    const auto check = [](std::int32_t packed, std::int32_t r, std::int32_t g, std::int32_t b) {
        const Colour c = splitColour(packed);
        EXPECT_EQ(c.red, r) << packed;
        EXPECT_EQ(c.green, g) << packed;
        EXPECT_EQ(c.blue, b) << packed;
    };
    check(0 + 120 * 256 + 120 * 65536, 0, 120, 120);
    check(0x123456, 0x56, 0x34, 0x12);
    check(-1, -1, 255, 255);
    check(-256, 0, 255, 255);
    check(INT_MIN, 0, 0, 0);
}

TEST(EffectTable, ListsTheThirtyOneEffectsInIdOrder) {
    ASSERT_EQ(effectTable().size(), 31u);
    for (std::size_t i = 0; i < effectTable().size(); ++i)
        EXPECT_EQ(effectTable()[i].id, int(i) + 1);
    EXPECT_STREQ(effectTable()[0].name, "Sharpen");
    EXPECT_STREQ(effectTable()[17].name, "Black & White");
    EXPECT_STREQ(effectTable()[30].name, "Gamma");
}

} // namespace
} // namespace vexa::effects::test
