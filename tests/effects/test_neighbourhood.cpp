// Effects that read a neighbourhood: uniform pictures, the in-place visiting order, the
// ranges of rows and columns, Diffuse's displacements, Mosaic's blocks and Quadrant
// Smooth's choice of region.

#include "effects/Random.h"
#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>

namespace vexa::effects::test {
namespace {

// A 7 x 6 picture of gray v with channel 4 set to 9.
Picture uniform(int v) {
    Picture p(7, 6);
    p.fill(v, v, v);
    for (int y = 1; y <= 6; ++y)
        for (int x = 1; x <= 7; ++x) p.at(x, y, 4) = 9;
    return p;
}

bool interior(const Picture& p, int x, int y) {
    return x > 1 && y > 1 && x < p.width && y < p.height;
}

// Expects `inside` on channel k of every interior pixel and the original value elsewhere.
void expectInterior(Picture& p, int k, int inside, int outside) {
    for (int y = 1; y <= p.height; ++y)
        for (int x = 1; x <= p.width; ++x)
            ASSERT_EQ(p.at(x, y, k), interior(p, x, y) ? inside : outside) << x << "," << y;
}

TEST(Neighbourhood, UniformPicturesGiveTheValuesTheFormulasPredict) {
    const std::pair<std::int32_t, std::int32_t> unchanged[] = {{3, 0},  {5, 0}, {25, 0},
                                                               {26, 0}, {1, 2}, {6, 1}};
    for (const auto& [id, parameter] : unchanged) {
        Picture p = uniform(90);
        const Picture before = p;
        apply(id, p, parameter);
        EXPECT_EQ(p, before) << id;
    }
    Picture edges = uniform(90);
    apply(27, edges);
    expectInterior(edges, 2, 0, 90);
    Picture contour = uniform(90);
    apply(7, contour, 0xFFFFFF);
    expectInterior(contour, 3, 255, 90);
    Picture relief = uniform(90);
    apply(13, relief);
    expectInterior(relief, 1, 95, 90); // 90 \ 2 + 50
    Picture white = uniform(255);
    apply(13, white);
    expectInterior(white, 1, 177, 255);
    Picture left = uniform(90);
    apply(9, left, 10 + 20 * 256 + 30 * 65536); // the colour alone remains
    expectInterior(left, 1, 30, 90);
    expectInterior(left, 3, 10, 90);
}

TEST(Neighbourhood, EmbossAndEngraveOnAUniformPictureLeaveOnlyTheColour) {
    for (std::int32_t id : {8, 10}) {
        Picture p = uniform(200);
        apply(id, p, 0 + 120 * 256 + 120 * 65536);
        for (int y = 1; y <= 6; ++y)
            for (int x = 1; x <= 7; ++x) {
                const bool lastRowOrColumn = x == 7 || y == 6;
                EXPECT_EQ(p.at(x, y, 1), lastRowOrColumn ? 200 : 120);
                EXPECT_EQ(p.at(x, y, 2), lastRowOrColumn ? 200 : 120);
                EXPECT_EQ(p.at(x, y, 3), lastRowOrColumn ? 200 : 0);
            }
    }
}

// Emboss (8) and Engrave (10) as their formulas read: |P(x, y) - P(x + 1, y + 1) + C| and
// |P(x + 1, y + 1) - P(x, y) + C|, clamped to 255, over columns and rows 1..W-1, 1..H-1;
// red's component keeps the sign of the colour (a remainder), green's and blue's are bytes.
Picture diagonalByTheFormula(Picture p, std::int32_t id, std::int32_t colour) {
    Picture source = p;
    const int c[4] = {0, (colour >> 16) & 255, (colour >> 8) & 255, colour % 256}; // k: b, g, r
    for (int y = 1; y < p.height; ++y)
        for (int x = 1; x < p.width; ++x)
            for (int k = 1; k <= 3; ++k) {
                const int here = source.at(x, y, k), there = source.at(x + 1, y + 1, k);
                const int v = (id == 8 ? here - there : there - here) + c[k];
                p.at(x, y, k) = std::uint8_t(std::min(v < 0 ? -v : v, 255));
            }
    return p;
}

TEST(Neighbourhood, EmbossAndEngraveOnWidePicturesMatchTheirFormulas) {
    // Colours whose components are 0, 255, in between, and a red below 0; rows long enough
    // for whole vectors, with a part of one at either end.
    const std::int32_t colours[] = {0,    0xFFFFFF,       0x787800, 0x10A0FF, -1,
                                    -200, -255 - 7 * 256, INT_MIN,  INT_MAX};
    for (const int width : {301, 64}) {
        const Picture input = noisePicture(width, 9, 5);
        for (const std::int32_t id : {8, 10})
            for (const std::int32_t colour : colours) {
                Picture p = input;
                ASSERT_EQ(apply(id, p, colour).status, EffectStatus::Done);
                EXPECT_TRUE(p == diagonalByTheFormula(input, id, colour))
                    << id << " " << colour << " " << width;
            }
    }
}

TEST(Neighbourhood, SharpenSeesTheValuesItHasAlreadyWritten) {
    Picture p(5, 5);
    p.fill(50, 50, 50);
    p.set(3, 3, 200, 200, 200);
    apply(1, p, 2);
    // Worked by hand in the visiting order; reading the original picture would give a
    // symmetric result instead.
    EXPECT_EQ(channelRow(p, 2, 1), (std::vector<int>{50, 20, 26, 24, 50}));
    EXPECT_EQ(channelRow(p, 3, 1), (std::vector<int>{50, 30, 255, 19, 50}));
    EXPECT_EQ(channelRow(p, 4, 1), (std::vector<int>{50, 13, 26, 20, 50}));
    EXPECT_EQ(channelRow(p, 5, 1), (std::vector<int>{50, 50, 50, 50, 50}));
}

TEST(Neighbourhood, BlurAndSmoothWorkInPlace) {
    Picture p(4, 3);
    const int rows[3][4] = {{0, 80, 160, 240}, {8, 16, 24, 32}, {40, 48, 56, 64}};
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 4; ++x) p.set(x, y, rows[y - 1][x - 1], 0, 0);
    Picture s = p;
    apply(3, p);
    // (2,2): 416 \ 8; (3,2) sees the new 52 on its left: 732 \ 8.
    EXPECT_EQ(channelRow(p, 2, 1), (std::vector<int>{8, 52, 91, 32}));
    apply(5, s);
    // (2,2): (16 + 8 + 24 + 80 + 48) \ 5 = 35; (3,2): (24 + 35 + 32 + 160 + 56) \ 5 = 61.
    EXPECT_EQ(channelRow(s, 2, 1), (std::vector<int>{8, 35, 61, 32}));
}

// The in-place filters as their formulas read, one pixel after the other in the visiting
// order on a copy: what the engine computes many pixels and rows at a time must match it.
Picture inPlaceByTheFormula(Picture p, std::int32_t id, std::int32_t s) {
    for (int y = 2; y < p.height; ++y)
        for (int x = 2; x < p.width; ++x)
            for (int k = 1; k <= 3; ++k) {
                const std::int64_t centre = p.at(x, y, k);
                const std::int64_t edges =
                    p.at(x - 1, y, k) + p.at(x + 1, y, k) + p.at(x, y - 1, k) + p.at(x, y + 1, k);
                const std::int64_t n8 = edges + p.at(x - 1, y - 1, k) + p.at(x + 1, y - 1, k) +
                                        p.at(x - 1, y + 1, k) + p.at(x + 1, y + 1, k);
                std::int64_t v = 0;
                if (id == 1) v = ((s + 24) * centre - 2 * n8) / (s + 8);
                if (id == 6) v = ((s + 9) * centre - n8) / (s + 1);
                if (id == 3) v = n8 / 8;
                if (id == 5) v = (centre + edges) / 5;
                p.at(x, y, k) = std::uint8_t(std::clamp<std::int64_t>(v, 0, 255));
            }
    return p;
}

TEST(Neighbourhood, InPlaceFiltersOnWidePicturesMatchTheirFormulas) {
    // Wide enough that four rows run side by side over whole blocks of columns, and rows and
    // columns that end in part of a group and of a block.
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {1, 2}, {1, -7}, {1, 100}, {1, 8000000}, {6, 1}, {6, -2}, {6, 40}, {3, 0}, {5, 0}};
    for (const std::uint32_t seed : {3u, 8u}) {
        const Picture input = noisePicture(600, 23, seed);
        for (const auto& [id, parameter] : cases) {
            Picture p = input;
            ASSERT_EQ(apply(id, p, parameter).status, EffectStatus::Done);
            EXPECT_TRUE(p == inPlaceByTheFormula(input, id, parameter)) << id << " " << parameter;
        }
    }
}

