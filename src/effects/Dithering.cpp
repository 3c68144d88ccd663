// Conversions to pure black and white that keep the impression of gray: the sharp
// threshold dither (a carried error over a sharpened gray), the ordered dither (a 4 x 4
// threshold matrix) and three error diffusions (Floyd-Steinberg, Burkes, Stucki).

#include "effects/Arithmetic.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"
#include "effects/VectorClones.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vexa::effects {

namespace {

// Arithmetic rather than a choice: whether a pixel turns white is as good as random, and a
// branch on it would be mispredicted half the time.
inline std::uint32_t blackOrWhite(std::uint32_t white, std::uint32_t original) {
    return ((0u - white) & kColourMask) | (original & kReservedMask);
}

// The gray of every pixel of a row, (B + G + R) \ 3, in a loop the compiler vectorises.
VEXA_VECTOR_CLONES void grayRow(const std::uint8_t* __restrict s, std::int32_t* __restrict gray,
                                int w) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(s + std::ptrdiff_t(x) * 4);
        gray[x] = std::int32_t(grayOf(p));
    }
}

// Interior channels of row `cur` sharpened, (10 c - N8) \ 2 clamped, for every byte at once,
// then their gray; the border columns take their plain gray.
VEXA_VECTOR_CLONES void sharpenedGrayRow(const std::uint8_t* __restrict up,
                                         const std::uint8_t* __restrict cur,
                                         const std::uint8_t* __restrict down,
                                         std::int16_t* __restrict v, std::int32_t* __restrict gray,
                                         int w) {
    for (std::ptrdiff_t i = 4; i < std::ptrdiff_t(w - 1) * 4; ++i) {
        const std::int16_t n8 = std::int16_t(up[i - 4] + up[i] + up[i + 4] + cur[i - 4] +
                                             cur[i + 4] + down[i - 4] + down[i] + down[i + 4]);
        v[i] = clampChannel(std::int16_t((10 * cur[i] - n8) / 2));
    }
    for (int x = 1; x < w - 1; ++x) gray[x] = (v[4 * x] + v[4 * x + 1] + v[4 * x + 2]) / 3;
    gray[0] = std::int32_t(grayOf(loadPixel(cur)));
    gray[w - 1] = std::int32_t(grayOf(loadPixel(cur + std::ptrdiff_t(w - 1) * 4)));
}

} // namespace

EffectResult sharpThresholdDither(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    const int h = frame.height;
    const std::int32_t mean = meanGray(frame);
    if (!frame.progress->report(5)) return cancelled();
    std::vector<std::int16_t> sharpened(std::size_t(w) * 4);
    std::vector<std::int32_t> gray(static_cast<std::size_t>(w));
    // The carry (f - t) \ 4 lies in -63..63, so carry + gray lies in -63..318; what follows
    // from it is tabled, leaving an addition and a load between one pixel and the next.
    struct Step {
        std::int32_t carry;
        std::int32_t white;
    };
    std::array<Step, 382> steps;
    for (int v = -63; v <= 318; ++v) {
        const int f = clampChannel(v);
        const int t = f < mean ? 0 : 255;
        steps[std::size_t(v + 63)] = {(f - t) / 4, t != 0 ? 1 : 0};
    }
    int carry = 0; // runs on from the end of one row into the next, so one thread
    return forEachRow(
        frame, 0, h,
        [&](int y) {
            const std::uint8_t* __restrict cur = frame.sourceRow(y);
            const int width = w; // a local: the stores below could otherwise alias it
            if (y == 0 || y == h - 1 || width < 3)
                grayRow(cur, gray.data(), width); // border pixels keep their channels
            else
                sharpenedGrayRow(frame.sourceRow(y - 1), cur, frame.sourceRow(y + 1),
                                 sharpened.data(), gray.data(), width);
            std::uint8_t* out = frame.targetRow(y);
            const std::int32_t* g = gray.data();
            const Step* table = steps.data();
            int c = carry;
            for (int x = 0; x < width; ++x) {
                const Step& step = table[c + g[x] + 63];
                c = step.carry;
                const std::ptrdiff_t i = std::ptrdiff_t(x) * 4;
                storePixel(out + i, blackOrWhite(std::uint32_t(step.white), loadPixel(cur + i)));
            }
            carry = c;
        },
        5, 95, 1);
}

