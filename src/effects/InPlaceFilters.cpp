// Neighbourhood effects that read the target itself: Sharpen, Blur, Diffuse, Smooth and
// Edge Enhance. They start from a copy of the picture and work in the visiting order, so
// the row above and the pixel to the left already hold their new values when a pixel is
// computed.

#include "effects/Arithmetic.h"
#include "effects/ClampedDivision.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"
#include "effects/Random.h"

#include <vector>

namespace vexa::effects {

namespace {

using Byte = std::uint8_t;

// The in-place 3 x 3 filters over the interior (columns and rows 2..W-1, 2..H-1). For each
// row, everything a pixel reads except its left neighbour is final before the row starts:
// the row above is done, the pixel itself, its right neighbour and the row below are still
// the originals. `known(up, cur, down, i)` computes that part for byte i, all bytes at once
// in a loop the compiler vectorises; `step(known, left)` then gives each new value from it
// and the new value on its left, in the visiting order, three channels side by side.
template <typename Known, typename Step>
EffectResult inPlace3x3(const Frame& frame, Known&& known, Step&& step) {
    const int w = frame.width;
    std::vector<std::int32_t> part(std::size_t(w) * 4);
    return forEachRow(frame, 1, frame.height - 1, [&](int y) {
        if (w < 3) return;
        const Byte* __restrict up = frame.targetRow(y - 1);
        Byte* cur = frame.targetRow(y);
        const Byte* __restrict down = frame.targetRow(y + 1);
        std::int32_t* __restrict k = part.data();
        for (std::ptrdiff_t i = 4; i < std::ptrdiff_t(w - 1) * 4; ++i)
            k[i] = known(up, cur, down, i);
        std::int32_t left0 = cur[0], left1 = cur[1], left2 = cur[2];
        for (std::ptrdiff_t i = 4; i < std::ptrdiff_t(w - 1) * 4; i += 4) {
            left0 = step(k[i], left0);
            left1 = step(k[i + 1], left1);
            left2 = step(k[i + 2], left2);
            cur[i] = Byte(left0);
            cur[i + 1] = Byte(left1);
            cur[i + 2] = Byte(left2);
        }
    });
}

// The neighbours of byte i other than the left one.
inline std::int32_t sevenNeighbours(const Byte* up, const Byte* cur, const Byte* down,
                                    std::ptrdiff_t i) {
    return std::int16_t(up[i - 4] + up[i] + up[i + 4] + cur[i + 4] + down[i - 4] + down[i] +
                        down[i + 4]);
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
    // quotient[n - lowest] for lowest <= n <= highest; the pre-pass subtracts `lowest`.
    std::vector<Byte> quotient(std::size_t(highest - lowest) + 1);
    for (std::int32_t n = lowest; n <= highest; ++n)
        quotient[std::size_t(n - lowest)] = Byte(clampChannel(n / divisor));
    const Byte* q = quotient.data();
    return inPlace3x3(
        frame,
        [=](const Byte* up, const Byte* cur, const Byte* down, std::ptrdiff_t i) {
            return centre * cur[i] - Weight * sevenNeighbours(up, cur, down, i) - lowest;
        },
        [=](std::int32_t known, std::int32_t left) {
            return std::int32_t(q[known - Weight * left]);
        });
}

// The same for very large strengths. The quotient is positive only where the numerator has
// the divisor's sign, so the numerator is turned to that sign and divided as an unsigned
// number, by multiplication.
template <std::int32_t Weight, bool NegativeDivisor>
EffectResult dividedSharpen(const Frame& frame, std::int32_t centre, std::int32_t divisor) {
    const ClampedDivision divide(NegativeDivisor ? 0u - std::uint32_t(divisor)
                                                 : std::uint32_t(divisor));
    return inPlace3x3(
        frame,
        [=](const Byte* up, const Byte* cur, const Byte* down, std::ptrdiff_t i) {
            return centre * cur[i] - Weight * sevenNeighbours(up, cur, down, i);
        },
        [&](std::int32_t known, std::int32_t left) {
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

EffectResult blur(const Frame& frame, std::int32_t) {
    return inPlace3x3(
        frame,
        [](const Byte* up, const Byte* cur, const Byte* down, std::ptrdiff_t i) {
            return sevenNeighbours(up, cur, down, i);
        },
        [](std::int32_t known, std::int32_t left) { return (known + left) / 8; });
}

EffectResult smooth(const Frame& frame, std::int32_t) {
    // The pixel and its four edge neighbours, not the diagonals.
    return inPlace3x3(
        frame,
        [](const Byte* up, const Byte* cur, const Byte* down, std::ptrdiff_t i) {
            return std::int32_t(std::int16_t(cur[i] + cur[i + 4] + up[i] + down[i]));
        },
        [](std::int32_t known, std::int32_t left) { return (known + left) / 5; });
}

EffectResult diffuse(const Frame& frame, std::int32_t spread) {
    const double p = double(spread);
    const double half = roundHalfEven(p / 2.0);
    const int w = frame.width;
    const int h = frame.height;
    std::vector<float> random(std::size_t(w) * 2);
    Lcg24& generator = *frame.random;
    return forEachRow(frame, 0, h, [&](int y) {
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
