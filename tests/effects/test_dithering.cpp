// The five conversions to black and white.

#include "support/EffectTestSupport.h"

#include <gtest/gtest.h>

namespace vexa::effects::test {
namespace {

Picture grayPicture(int w, int h, int v) {
    Picture p(w, h);
    p.fill(v, v, v);
    return p;
}

Picture grayColumn(std::initializer_list<int> levels) {
    Picture p(1, int(levels.size()));
    int y = 1;
    for (int v : levels) p.set(1, y++, v, v, v);
    return p;
}

// Channel 1 of every pixel, row by row, as '#' for black and '.' for white; the other two
// channels must agree with it.
std::string pattern(Picture& p) {
    std::string s;
    for (int y = 1; y <= p.height; ++y) {
        for (int x = 1; x <= p.width; ++x) {
            EXPECT_EQ(p.at(x, y, 1), p.at(x, y, 2));
            EXPECT_EQ(p.at(x, y, 1), p.at(x, y, 3));
            s += p.at(x, y, 1) == 0 ? '#' : (p.at(x, y, 1) == 255 ? '.' : '?');
        }
        s += '/';
    }
    return s;
}

TEST(Dithering, WhiteStaysWhiteAndBlackTurnsWhiteAgainstAMeanOfZero) {
    for (std::int32_t id : {19, 20, 21, 22, 23}) {
        Picture white = grayPicture(6, 5, 255);
        apply(id, white, 10);
        EXPECT_EQ(pattern(white), "....../....../....../....../....../") << id;
    }
    for (std::int32_t id : {19, 21, 22, 23}) {
        Picture black = grayPicture(6, 5, 0);
        apply(id, black, 10);
        EXPECT_EQ(pattern(black), "....../....../....../....../....../") << id;
    }
}

TEST(Dithering, OrderedDitherComparesTheLevelWithTheMatrix) {
    Picture black = grayPicture(6, 5, 0); // level 1: white only where the matrix holds 1
    apply(20, black);
    EXPECT_EQ(pattern(black), ".###.#/######/######/######/.###.#/");
    Picture level9(4, 4);
    level9.fill(133, 133, 134); // channel sum 400: black where the matrix holds 10 or more
    apply(20, level9);
    EXPECT_EQ(pattern(level9), ".#.#/..#./.#.#/#.#./");
}

TEST(Dithering, ErrorDiffusionBreaksUniformGrayIntoAPattern) {
    for (std::int32_t id : {21, 22, 23}) {
        Picture p = grayPicture(8, 4, 100);
        apply(id, p, 10);
        const std::string s = pattern(p);
        EXPECT_EQ(s[0], '.') << id; // 100 is not below the mean 100
        EXPECT_NE(s.find('#'), std::string::npos) << id;
    }
    Picture row(3, 1);
    row.fill(100, 100, 100);
    apply(21, row, 10); // -155 x 7 \ 16 = -67 darkens the second pixel to 33
    EXPECT_EQ(pattern(row), ".#./");
}

TEST(Dithering, TheErrorScaleDividesWhatIsRead) {
    // Mean 146: the first pixel's error 64 sends 28 to the second, which then reaches 148
    // and turns white; read at half (scale 20) it reaches only 134.
    Picture full(3, 1), half(3, 1);
    for (Picture* p : {&full, &half}) {
        p->set(1, 1, 64, 64, 64);
        p->set(2, 1, 120, 120, 120);
        p->set(3, 1, 255, 255, 255);
    }
    apply(21, full, 10);
    apply(21, half, 20);
    EXPECT_EQ(pattern(full), "#../");
    EXPECT_EQ(pattern(half), "##./");
}

TEST(Dithering, ErrorReachesTheNextRowsWithTheirWeights) {
    // Gray 100 under the three kernels, worked by hand for Burkes: its second share to the
    // right (x + 2) keeps the third pixel of the first row dark, and the row below starts
    // from the -38 and -9 shares handed down.
    Picture fs = grayPicture(4, 2, 100), burkes = fs, stucki = grayPicture(4, 3, 100);
    apply(21, fs, 10);
    apply(22, burkes, 10);
    apply(23, stucki, 10);
    EXPECT_EQ(pattern(fs), ".#.#/#.#./");
    EXPECT_EQ(pattern(burkes), ".##./#.##/");
    EXPECT_EQ(pattern(stucki), ".##./#.##/#.#./");
}

TEST(Dithering, SharpThresholdCarriesErrorIntoTheNextRow) {
    // One column, so every pixel is a border pixel: grays 90, 94, 101 with mean 95. The
    // carry 90 \ 4 = 22 from the first row lifts the second to 116.
    Picture p = grayColumn({90, 94, 101});
    apply(19, p);
    EXPECT_EQ(pattern(p), "#/./#/");
}

TEST(Dithering, SharpThresholdSharpensInteriorPixels) {
    // A dark centre on gray 128 is pushed down to 0 by (10 c - N8) \ 2; the border keeps
    // the plain gray.
    Picture p = grayPicture(3, 3, 128);
    p.set(2, 2, 110, 110, 110);
    apply(19, p);
    EXPECT_EQ(p.at(2, 2, 1), 0);
}

} // namespace
} // namespace vexa::effects::test