TEST(Neighbourhood, DiffuseCopiesOnlyFromInsideThePicture) {
    Picture still = noisePicture(6, 5);
    const Picture before = still;
    apply(4, still, 0); // no displacement at all
    EXPECT_EQ(still, before);
    // One row, spread 1: f = 0, dx = round(r) is 1 where r > 0.5; dy would leave the row.
    Picture row = noisePicture(5, 1);
    const Picture original = row;
    restartRandom();
    apply(4, row, 1);
    Lcg24 g;
    Picture expected = original;
    for (int x = 1; x <= 5; ++x) {
        const bool right = g.next() > 0.5f && x < 5;
        g.next();
        if (right)
            for (int k = 1; k <= 3; ++k) expected.at(x, 1, k) = expected.at(x + 1, 1, k);
    }
    EXPECT_EQ(row, expected);
    // Huge spreads: every pixel still comes from the picture.
    for (std::int32_t spread : {INT_MAX, INT_MIN, 1000, -7}) {
        Picture p = noisePicture(4, 4);
        std::set<std::uint32_t> colours;
        for (int y = 1; y <= 4; ++y)
            for (int x = 1; x <= 4; ++x)
                colours.insert(p.at(x, y, 1) | p.at(x, y, 2) << 8 | p.at(x, y, 3) << 16);
        apply(4, p, spread);
        for (int y = 1; y <= 4; ++y)
            for (int x = 1; x <= 4; ++x)
                EXPECT_TRUE(
                    colours.count(p.at(x, y, 1) | p.at(x, y, 2) << 8 | p.at(x, y, 3) << 16));
    }
}

