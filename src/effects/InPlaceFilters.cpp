// Neighbourhood effects that read the target itself: Sharpen, Blur, Diffuse, Smooth and
// Edge Enhance. They work on the picture in the visiting order, so the row above and the
// pixel to the left already hold their new values when a pixel is computed; a row cannot
// start before the one above it is done, so these run on one thread.

#include "effects/Arithmetic.h"
#include "effects/ClampedDivision.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"
#include "effects/Random.h"
#include "effects/VectorClones.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace vexa::effects {

namespace {

using Byte = std::uint8_t;

// The in-place 3 x 3 filters over the interior (columns and rows 2..W-1, 2..H-1). For each
// row, everything a pixel reads except its left neighbour is final before the row starts:
// the row above is done, the pixel itself, its right neighbour and the row below are still
// the originals. `known(pairs, cur, i)` computes that part for byte i, many bytes at once
// in a loop the compiler vectorises (knownPart); `step(known, left)` then gives each new value from
// it and the new value on its left, in the visiting order, three channels side by side.
//
// That last chain is as long as the row and waits on itself at every pixel, so a few rows run
// side by side: each row works on a block of columns two blocks behind the row above it,
// where everything it reads from that row is final, and the chains of all of them fill the
// processor's time between the steps of one. Two rows' six chains keep their values in
// registers; four rows' twelve do not, and measured slower.
constexpr int kChainRows = 2;
constexpr int kChainBlock = 64; // pixels

// The rows above and below enter only as the sums of their three bytes around byte i, so
// each sum above plus below is taken once, down the two rows, and `known` gets them as
// `pairs`: pairs[j] is up + down at byte i - 4 + j.
template <typename Part, typename Known>
VEXA_VECTOR_CLONES void knownPart(const Byte* __restrict up, const Byte* __restrict cur,
                                  const Byte* __restrict down, Part* __restrict k,
                                  std::ptrdiff_t begin, std::ptrdiff_t end, Known known) {
    std::uint16_t pairs[4 * kChainBlock + 8];
    const std::ptrdiff_t n = end - begin;
    for (std::ptrdiff_t j = 0; j < n + 8; ++j)
        pairs[j] = std::uint16_t(up[begin - 4 + j] + down[begin - 4 + j]);
    for (std::ptrdiff_t j = 0; j < n; ++j) k[j] = known(pairs + j, cur, begin + j);
}

// One row's chain over bytes begin..end-1 of `cur`, from the known parts `k`; `left` holds
// the new values of the pixel before begin and then those of the last pixel.
template <typename Part, typename Step>
void chain(Byte* cur, const Part* k, std::ptrdiff_t begin, std::ptrdiff_t end,
           std::int32_t (&left)[3], Step step) {
    std::int32_t l0 = left[0], l1 = left[1], l2 = left[2];
    for (std::ptrdiff_t i = begin; i < end; i += 4) {
        const Part* ki = k + (i - begin);
        l0 = step(ki[0], l0);
        l1 = step(ki[1], l1);
        l2 = step(ki[2], l2);
        cur[i] = Byte(l0);
        cur[i + 1] = Byte(l1);
        cur[i + 2] = Byte(l2);
    }
    left[0] = l0;
    left[1] = l1;
    left[2] = l2;
}

// The chains of kChainRows rows over whole blocks at once: row r's block starts at byte
// begin[r] of cur[r], its known parts at k + r x 4 x kChainBlock.
template <typename Part, typename Step>
void chains(Byte* const (&cur)[kChainRows], const std::ptrdiff_t (&begin)[kChainRows],
            const Part* k, std::int32_t (&left)[kChainRows][3], Step step) {
    std::int32_t l[kChainRows][3];
    Byte* at[kChainRows];
    for (int r = 0; r < kChainRows; ++r) {
        for (int c = 0; c < 3; ++c) l[r][c] = left[r][c];
        at[r] = cur[r] + begin[r];
    }
    for (std::ptrdiff_t i = 0; i < 4 * kChainBlock; i += 4) {
        for (int r = 0; r < kChainRows; ++r) {
            const Part* ki = k + r * 4 * kChainBlock + i;
            l[r][0] = step(ki[0], l[r][0]);
            l[r][1] = step(ki[1], l[r][1]);
            l[r][2] = step(ki[2], l[r][2]);
            at[r][i] = Byte(l[r][0]);
            at[r][i + 1] = Byte(l[r][1]);
            at[r][i + 2] = Byte(l[r][2]);
        }
    }
    for (int r = 0; r < kChainRows; ++r)
        for (int c = 0; c < 3; ++c) left[r][c] = l[r][c];
}

// Rows first .. first + rows - 1 (rows up to kChainRows) of the picture, in place.
template <typename Part, typename Known, typename Step>
void filterRows(const Frame& frame, int first, int rows, Part* k, Known known, Step step) {
    const int w = frame.width;
    const std::ptrdiff_t end = std::ptrdiff_t(w - 1) * 4; // bytes of the interior: 4 .. end - 1
    const int blocks = (w - 2 + kChainBlock - 1) / kChainBlock;
    Byte* cur[kChainRows];
    std::int32_t left[kChainRows][3];
    for (int r = 0; r < kChainRows; ++r) {
        cur[r] = frame.targetRow(first + std::min(r, rows - 1));
        for (int c = 0; c < 3; ++c) left[r][c] = cur[r][c];
    }
    const auto blockBegin = [](int j) { return std::ptrdiff_t(1 + j * kChainBlock) * 4; };
    // The rows the pass saves (in a new picture: fills from the source) while the next group
    // runs, one below each of its rows, are fetched a little at each step, the picture's for
    // writing and the unchanged ones for reading, so that their wait for memory overlaps this
    // group's work instead of following it.
    const int steps = blocks + 2 * (rows - 1);
    const int nextFirst = first + rows;
    const int nextRows = std::clamp(frame.height - nextFirst - 1, 0, kChainRows);
    const std::ptrdiff_t rowBytes = std::ptrdiff_t(w) * 4;
    const std::ptrdiff_t perStep = ((rowBytes + steps - 1) / steps + 63) / 64 * 64;
    for (int s = 0; s < steps; ++s) {
        for (int r = 0; r < nextRows; ++r) {
            const Byte* next = frame.targetRow(nextFirst + 1 + r);
            const Byte* unchanged = frame.unchangedRow(nextFirst + 1 + r);
            for (std::ptrdiff_t at = s * perStep; at < std::min((s + 1) * perStep, rowBytes);
                 at += 64) {
                __builtin_prefetch(next + at, 1);
                __builtin_prefetch(unchanged + at);
            }
        }
        bool whole = rows == kChainRows;
        std::ptrdiff_t begin[kChainRows] = {};
        for (int r = 0; r < rows; ++r) {
            const int j = s - 2 * r;
            if (j < 0 || j >= blocks) {
                whole = false;
                continue;
            }
            begin[r] = blockBegin(j);
            const std::ptrdiff_t blockEnd = std::min(blockBegin(j + 1), end);
            whole = whole && blockEnd - begin[r] == 4 * kChainBlock;
            const int y = first + r;
            knownPart(frame.targetRow(y - 1), cur[r], frame.targetRow(y + 1),
                      k + r * 4 * kChainBlock, begin[r], blockEnd, known);
        }
        if (whole) {
            chains(cur, begin, k, left, step);
            continue;
        }
        for (int r = 0; r < rows; ++r) {
            const int j = s - 2 * r;
            if (j >= 0 && j < blocks)
                chain(cur[r], k + r * 4 * kChainBlock, begin[r], std::min(blockBegin(j + 1), end),
                      left[r], step);
        }
    }
}

// These filters read the picture itself, never the engine's copy of it: `below` counts the
// rows below a row they read with it, which must hold the picture as it was.
RowPlan inPlacePlan(int first, int last, int below) {
    RowPlan plan;
    plan.first = first;
    plan.last = last;
    plan.below = below;
    plan.readsCopy = false;
    return plan;
}

// `Part` holds the known part: 16 bits where it fits (the vector loop then handles twice the
// bytes at once), 32 where it does not.
template <typename Part, typename Known, typename Step>
EffectResult inPlace3x3(const Frame& frame, Known known, Step step) {
    std::vector<Part> part(std::size_t(kChainRows) * 4 * kChainBlock);
    const int last = frame.height - 1;
    // A group's first row does the group's work, reading the group's rows and the one below
    // them; the pass saves those before it.
    return forEachRow(frame, inPlacePlan(1, last, kChainRows), [&](int y) {
        if ((y - 1) % kChainRows != 0 || frame.width < 3) return;
        filterRows(frame, y, std::min(kChainRows, last - y), part.data(), known, step);
    });
}

// Blur's chain, new = (known + left) \ 8, four pixels at once. Nested floor divisions by
// positive numbers fold into one, floor((a + floor(b / 8)) / 8) = floor((8 a + b) / 64), so
//   n[x] = (512 K[x] + 64 K[x-1] + 8 K[x-2] + K[x-3] + n[x-4]) \ 4096
// exactly: each pixel depends on the one four to its left instead of the next, and a vector
// of consecutive pixels on the vector before last. The sum stays below 2^21.
VEXA_VECTOR_CLONES void blurRow(const Byte* __restrict up, Byte* __restrict cur,
                                const Byte* __restrict down, std::uint16_t* __restrict k,
                                std::uint16_t* __restrict s2, std::uint32_t* __restrict n,
                                const Byte* __restrict keep, int w) {
    const std::ptrdiff_t end = std::ptrdiff_t(w - 1) * 4;
    for (std::ptrdiff_t i = 4; i < end; ++i)
        k[i] = std::uint16_t(up[i - 4] + up[i] + up[i + 4] + cur[i + 4] + down[i - 4] + down[i] +
                             down[i + 4]);
    for (std::ptrdiff_t i = 8; i < end; ++i) s2[i] = std::uint16_t(8 * k[i] + k[i - 4]);
    for (std::ptrdiff_t i = 0; i < 4; ++i) n[i] = cur[i];
    const std::ptrdiff_t direct = std::min<std::ptrdiff_t>(16, end);
    for (std::ptrdiff_t i = 4; i < direct; ++i) n[i] = (k[i] + n[i - 4]) >> 3;
    for (std::ptrdiff_t i = 16; i < end; ++i) n[i] = (64u * s2[i] + s2[i - 8] + n[i - 16]) >> 12;
    for (std::ptrdiff_t i = 4; i < end; ++i)
        cur[i] = Byte((Byte(n[i]) & ~keep[i]) | (cur[i] & keep[i]));
}

// Smooth's chain, new = (known + left) \ 5 with the pixel and its four edge neighbours, folded
// four pixels deep as Blur's: floor((a + floor(b / 5)) / 5) = floor((5 a + b) / 25), so
//   n[x] = (125 K[x] + 25 K[x-1] + 5 K[x-2] + K[x-3] + n[x-4]) \ 625
// exactly. The sum stays below 2^18.
VEXA_VECTOR_CLONES void smoothRow(const Byte* __restrict up, Byte* __restrict cur,
                                  const Byte* __restrict down, std::uint16_t* __restrict k,
                                  std::uint16_t* __restrict s2, std::uint32_t* __restrict n,
                                  const Byte* __restrict keep, int w) {
    const std::ptrdiff_t end = std::ptrdiff_t(w - 1) * 4;
    for (std::ptrdiff_t i = 4; i < end; ++i)
        k[i] = std::uint16_t(cur[i] + cur[i + 4] + up[i] + down[i]);
    for (std::ptrdiff_t i = 8; i < end; ++i) s2[i] = std::uint16_t(5 * k[i] + k[i - 4]);
    for (std::ptrdiff_t i = 0; i < 4; ++i) n[i] = cur[i];
    const std::ptrdiff_t direct = std::min<std::ptrdiff_t>(16, end);
    for (std::ptrdiff_t i = 4; i < direct; ++i) n[i] = (k[i] + n[i - 4]) / 5;
    for (std::ptrdiff_t i = 16; i < end; ++i) n[i] = (25u * s2[i] + s2[i - 8] + n[i - 16]) / 625;
    for (std::ptrdiff_t i = 4; i < end; ++i)
        cur[i] = Byte((Byte(n[i]) & ~keep[i]) | (cur[i] & keep[i]));
}

// The neighbours of byte i other than the left one, at most 7 x 255, from the sums above
// plus below around it.
inline std::uint16_t sevenNeighbours(const std::uint16_t* pairs, const Byte* cur,
                                     std::ptrdiff_t i) {
    return std::uint16_t(pairs[0] + pairs[4] + pairs[8] + cur[i + 4]);
}

// Sharpen and Edge Enhance: v = (centre x c - Weight x N8) \ divisor, clamped. The caller
// has refused parameters for which any of these products leaves 32 bits.
//
// The numerator lies between `lowest` and `highest`; for every strength an editor would use
// that span is small, and a table of the clamped quotients by numerator keeps the serial
// chain of the row down to a subtraction and a load.
template <std::int32_t Weight>
EffectResult tabledSharpen(const Frame& frame, std::int32_t centre, std::int32_t divisor,
                           std::int32_t lowest, std::int32_t highest) {
    // quotient[highest - n] for lowest <= n <= highest. Counted down from `highest`, the
    // numerator's index is the pre-pass's part plus Weight x left, one address computation
    // in the chain.
    std::vector<Byte> quotient(std::size_t(highest - lowest) + 1);
    for (std::int32_t n = lowest; n <= highest; ++n)
        quotient[std::size_t(highest - n)] = Byte(clampChannel(n / divisor));
    const Byte* q = quotient.data();
    // highest - centre x v + Weight x N8 lies in 0 .. highest - lowest, below 65536, so 16-bit
    // arithmetic that wraps gives it exactly.
    const std::uint16_t c16 = std::uint16_t(centre);
    const std::uint16_t high16 = std::uint16_t(highest);
    return inPlace3x3<std::uint16_t>(
        frame,
        [=](const std::uint16_t* pairs, const Byte* cur, std::ptrdiff_t i) {
            return std::uint16_t(high16 - c16 * cur[i] + Weight * sevenNeighbours(pairs, cur, i));
        },
        [=](std::int32_t known, std::int32_t left) {
            return std::int32_t(q[std::uint32_t(known) + std::uint32_t(Weight * left)]);
        });
}

// The same for very large strengths. The quotient is positive only where the numerator has
// the divisor's sign, so the numerator is turned to that sign and divided as an unsigned
// number, by multiplication.
template <std::int32_t Weight, bool NegativeDivisor>
EffectResult dividedSharpen(const Frame& frame, std::int32_t centre, std::int32_t divisor) {
    const ClampedDivision divide(NegativeDivisor ? 0u - std::uint32_t(divisor)
                                                 : std::uint32_t(divisor));
    return inPlace3x3<std::int32_t>(
        frame,
        [=](const std::uint16_t* pairs, const Byte* cur, std::ptrdiff_t i) {
            return centre * cur[i] - Weight * sevenNeighbours(pairs, cur, i);
        },
        [=](std::int32_t known, std::int32_t left) {
            const std::int64_t n = std::int64_t(known) - Weight * left;
            const std::int64_t signedN = NegativeDivisor ? -n : n;
            return std::int32_t(divide(signedN > 0 ? std::uint64_t(signedN) : 0));
        });
}

template <std::int32_t Weight>
EffectResult weightedSharpen(const Frame& frame, std::int32_t centre, std::int32_t divisor) {
    const std::int64_t lowest =
        std::min<std::int64_t>(0, std::int64_t(centre) * 255) - Weight * 2040;
    const std::int64_t highest = std::max<std::int64_t>(0, std::int64_t(centre) * 255);
    if (highest - lowest < (1 << 16))
        return tabledSharpen<Weight>(frame, centre, divisor, std::int32_t(lowest),
                                     std::int32_t(highest));
    return divisor < 0 ? dividedSharpen<Weight, true>(frame, centre, divisor)
                       : dividedSharpen<Weight, false>(frame, centre, divisor);
}

} // namespace

