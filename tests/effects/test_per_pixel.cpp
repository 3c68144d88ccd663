// Effects whose output pixel depends on the input pixel alone or on whole-picture
// statistics: expected values worked out by hand from the formulas.

#include "effects/EffectKernels.h"
#include "effects/Random.h"
#include "effects/SpreadPass.h"
#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace vexa::effects::test {
namespace {

// A picture of one row with the given gray levels (all three channels equal).
Picture grayRow(std::initializer_list<int> levels) {
    Picture p(int(levels.size()), 1);
    int x = 1;
    for (int v : levels) p.set(x++, 1, v, v, v);
    return p;
}

TEST(PerPixel, NegativeTwiceGivesThePictureBack) {
    Picture p = noisePicture(7, 3);
    const Picture before = p;
    apply(2, p);
    EXPECT_EQ(p.at(1, 1, 1), 255 - before.bytes[0]);
    apply(2, p);
    EXPECT_EQ(p, before);
}

TEST(PerPixel, GrayScaleTakesTheTruncatedMean) {
    Picture p(1, 1);
    p.set(1, 1, 10, 20, 31); // 61 \ 3
    apply(12, p);
    EXPECT_EQ(channelRow(p, 1, 1), std::vector<int>{20});
    EXPECT_EQ(channelRow(p, 1, 2), std::vector<int>{20});
    EXPECT_EQ(channelRow(p, 1, 3), std::vector<int>{20});
}

TEST(PerPixel, BrightnessScaleRoundsHalfToEvenThenClamps) {
    Picture p = grayRow({171, 3, 5, 0});
    apply(14, p, 50); // 256.5 -> 256 -> 255, 4.5 -> 4, 7.5 -> 8
    EXPECT_EQ(channelRow(p, 1, 2), (std::vector<int>{255, 4, 8, 0}));
    Picture q = grayRow({100, 101, 255});
    apply(14, q, 20); // the single-precision 1.2 is a little above 1.2
    EXPECT_EQ(channelRow(q, 1, 3), (std::vector<int>{120, 121, 255}));
    Picture same = noisePicture(4, 4);
    const Picture before = same;
    apply(14, same, 0);
    EXPECT_EQ(same, before);
    apply(14, same, -100);
    EXPECT_EQ(channelRow(same, 2, 1), (std::vector<int>{0, 0, 0, 0}));
}

TEST(PerPixel, BrightnessScaleMatchesItsFormulaForEveryChannelValue) {
    // Every value in every channel; factors with halves to round to even (1.5, 0.5, 1.25,
    // 2.5, -0.5), of 24 significant bits (1.2, 0.63, 1.01), negative, and large.
    Picture all(256, 1);
    for (int v = 0; v < 256; ++v) all.set(v + 1, 1, v, 255 - v, (v * 7) & 255);
    for (const std::int32_t percent :
         {50, -50, 25, 150, -150, 20, -37, 1, 0, -100, -200, -300, 1000, 123456, 8000000}) {
        Picture p = all;
        ASSERT_EQ(apply(14, p, percent).status, EffectStatus::Done) << percent;
        const double f = double(float(double(percent + 100) / 100.0));
        for (int x = 1; x <= 256; ++x)
            for (int k = 1; k <= 3; ++k) {
                const double exact = std::nearbyint(f * double(all.at(x, 1, k)));
                const int expected = exact < 0 ? 0 : (exact > 255 ? 255 : int(exact));
                ASSERT_EQ(p.at(x, 1, k), expected) << percent << " v " << int(all.at(x, 1, k));
            }
        EXPECT_EQ(p.at(7, 1, 4), all.at(7, 1, 4));
    }
}

TEST(PerPixel, SwapChannelsFollowsItsPermutationTable) {
    // (blue, green, red) of the result for source (b, g, r) = (1, 2, 3).
    const int expected[6][3] = {{1, 2, 3}, {2, 3, 1}, {3, 1, 2}, {2, 1, 3}, {3, 2, 1}, {1, 3, 2}};
    for (int permutation = 0; permutation <= 6; ++permutation) {
        Picture p(1, 1);
        p.set(1, 1, 1, 2, 3);
        apply(16, p, permutation);
        const int* e = expected[permutation == 6 ? 0 : permutation];
        EXPECT_EQ(p.at(1, 1, 1), e[0]) << permutation;
        EXPECT_EQ(p.at(1, 1, 2), e[1]) << permutation;
        EXPECT_EQ(p.at(1, 1, 3), e[2]) << permutation;
    }
}

TEST(PerPixel, ContrastStretchesAroundTheMeanGray) {
    Picture uniform(5, 4);
    uniform.fill(77, 77, 77);
    const Picture before = uniform;
    apply(17, uniform, 10);
    EXPECT_EQ(uniform, before);
    // Mean 150; the single-precision 1.1 gives 94.9999988 and 205.0000012.
    Picture p = grayRow({100, 200});
    apply(17, p, 10);
    EXPECT_EQ(channelRow(p, 1, 1), (std::vector<int>{95, 205}));
    Picture q = grayRow({100, 200});
    apply(17, q, 10);
    apply(17, q, -10);
    EXPECT_NE(q, grayRow({100, 200})); // not an exact inverse
}

TEST(PerPixel, SpreadClampHandsHalfTheExcessToTheOtherChannels) {
    auto clamp = [](std::int32_t b, std::int32_t g, std::int32_t r) {
        EXPECT_TRUE(spreadClamp(b, g, r));
        return std::vector<int>{b, g, r};
    };
    EXPECT_EQ(clamp(300, 100, 100), (std::vector<int>{255, 122, 122}));
    EXPECT_EQ(clamp(-10, 300, 100), (std::vector<int>{20, 255, 115}));
    // Green spills before red within a pass: 400 hands 72 to the others first.
    EXPECT_EQ(clamp(50, 400, -60), (std::vector<int>{122, 255, 12}));
    // Several passes, each handing on what the last one pushed out.
    EXPECT_EQ(clamp(100, 300, 280), (std::vector<int>{164, 255, 255}));
    EXPECT_EQ(clamp(-1, -300, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(clamp(1000, 250, 250), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(clamp(12, 34, 56), (std::vector<int>{12, 34, 56}));
    // Any 32-bit input either ends inside 0..255 or reports that a step would overflow.
    std::uint32_t x = 99;
    auto next = [&] {
        x = x * 1664525u + 1013904223u;
        return std::int32_t(x);
    };
    for (int i = 0; i < 20000; ++i) {
        std::int32_t v[3] = {next(), next() >> (i % 31), next() >> 20};
        if (!spreadClamp(v[0], v[1], v[2])) continue;
        for (std::int32_t c : v) ASSERT_TRUE(c >= 0 && c <= 255);
    }
    std::int32_t b = INT_MAX, g = 0, r = INT_MAX;
    EXPECT_FALSE(spreadClamp(b, g, r)); // r + (b - 255) \ 2 leaves 32 bits
}

TEST(PerPixel, TheBranchFreeSpreadPassSettlesColoursAsTheClampDoes) {
    // Tones all below, all above, within and across 0..255, several passes deep; where the
    // branch-free pass, run up to eight times, says it has settled a colour, spreadClamp
    // gives its result.
    int settled = 0, later = 0;
    for (std::int32_t b = -400; b <= 700; b += 7)
        for (std::int32_t g = -400; g <= 700; g += 7)
            for (std::int32_t r = -400; r <= 700; r += 7) {
                std::int32_t pb = b, pg = g, pr = r;
                std::int32_t packed = 0, settles = 0;
                int pass = 0;
                for (; pass < 8; ++pass) {
                    spreadPass(pb, pg, pr, packed, settles);
                    if (settles) break;
                }
                if (pass == 8) continue;
                ++settled;
                later += pass > 0;
                std::int32_t cb = b, cg = g, cr = r;
                ASSERT_TRUE(spreadClamp(cb, cg, cr));
                ASSERT_EQ(packed, cb | cg << 8 | cr << 16) << b << " " << g << " " << r;
            }
    EXPECT_GT(settled, 100000);
    EXPECT_GT(later, 10000);
}

TEST(PerPixel, ContrastSpreadsEveryRepeatOfAColourAlike) {
    // A noise tile repeated 2 x 2: every colour comes back several times, there are more
    // colours than Contrast keeps results for, and the large factors send most pixels
    // through several spread passes. Each pixel is checked against the tone formula. The
    // tones of 10 (the usual parameter), -10, -300, 1000 and 100000 lie on an integer line
    // and are worked out in vector registers; those of 250 and 50, with halves rounded to
    // even, are looked up.
    Picture tile = noisePicture(191, 181, 7);
    Picture tiled(2 * tile.width, 2 * tile.height);
    for (int y = 1; y <= tiled.height; ++y)
        for (int x = 1; x <= tiled.width; ++x)
            for (int k = 1; k <= 4; ++k)
                tiled.at(x, y, k) = tile.at((x - 1) % tile.width + 1, (y - 1) % tile.height + 1, k);
    std::int64_t graySum = 0;
    for (int y = 1; y <= tiled.height; ++y)
        for (int x = 1; x <= tiled.width; ++x)
            graySum += (tiled.at(x, y, 1) + tiled.at(x, y, 2) + tiled.at(x, y, 3)) / 3;
    const std::int32_t d = std::int32_t(graySum / (std::int64_t(tiled.width) * tiled.height));
    for (std::int32_t percent : {250, -300, 1000, 100000, -10, 10, 50}) {
        const double e = double(float(double(percent + 100) / 100.0));
        auto tone = [&](int k) { return std::int32_t(std::nearbyint(e * double(k - d) + d)); };
        Picture p = tiled;
        ASSERT_EQ(apply(17, p, percent).status, EffectStatus::Done) << percent;
        int mismatches = 0;
        for (int y = 1; y <= p.height; ++y)
            for (int x = 1; x <= p.width; ++x) {
                std::int32_t b = tone(tiled.at(x, y, 1)), g = tone(tiled.at(x, y, 2)),
                             r = tone(tiled.at(x, y, 3));
                ASSERT_TRUE(spreadClamp(b, g, r));
                mismatches += p.at(x, y, 1) != b || p.at(x, y, 2) != g || p.at(x, y, 3) != r ||
                              p.at(x, y, 4) != tiled.at(x, y, 4);
            }
        EXPECT_EQ(mismatches, 0) << percent;
    }
}

TEST(PerPixel, BlackAndWhiteNeedsEveryChannelBelowTheThreshold) {
    const std::int32_t threshold = 180 + 180 * 256 + 180 * 65536;
    Picture p(3, 1);
    p.set(1, 1, 179, 179, 179);
    p.set(2, 1, 0, 0, 180); // red 180
    p.set(3, 1, 0, 0, 0);
    apply(18, p, threshold);
    EXPECT_EQ(channelRow(p, 1, 3), (std::vector<int>{0, 255, 0}));
    Picture q(1, 1);
    apply(18, q, -1); // red component -1: nothing lies below it
    EXPECT_EQ(q.at(1, 1, 2), 255);
}

TEST(PerPixel, AutoLevelsStretchesEachChannelToFullRange) {
    Picture p(3, 1);
    p.set(1, 1, 50, 0, 7);
    p.set(2, 1, 100, 128, 7);
    p.set(3, 1, 150, 255, 7); // red is flat and keeps its value
    apply(28, p);
    EXPECT_EQ(channelRow(p, 1, 1), (std::vector<int>{0, 128, 255})); // 127.5 -> 128
    EXPECT_EQ(channelRow(p, 1, 2), (std::vector<int>{0, 128, 255}));
    EXPECT_EQ(channelRow(p, 1, 3), (std::vector<int>{7, 7, 7}));
}

TEST(PerPixel, AutoLevelsMatchesItsFormulaForEveryValueOfEachRange) {
    // (v - low) x 255 / (high - low) rounded half to even, worked out in whole numbers. Ranges
    // whose stretch has halves (0..2, 0..170, 3..5), none (0..254, 50..150), the identity and
    // a flat channel.
    struct Range {
        int low, high;
    };
    const Range ranges[][3] = {{{0, 255}, {0, 254}, {1, 255}},
                               {{50, 150}, {3, 5}, {0, 2}},
                               {{0, 170}, {7, 7}, {10, 12}},
                               {{0, 1}, {254, 255}, {100, 227}},
                               {{33, 34}, {0, 85}, {128, 255}}};
    for (const auto& channels : ranges) {
        Picture p(256, 1);
        for (int x = 0; x < 256; ++x)
            for (int k = 0; k < 3; ++k) {
                const Range r = channels[k];
                p.at(x + 1, 1, k + 1) = std::uint8_t(r.low + x % (r.high - r.low + 1));
            }
        Picture before = p;
        ASSERT_EQ(apply(28, p).status, EffectStatus::Done);
        for (int x = 1; x <= 256; ++x)
            for (int k = 0; k < 3; ++k) {
                const Range r = channels[k];
                const int v = before.at(x, 1, k + 1);
                int expected = v; // a flat channel keeps its value
                if (r.high > r.low) {
                    const int n = (v - r.low) * 255, d = r.high - r.low;
                    const int q = n / d, twice = 2 * (n % d);
                    expected = q + (twice > d || (twice == d && q % 2 == 1) ? 1 : 0);
                }
                ASSERT_EQ(p.at(x, 1, k + 1), expected)
                    << r.low << ".." << r.high << " v " << v << " channel " << k + 1;
            }
    }
}

TEST(PerPixel, AddNoiseDrawsThreeNumbersPerPixelInChannelOrder) {
    EXPECT_EQ(Lcg24().next(), 11837123.0f / 16777216.0f); // the first number of every run
    Picture p = grayRow({10, 20});
    restartRandom();
    apply(29, p, 0); // moves by 1 exactly where r > 0.5
    Lcg24 g;
    for (int x = 1; x <= 2; ++x)
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(p.at(x, 1, k), 10 * x + (g.next() > 0.5f ? 1 : 0)) << x << " " << k;
    Picture q = grayRow({0});
    restartRandom();
    apply(29, q, 50); // round(0.70554751 x 101 - 50) = round(21.26) = 21
    EXPECT_EQ(q.at(1, 1, 1), 21);
}

TEST(PerPixel, RandomNumbersComeInTheSameOrderWhateverTheBatch) {
    for (std::size_t n : {0u, 1u, 7u, 8u, 9u, 16u, 33u}) {
        Lcg24 one(12345), batch(12345);
        std::vector<float> values(n);
        batch.fill(values.data(), n);
        for (float v : values) ASSERT_EQ(v, one.next());
        EXPECT_EQ(batch.state(), one.state());
    }
}

TEST(PerPixel, SaturationMovesChannelsAgainstThePixelsGray) {
    Picture gray = grayRow({0, 90, 255});
    const Picture before = gray;
    apply(30, gray, 15);
    EXPECT_EQ(gray, before);
    Picture p(1, 1);
    p.set(1, 1, 200, 100, 0); // gray 100; f = 1 doubles every distance
    apply(30, p, 100);
    EXPECT_EQ(p.at(1, 1, 1), 255);
    EXPECT_EQ(p.at(1, 1, 2), 100);
    EXPECT_EQ(p.at(1, 1, 3), 0);
    Picture q(1, 1);
    q.set(1, 1, 200, 100, 3);
    apply(30, q, -100);
    EXPECT_EQ(channelRow(q, 1, 1), channelRow(q, 1, 3));
}

TEST(PerPixel, SaturationMatchesItsFormulaForEveryChannelAndGray) {
    // Blue takes every value against every sum of green and red, so the pixels give every
    // (channel, gray) pair there is. Factors with halves to round to even (0.5, 0.25, 1.5,
    // 0.75, ...), ones of 24 significant bits (0.8, 0.01), large ones, and 1e7, which the
    // integer arithmetic cannot hold and doubles work out.
    Picture all(511, 256);
    for (int b = 0; b < 256; ++b)
        for (int sum = 0; sum <= 510; ++sum)
            all.set(sum + 1, b + 1, b, std::min(sum, 255), sum - std::min(sum, 255));
    for (std::int32_t percent : {15, 50, -50, 25,   150, -150, 75,     250,       80,        -80, 1,
                                 -1, 33, 99,  -100, 100, 1000, 123457, 100000000, 1000000000}) {
        Picture p = all;
        ASSERT_EQ(apply(30, p, percent).status, EffectStatus::Done) << percent;
        const double f = double(float(double(percent) / 100.0));
        for (int y = 1; y <= p.height; ++y)
            for (int x = 1; x <= p.width; ++x) {
                const int gray = (all.at(x, y, 1) + all.at(x, y, 2) + all.at(x, y, 3)) / 3;
                for (int k = 1; k <= 3; ++k) {
                    const int v = all.at(x, y, k);
                    const double exact = std::nearbyint(f * double(v - gray) + double(v));
                    const int expected = exact < 0 ? 0 : (exact > 255 ? 255 : int(exact));
                    ASSERT_EQ(p.at(x, y, k), expected) << percent << " v " << v << " gray " << gray;
                }
            }
    }
}

TEST(PerPixel, GammaRaisesToOneOverGamma) {
    Picture p = grayRow({0, 128, 200, 255});
    const Picture before = p;
    apply(31, p, 100);
    EXPECT_EQ(p, before);
    apply(31, p, 90);
    EXPECT_EQ(channelRow(p, 1, 2), (std::vector<int>{0, 119, 195, 255}));
}

TEST(PerPixel, TheMeanGrayOfALargeBrightPictureDoesNotOverflow) {
    // 3300 x 3300 pixels of gray 200: a 32-bit sum of their grays would overflow.
    Picture p(3300, 3300);
    p.fill(200, 200, 200);
    const Picture before = p;
    ASSERT_EQ(apply(17, p, 10).status, EffectStatus::Done);
    EXPECT_EQ(p, before);
}

} // namespace
} // namespace vexa::effects::test
