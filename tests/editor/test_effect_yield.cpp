// The hook an effect calls after each row: event processing at most every 15 ms, and stopping
// once cancelled. The clock is the test's own, so nothing here waits.
#include "EffectYield.h"

#include <gtest/gtest.h>

using vexa::editor::EffectYield;

namespace {

struct Scene {
    qint64 now = 1000;
    int processed = 0;
    bool cancelled = false;
    EffectYield yield{[this] { ++processed; }, [this] { return cancelled; },
                      [this] { return now; }};
};

} // namespace

TEST(EffectYield, ProcessesAtTheFirstRowAndThenAtMostEvery15Ms) {
    Scene s;
    EXPECT_TRUE(s.yield());
    EXPECT_EQ(s.processed, 1);
    s.now += 5;
    EXPECT_TRUE(s.yield());
    s.now += 9; // 14 ms after the last processing
    EXPECT_TRUE(s.yield());
    EXPECT_EQ(s.processed, 1);
    s.now += 1; // 15 ms
    EXPECT_TRUE(s.yield());
    EXPECT_EQ(s.processed, 2);
}

TEST(EffectYield, CountsTheIntervalFromTheEndOfProcessing) {
    Scene s;
    EffectYield slow(
        [&s] {
            ++s.processed;
            s.now += 40;
        },
        [] { return false; }, [&s] { return s.now; });
    slow();
    s.now += 10; // the effect worked 10 ms since the processing ended
    slow();
    EXPECT_EQ(s.processed, 1);
}

TEST(EffectYield, StopsOnceCancelledEvenBetweenProcessing) {
    Scene s;
    EXPECT_TRUE(s.yield());
    s.cancelled = true;
    s.now += 1;
    EXPECT_FALSE(s.yield());
    EXPECT_EQ(s.processed, 1);
}

TEST(EffectYield, CancelDuringProcessingStopsAtOnce) {
    Scene s;
    EffectYield hook([&s] { s.cancelled = true; }, [&s] { return s.cancelled; },
                     [&s] { return s.now; });
    EXPECT_FALSE(hook());
}