EffectResult sharpen(const Frame& frame, std::int32_t strength) {
    return weightedSharpen<2>(frame, strength + 24, strength + 8);
}

EffectResult edgeEnhance(const Frame& frame, std::int32_t strength) {
    return weightedSharpen<1>(frame, strength + 9, strength + 1);
}

namespace {

// Blur and Smooth: row by row in place, each row's chain folded four pixels deep in the
// scratch rows `rowWork` gets, with the alpha bytes it keeps.
using ChainRow = void (*)(const Byte*, Byte*, const Byte*, std::uint16_t*, std::uint16_t*,
                          std::uint32_t*, const Byte*, int);

EffectResult foldedChain(const Frame& frame, ChainRow rowWork) {
    const int w = frame.width;
    const std::size_t bytes = std::size_t(w) * 4;
    std::vector<std::uint16_t> k(bytes), s2(bytes);
    std::vector<std::uint32_t> n(bytes);
    std::vector<Byte> keep(bytes, 0);
    for (std::size_t i = 3; i < bytes; i += 4) keep[i] = 0xFF;
    return forEachRow(frame, inPlacePlan(1, frame.height - 1, 1), [&](int y) {
        if (w >= 3)
            rowWork(frame.targetRow(y - 1), frame.targetRow(y), frame.targetRow(y + 1), k.data(),
                    s2.data(), n.data(), keep.data(), w);
    });
}

} // namespace