namespace {

inline std::uint32_t orderedPixel(std::uint32_t p, std::uint32_t threshold) {
    // s x 1366 >> 16 is s \ 48 for every s up to 3 x 255, without a division.
    const std::uint32_t sum = (p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255);
    return blackOrWhite(((sum * 1366u) >> 16) + 1 >= threshold, p);
}

// Four pixels a step, one per column of the matrix, so each meets a fixed threshold. In place.
VEXA_VECTOR_CLONES void orderedRow(std::uint8_t* __restrict d, int w,
                                   const std::uint8_t* matrixRow) {
    const std::uint8_t* s = d;
    const std::uint32_t t0 = matrixRow[0], t1 = matrixRow[1], t2 = matrixRow[2], t3 = matrixRow[3];
    int x = 0;
    for (; x + 4 <= w; x += 4) {
        const std::uint8_t* from = s + std::ptrdiff_t(x) * 4;
        std::uint8_t* to = d + std::ptrdiff_t(x) * 4;
        storePixel(to, orderedPixel(loadPixel(from), t0));
        storePixel(to + 4, orderedPixel(loadPixel(from + 4), t1));
        storePixel(to + 8, orderedPixel(loadPixel(from + 8), t2));
        storePixel(to + 12, orderedPixel(loadPixel(from + 12), t3));
    }
    for (; x < w; ++x)
        storePixel(d + std::ptrdiff_t(x) * 4,
                   orderedPixel(loadPixel(s + std::ptrdiff_t(x) * 4), matrixRow[x & 3]));
}

} // namespace

