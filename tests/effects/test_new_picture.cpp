// Effects written into a new picture: every effect writes there exactly what it writes in
// place, touches no byte outside the target's pixels, never writes the source, and a call that
// does not complete leaves the source and the random sequence as they were.

#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace vexa::effects::test {
namespace {

constexpr int kWidth = 531; // rows of two whole 256-pixel parts and a part left over
constexpr int kHeight = 157;
constexpr std::ptrdiff_t kPadding = 12; // bytes after each row of the target
constexpr std::uint8_t kPadByte = 0xEE;

// A target with padding after each row, its pixels filled with noise the effect must not rely on.
struct Target {
    std::ptrdiff_t stride = std::ptrdiff_t(kWidth) * 4 + kPadding;
    std::vector<std::uint8_t> bytes;

    Target() : bytes(std::size_t(stride) * kHeight, kPadByte) {
        const Picture junk = noisePicture(kWidth, kHeight, 77);
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(junk.bytes.begin() + std::ptrdiff_t(y) * kWidth * 4, kWidth * 4,
                        bytes.begin() + y * stride);
    }
    PictureView view() { return {bytes.data(), kWidth, kHeight, stride}; }
    Picture pixels() const {
        Picture p(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(bytes.begin() + y * stride, kWidth * 4,
                        p.bytes.begin() + std::ptrdiff_t(y) * kWidth * 4);
        return p;
    }
    bool paddingUntouched() const {
        for (int y = 0; y < kHeight; ++y)
            for (std::ptrdiff_t i = kWidth * 4; i < stride; ++i)
                if (bytes[std::size_t(y * stride + i)] != kPadByte) return false;
        return true;
    }
};

SourceView sourceOf(const Picture& p) {
    return {p.bytes.data(), p.width, p.height, std::ptrdiff_t(p.width) * 4};
}

TEST(NewPicture, EveryEffectWritesWhatItWritesInPlace) {
    const Picture input = noisePicture(kWidth, kHeight, 5);
    for (const int threads : {1, 4})
        for (const EffectCase& c : everyEffectCase()) {
            EffectEngine inPlaceEngine(threads);
            EffectEngine newEngine(threads);
            Picture inPlace = input;
            std::int32_t progress = 0;
            const EffectStatus inPlaceStatus =
                applyEffect(inPlaceEngine, c.id, inPlace.view(), c.parameter, progress).status;
            Target target;
            const Picture source = input;
            const EffectStatus status =
                applyEffect(newEngine, c.id, sourceOf(source), target.view(), c.parameter, progress)
                    .status;
            ASSERT_EQ(inPlaceStatus, EffectStatus::Done) << c.id;
            ASSERT_EQ(status, EffectStatus::Done) << c.id << " on " << threads;
            EXPECT_TRUE(target.pixels() == inPlace)
                << c.id << " " << c.parameter << " on " << threads;
            EXPECT_TRUE(target.paddingUntouched()) << c.id;
            EXPECT_TRUE(source == input) << c.id;
            // The random effects drew the same numbers.
            EXPECT_EQ(newEngine.random().state(), inPlaceEngine.random().state()) << c.id;
        }
}

TEST(NewPicture, ACallThatDoesNotCompleteLeavesTheSourceAndTheSequence) {
    const Picture input = noisePicture(kWidth, kHeight, 9);
    // Banded with and without saving rows, drawing random numbers, in place on one thread.
    for (const std::int32_t id : {2, 25, 31, 29, 3})
        for (const int threads : {1, 4}) {
            EffectEngine engine(threads);
            const std::uint32_t sequence = engine.random().state();
            const Picture source = input;
            Target target;
            std::int32_t progress = 0;
            int calls = 0;
            const EffectResult r =
                applyEffect(engine, id, sourceOf(source), target.view(), 90, progress, [&] {
                    ++calls;
                    return calls < 3;
                });
            EXPECT_EQ(r.status, EffectStatus::Cancelled) << id;
            EXPECT_TRUE(source == input) << id;
            EXPECT_EQ(engine.random().state(), sequence) << id;
            EXPECT_TRUE(target.paddingUntouched()) << id;
        }
    // Saturation INT_MAX refused by the band holding the last, coloured row.
    Picture gray(kWidth, kHeight);
    gray.fill(90, 90, 90);
    for (int x = 1; x <= kWidth; ++x) gray.set(x, kHeight, 250, 10, 10);
    const Picture before = gray;
    EffectEngine engine(4);
    Target target;
    std::int32_t progress = 0;
    const EffectResult r =
        applyEffect(engine, 30, sourceOf(gray), target.view(), INT_MAX, progress);
    EXPECT_EQ(r.status, EffectStatus::Refused);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_TRUE(gray == before);
}

TEST(NewPicture, TargetsOfAnotherSizeOrOverlappingTheSourceAreRefused) {
    Picture p = noisePicture(kWidth, kHeight, 3);
    const Picture before = p;
    std::int32_t progress = 0;
    EffectEngine engine(2);

    Picture smaller(kWidth, kHeight - 1);
    const EffectResult sized = applyEffect(engine, 2, sourceOf(p), smaller.view(), 0, progress);
    EXPECT_EQ(sized.status, EffectStatus::Refused);
    EXPECT_EQ(sized.reason, "The source and target pictures differ in size");

    // The same rows, one row further on.
    const PictureView shifted{p.bytes.data() + kWidth * 4, kWidth, kHeight - 1,
                              std::ptrdiff_t(kWidth) * 4};
    const SourceView top{p.bytes.data(), kWidth, kHeight - 1, std::ptrdiff_t(kWidth) * 4};
    const EffectResult overlapping = applyEffect(engine, 2, top, shifted, 0, progress);
    EXPECT_EQ(overlapping.status, EffectStatus::Refused);
    EXPECT_EQ(overlapping.reason, "The source and target pictures overlap");
    EXPECT_TRUE(p == before);

    // Two views of the same pixels: the effect runs in place.
    EXPECT_EQ(applyEffect(engine, 2, sourceOf(p), p.view(), 0, progress).status,
              EffectStatus::Done);
    EXPECT_EQ(p.at(1, 1, 1), std::uint8_t(255 - before.bytes[0]));
    EXPECT_EQ(p.at(kWidth, kHeight, 3), std::uint8_t(255 - before.bytes[before.bytes.size() - 2]));
}

} // namespace
} // namespace vexa::effects::test