EffectResult blur(const Frame& frame, std::int32_t) {
    return foldedChain(frame, blurRow);
}

EffectResult smooth(const Frame& frame, std::int32_t) {
    return foldedChain(frame, smoothRow);
}

EffectResult diffuse(const Frame& frame, std::int32_t spread) {
    const double p = double(spread);
    const double half = roundHalfEven(p / 2.0);
    const int w = frame.width;
    const int h = frame.height;
    std::vector<float> random(std::size_t(w) * 2);
    Lcg24& generator = *frame.random;
    // A pixel comes from at most |p| / 2 + 1 rows below (one more for the rounding).
    const int below = int(std::min<std::int64_t>(h, std::abs(std::int64_t(spread)) / 2 + 2));
    return forEachRow(frame, inPlacePlan(0, h, below), [&](int y) {
        // Two numbers per pixel, first for x, then for y.
        generator.fill(random.data(), random.size());
        std::uint8_t* cur = frame.targetRow(y);
        for (int x = 0; x < w; ++x) {
            // |p x r - round(p / 2)| stays below 2^31 for every 32-bit p.
            std::int64_t dx = roundToInt32(p * double(random[2 * std::size_t(x)]) - half);
            std::int64_t dy = roundToInt32(p * double(random[2 * std::size_t(x) + 1]) - half);
            if (x + dx < 0 || x + dx >= w) dx = 0;
            if (y + dy < 0 || y + dy >= h) dy = 0;
            const std::uint8_t* from = frame.targetRow(int(y + dy)) + (x + dx) * 4;
            std::uint8_t* to = cur + std::ptrdiff_t(x) * 4;
            storePixel(to, (loadPixel(from) & kColourMask) | (loadPixel(to) & kReservedMask));
        }
    });
}

} // namespace vexa::effects