EffectResult orderedDither(const Frame& frame, std::int32_t) {
    static constexpr std::uint8_t kMatrix[4][4] = {
        {1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
    RowPlan plan;
    plan.last = frame.height;
    plan.readsCopy = false;
    return forEachRowInBands(frame, plan, [&] {
        return [&](int y) { orderedRow(frame.targetRow(y), frame.width, kMatrix[y % 4]); };
    });
}

namespace {

// An error-diffusion kernel: the weights for x + 1 and x + 2 in the current row, for x - 2
// .. x + 2 in the next row and in the row after, and their divisor.
struct Kernel {
    int right[2];
    int next[5];
    int after[5];
    int divisor;
};

constexpr Kernel kFloydSteinberg = {{7, 0}, {0, 3, 5, 1, 0}, {0, 0, 0, 0, 0}, 16};
constexpr Kernel kBurkes = {{8, 4}, {2, 4, 8, 4, 2}, {0, 0, 0, 0, 0}, 32};
constexpr Kernel kStucki = {{8, 4}, {2, 4, 8, 4, 2}, {1, 2, 4, 2, 1}, 42};

// The share of every error e in -255..255 (at e + 255) for each weight 0..8:
// (e x weight) \ divisor, truncating toward zero, so small negative errors give 0 just as
// small positive ones.
using ShareTables = std::array<std::array<std::int32_t, 511>, 9>;

ShareTables makeShareTables(int divisor) {
    ShareTables tables;
    for (int weight = 0; weight <= 8; ++weight)
        for (int e = -255; e <= 255; ++e)
            tables[std::size_t(weight)][std::size_t(e + 255)] = (e * weight) / divisor;
    return tables;
}

// The errors flow from each pixel to the next and into the rows below, so the rows run in
// order on one thread. The shares for the current row never go through memory: `carry1` and
// `carry2` hold what x + 1 and x + 2 have received from this row, which keeps the chain from pixel
// to pixel short. The next rows' shares are added to error rows with two spare cells on each side,
// where shares outside the picture land and are never read. At the usual scale of 10 the
// scaling is the identity and is skipped.
template <const Kernel& K, bool FullScale>
EffectResult diffuseError(const Frame& frame, std::int32_t scale) {
    const int w = frame.width;
    const int h = frame.height;
    const ShareTables shares = makeShareTables(K.divisor);
    constexpr int kPad = 2;
    std::vector<std::int32_t> rows[3];
    for (auto& r : rows) r.assign(std::size_t(w) + 2 * kPad, 0);
    std::vector<std::int32_t> gray(static_cast<std::size_t>(w));
    if (!frame.progress->report(2)) return cancelled();
    const std::int32_t mean = meanGray(frame);
    if (!frame.progress->report(10)) return cancelled();
    // An error sum a position collects stays in -255..255: the weights that reach one
    // position add up to at most the divisor, and each share is truncated toward zero.
    // (sum x 10) \ scale is tabled for those sums, clamped to -255..255, which changes no
    // result: gray + spread is clamped to 0..255 afterwards and gray lies in 0..255.
    std::array<std::int32_t, 511> scaled;
    for (int e = -255; e <= 255; ++e)
        scaled[std::size_t(e + 255)] = std::clamp((e * 10) / scale, -255, 255);
    auto spreadOf = [&](std::int32_t sum) {
        return FullScale ? sum : scaled[std::size_t(sum + 255)];
    };
    // Everything that follows from v = gray + spread, tabled for v in -255..510: the error
    // e of the clamped value against the mean (at e + 255) and the shares of e for x + 1
    // and x + 2. The chain from one pixel to the next is then two additions and a load.
    struct Outcome {
        std::int32_t right1;
        std::int32_t right2;
        std::int32_t error; // e + 255
        std::int32_t white;
    };
    std::array<Outcome, 766> outcomes;
    for (int v = -255; v <= 510; ++v) {
        const int o = clampChannel(v);
        const int white = o >= mean ? 1 : 0;
        const std::size_t e = std::size_t(o - 255 * white + 255);
        outcomes[std::size_t(v + 255)] = {shares[std::size_t(K.right[0])][e],
                                          shares[std::size_t(K.right[1])][e], std::int32_t(e),
                                          white};
    }
    int first = 0; // which of the three error rows is the current one
    RowPlan plan;
    plan.last = h;
    plan.base = 10;
    plan.span = 90;
    plan.readsCopy = false; // each pixel is read before it is written
    return forEachRow(frame, plan, [&](int y) {
        std::int32_t* cur = rows[first].data() + kPad;
        std::int32_t* next = rows[(first + 1) % 3].data() + kPad;
        std::int32_t* after = rows[(first + 2) % 3].data() + kPad;
        const int width = w; // locals: the stores below could otherwise alias them
        const std::int32_t* g = gray.data();
        const Outcome* outcome = outcomes.data();
        const auto* share = shares.data();
        std::uint8_t* d = frame.targetRow(y);
        const std::uint8_t* s = d;
        grayRow(s, gray.data(), width);
        std::int32_t carry1 = 0, carry2 = 0;
        for (int x = 0; x < width; ++x) {
            const Outcome& out = outcome[g[x] + spreadOf(cur[x] + carry1) + 255];
            carry1 = carry2 + out.right1;
            carry2 = out.right2;
            const std::ptrdiff_t i = std::ptrdiff_t(x) * 4;
            storePixel(d + i, blackOrWhite(std::uint32_t(out.white), loadPixel(s + i)));
            const std::size_t e = std::size_t(out.error);
            for (int dx = -2; dx <= 2; ++dx) {
                if (K.next[dx + 2] != 0) next[x + dx] += share[K.next[dx + 2]][e];
                if (K.after[dx + 2] != 0) after[x + dx] += share[K.after[dx + 2]][e];
            }
        }
        // The rows move up; the freed one becomes the last and starts at 0.
        std::fill(rows[first].begin(), rows[first].end(), 0);
        first = (first + 1) % 3;
    });
}

template <const Kernel& K> EffectResult diffuseError(const Frame& frame, std::int32_t scale) {
    return scale == 10 ? diffuseError<K, true>(frame, scale) : diffuseError<K, false>(frame, scale);
}

} // namespace

EffectResult floydSteinbergDither(const Frame& frame, std::int32_t scale) {
    return diffuseError<kFloydSteinberg>(frame, scale);
}

EffectResult burkesDither(const Frame& frame, std::int32_t scale) {
    return diffuseError<kBurkes>(frame, scale);
}

EffectResult stuckiDither(const Frame& frame, std::int32_t scale) {
    return diffuseError<kStucki>(frame, scale);
}

} // namespace vexa::effects
