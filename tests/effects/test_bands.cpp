// Effects on bands of rows: every effect gives on several threads exactly the picture it gives
// on one, the effects whose rows are independent really run on several bands, and a banded
// call that is cancelled or refused leaves the picture as it was.

#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace vexa::effects::test {
namespace {

// Large enough for several bands, with a height no band count divides evenly.
constexpr int kWidth = 203;
constexpr int kHeight = 301;

struct Outcome {
    Picture picture;
    EffectStatus status;
    int bands;
};

Outcome runOn(int threads, std::int32_t id, std::int32_t parameter, const Picture& input) {
    EffectEngine engine(threads);
    Outcome run{input, EffectStatus::Done, 0};
    std::int32_t progress = 0;
    run.status = applyEffect(engine, id, run.picture.view(), parameter, progress).status;
    run.bands = engine.lastBands();
    return run;
}

TEST(Bands, EveryEffectGivesOnFourThreadsThePictureOfOneThread) {
    // The effects whose rows do not depend on rows written before them run on bands; the
    // others (in-place filters, error diffusion, the random sequence) stay on one thread.
    const std::set<std::int32_t> banded = {2,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                           17, 18, 20, 24, 25, 26, 27, 28, 30, 31};
    const Picture input = noisePicture(kWidth, kHeight, 5);
    for (const EffectCase& c : everyEffectCase()) {
        const Outcome one = runOn(1, c.id, c.parameter, input);
        const Outcome four = runOn(4, c.id, c.parameter, input);
        ASSERT_EQ(one.status, EffectStatus::Done) << c.id;
        ASSERT_EQ(four.status, EffectStatus::Done) << c.id;
        EXPECT_EQ(one.bands, 1) << c.id;
        if (banded.contains(c.id))
            EXPECT_GT(four.bands, 2) << c.id << " " << c.parameter;
        else
            EXPECT_EQ(four.bands, 1) << c.id;
        EXPECT_TRUE(four.picture == one.picture) << c.id << " " << c.parameter;
    }
}

TEST(Bands, CancellingABandedEffectStopsItAndLeavesThePictureAsItWas) {
    // Negative saves nothing and turns its rows back instead.
    for (const std::int32_t id : {2, 25, 31, 28}) {
        EffectEngine engine(4);
        Picture p = noisePicture(kWidth, kHeight, 9);
        const Picture before = p;
        std::int32_t progress = 0;
        int calls = 0;
        const EffectResult r = applyEffect(engine, id, p.view(), 90, progress, [&] {
            ++calls;
            return calls < 3;
        });
        EXPECT_EQ(r.status, EffectStatus::Cancelled) << id;
        EXPECT_EQ(calls, 3) << id; // not asked again once it said stop
        EXPECT_LT(progress, 100) << id;
        EXPECT_TRUE(p == before) << id;
        // The engine is idle and whole again: the next call completes on bands.
        EXPECT_EQ(applyEffect(engine, id, p.view(), 90, progress).status, EffectStatus::Done);
        EXPECT_GT(engine.lastBands(), 1);
    }
}

TEST(Bands, NegativeCancelledAtItsLastYieldTurnsEveryRowBack) {
    for (const int threads : {1, 4}) {
        EffectEngine engine(threads);
        Picture p = noisePicture(kWidth, kHeight, 4);
        const Picture before = p;
        std::int32_t progress = 0;
        int hundreds = 0;
        // 100 is stored only once every row is written; the second time it is, the hook says
        // stop (on one thread that is the last yield of all).
        const EffectResult r = applyEffect(engine, 2, p.view(), 0, progress,
                                           [&] { return progress < 100 || ++hundreds < 2; });
        EXPECT_EQ(r.status, EffectStatus::Cancelled) << threads;
        EXPECT_TRUE(p == before) << threads;
    }
}

TEST(Bands, AYieldHookThatThrowsLeavesThePictureAsItWas) {
    struct Stop {};
    for (const std::int32_t id : {2, 25, 3}) // turned back, saved rows, in place on one thread
        for (const int threads : {1, 4}) {
            EffectEngine engine(threads);
            Picture p = noisePicture(kWidth, kHeight, 6);
            const Picture before = p;
            std::int32_t progress = 0;
            int calls = 0;
            EXPECT_THROW(applyEffect(engine, id, p.view(), 0, progress,
                                     [&] {
                                         if (++calls == 3) throw Stop{};
                                         return true;
                                     }),
                         Stop);
            EXPECT_TRUE(p == before) << id << " on " << threads;
            EXPECT_FALSE(engine.isBusy());
        }
}

TEST(Bands, ARefusalInAnyBandLeavesEveryBandsRowsAsTheyWere) {
    // Gray everywhere but in the last rows: only the band holding them finds that Saturation
    // INT_MAX leaves 32 bits, after the other bands have written theirs.
    Picture p(kWidth, kHeight);
    p.fill(90, 90, 90);
    for (int x = 1; x <= kWidth; ++x) p.set(x, kHeight, 250, 10, 10);
    const Picture before = p;
    EffectEngine engine(4);
    std::int32_t progress = 0;
    const EffectResult r = applyEffect(engine, 30, p.view(), INT_MAX, progress);
    EXPECT_EQ(r.status, EffectStatus::Refused);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_TRUE(p == before);
}

} // namespace
} // namespace vexa::effects::test