TEST(Neighbourhood, MosaicAveragesBlocksCutOffAtTheEdges) {
    Picture same = noisePicture(5, 4);
    const Picture before = same;
    apply(15, same, 1);
    EXPECT_EQ(same, before);
    Picture p(3, 3);
    const int values[3][3] = {{10, 20, 30}, {40, 51, 60}, {70, 80, 90}};
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 3; ++x) p.set(x, y, values[y - 1][x - 1], 0, 0);
    Picture whole = p;
    apply(15, p, 2);
    EXPECT_EQ(channelRow(p, 1, 1), (std::vector<int>{30, 30, 45})); // 121 \ 4, 90 \ 2
    EXPECT_EQ(channelRow(p, 2, 1), (std::vector<int>{30, 30, 45}));
    EXPECT_EQ(channelRow(p, 3, 1), (std::vector<int>{75, 75, 90}));
    apply(15, whole, 1000);
    EXPECT_EQ(channelRow(whole, 2, 1), (std::vector<int>{50, 50, 50})); // 451 \ 9
}

TEST(Neighbourhood, QuadrantSmoothTakesTheCalmestQuadrantAndRegionOneOnTies) {
    // A plane: every quadrant has the same dispersion, so region 1's mean wins.
    Picture plane(5, 5);
    for (int y = 1; y <= 5; ++y)
        for (int x = 1; x <= 5; ++x) plane.set(x, y, 10 * x + 3 * y, 0, 0);
    apply(24, plane);
    EXPECT_EQ(plane.at(3, 3, 1), 26); // the centre of region 1 is (2, 2)
    // Disturbing the outer corners of regions 1 to 3 leaves region 4 the calmest.
    Picture corners(5, 5);
    corners.set(1, 1, 90, 0, 0);
    corners.set(5, 1, 90, 0, 0);
    corners.set(1, 5, 90, 0, 0);
    apply(24, corners);
    EXPECT_EQ(corners.at(3, 3, 1), 0);
    corners.set(5, 5, 90, 0, 0); // now every quadrant has one: region 1, mean 10
    apply(24, corners);
    EXPECT_EQ(corners.at(3, 3, 1), 10);
}

TEST(Neighbourhood, DilateErodeAndEdgeDetectUseTheNinePixels) {
    Picture p(3, 3);
    const int values[3][3] = {{5, 9, 1}, {7, 4, 8}, {3, 6, 2}};
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 3; ++x) p.set(x, y, values[y - 1][x - 1], 0, 0);
    Picture e = p, d = p;
    apply(25, p);
    apply(26, e);
    apply(27, d);
    EXPECT_EQ(p.at(2, 2, 1), 9);
    EXPECT_EQ(e.at(2, 2, 1), 1);
    EXPECT_EQ(d.at(2, 2, 1), 3);
}

} // namespace
} // namespace vexa::effects::test
