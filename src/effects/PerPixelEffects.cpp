// Effects whose output pixel depends on the same input pixel alone: Negative, Gray Scale,
// Swap Channels, Black & White, Add Noise and Saturation.

#include "effects/Arithmetic.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"
#include "effects/Random.h"
#include "effects/SaturationRow.h"
#include "effects/VectorClones.h"

#include <cmath>
#include <vector>

namespace vexa::effects {

EffectResult negative(const Frame& frame, std::int32_t) {
    // Its own inverse: a call that does not complete turns its rows back, nothing is saved.
    return mapEachPixel(
        frame, [](std::uint32_t p) { return p ^ kColourMask; }, true);
}

EffectResult grayScale(const Frame& frame, std::int32_t) {
    return mapEachPixel(
        frame, [](std::uint32_t p) { return grayOf(p) * 0x010101u | (p & kReservedMask); });
}

namespace {

// Blue, green and red of the result taken from the source word's bits at these shifts.
template <int FromB, int FromG, int FromR> EffectResult swapped(const Frame& frame) {
    return mapEachPixel(frame, [](std::uint32_t p) {
        return makePixel((p >> FromB) & 255, (p >> FromG) & 255, (p >> FromR) & 255, p);
    });
}

} // namespace

EffectResult swapChannels(const Frame& frame, std::int32_t permutation) {
    switch (permutation) {
    case 1:
        return swapped<8, 16, 0>(frame);
    case 2:
        return swapped<16, 0, 8>(frame);
    case 3:
        return swapped<8, 0, 16>(frame);
    case 4:
        return swapped<16, 8, 0>(frame);
    case 5:
        return swapped<0, 16, 8>(frame);
    default: // any other permutation number writes nothing
        return forEachRow(frame, 0, frame.height, [](int) {});
    }
}

EffectResult blackAndWhite(const Frame& frame, std::int32_t threshold) {
    const Colour c = splitColour(threshold);
    return mapEachPixel(frame, [c](std::uint32_t p) {
        // & rather than &&: the three comparisons become one vector select.
        const bool black = (std::int32_t((p >> 16) & 255) < c.red) &
                           (std::int32_t((p >> 8) & 255) < c.green) &
                           (std::int32_t(p & 255) < c.blue);
        return (black ? 0u : kColourMask) | (p & kReservedMask);
    });
}

namespace {

// Add Noise for amplitudes below 2^14, in integers. With the state k of a number
// r = k / 2^24, r x (2p + 1) - p + S is exactly n / 2^24 + S - p with n = k (2p + 1), and the
// double arithmetic of the formula computes it without rounding. Rounding it half to even
// is then: floor(n / 2^24) - p + S, plus 1 where the remainder of n is above 2^23, and at
// exactly 2^23 plus 1 only where that floor is odd. Every term fits 16 bits, which lets the
// last loop run in wide vectors; the fourth byte of a pixel gets an offset of 0.
// The rows of the picture in order, each read before it is written, never from the copy.
RowPlan inPlacePlan(int height) {
    RowPlan plan;
    plan.last = height;
    plan.readsCopy = false;
    return plan;
}

// Splits the row's numbers n = k (2p + 1) into the three parts above, for every byte. For
// p >= 0, n has up to 39 bits; with k = 2^12 kh + kl, n = 2^12 a + b for a = kh (2p + 1) and
// b = kl (2p + 1), both below 2^27, so 32-bit lanes hold every step: floor(n / 2^24) is
// floor((a + floor(b / 2^12)) / 2^12), and n mod 2^24 the low 24 bits of 2^12 a + b.
VEXA_VECTOR_CLONES void noiseParts(const std::uint32_t* __restrict states, std::int32_t amplitude,
                                   std::int16_t* __restrict base, std::int16_t* __restrict above,
                                   std::int16_t* __restrict half, std::size_t pixels) {
    const std::int64_t width = 2 * std::int64_t(amplitude) + 1;
    if (amplitude < 0) {
        for (std::size_t x = 0; x < pixels; ++x)
            for (std::size_t k = 0; k < 3; ++k) {
                const std::int64_t n = std::int64_t(states[3 * x + k]) * width;
                const std::int64_t remainder = n & 0xFFFFFF;
                base[4 * x + k] = std::int16_t((n >> 24) - amplitude);
                above[4 * x + k] = remainder > 0x800000;
                half[4 * x + k] = remainder == 0x800000;
            }
        return;
    }
    const std::uint32_t w = std::uint32_t(width);
    for (std::size_t x = 0; x < pixels; ++x)
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t state = states[3 * x + k];
            const std::uint32_t a = (state >> 12) * w;
            const std::uint32_t b = (state & 0xFFF) * w;
            const std::uint32_t remainder = ((a << 12) + b) & 0xFFFFFF;
            base[4 * x + k] = std::int16_t(std::int32_t((a + (b >> 12)) >> 12) - amplitude);
            above[4 * x + k] = remainder > 0x800000;
            half[4 * x + k] = remainder == 0x800000;
        }
}

// In place: each byte is read before it is written.
VEXA_VECTOR_CLONES void addNoiseRow(std::uint8_t* __restrict d, const std::int16_t* __restrict b,
                                    const std::int16_t* __restrict a,
                                    const std::int16_t* __restrict h, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
        const std::int16_t floor = std::int16_t(b[i] + d[i]);
        d[i] = std::uint8_t(clampChannel(std::int16_t(floor + (a[i] | (h[i] & floor & 1)))));
    }
}

EffectResult addNoiseInIntegers(const Frame& frame, std::int32_t amplitude) {
    const std::size_t w = std::size_t(frame.width);
    std::vector<std::uint32_t> states(w * 3);
    std::vector<std::int16_t> base(w * 4, 0);  // floor(n / 2^24) - p
    std::vector<std::int16_t> above(w * 4, 0); // remainder above one half
    std::vector<std::int16_t> half(w * 4, 0);  // remainder exactly one half
    Lcg24& generator = *frame.random;
    return forEachRow(frame, inPlacePlan(frame.height), [&](int y) {
        // Three numbers per pixel, blue, green, red, pixels left to right.
        generator.fillStates(states.data(), states.size());
        noiseParts(states.data(), amplitude, base.data(), above.data(), half.data(), w);
        addNoiseRow(frame.targetRow(y), base.data(), above.data(), half.data(), 4 * w);
    });
}

// Any amplitude, in the formula's own double arithmetic. Both run on one thread: each row
// draws its numbers after those of the rows above it.
EffectResult addNoiseInDoubles(const Frame& frame, std::int32_t amplitude) {
    const double width = double(2 * amplitude + 1);
    const double shift = double(amplitude);
    const int w = frame.width;
    std::vector<float> random(std::size_t(w) * 3);
    Lcg24& generator = *frame.random;
    return forEachRow(frame, inPlacePlan(frame.height), [&](int y) {
        generator.fill(random.data(), random.size());
        std::uint8_t* d = frame.targetRow(y); // each pixel read before it is written
        const std::uint8_t* s = d;
        for (int x = 0; x < w; ++x) {
            const float* r = &random[std::size_t(x) * 3];
            const std::uint8_t* p = s + 4 * x;
            std::uint8_t* q = d + 4 * x;
            for (int k = 0; k < 3; ++k)
                q[k] = std::uint8_t(
                    clampChannel(roundToInt32(double(r[k]) * width - shift + double(p[k]))));
            q[3] = p[3];
        }
    });
}

} // namespace

EffectResult addNoise(const Frame& frame, std::int32_t amplitude) {
    // The caller has refused amplitudes for which 2p + 1 leaves 32 bits.
    if (amplitude > -(1 << 14) && amplitude < (1 << 14))
        return addNoiseInIntegers(frame, amplitude);
    return addNoiseInDoubles(frame, amplitude);
}

namespace {

// Saturation's factor where no channel can round beyond 32 bits: the arithmetic itself, in
// vector registers.
bool saturateRow(const std::uint8_t* from, std::uint8_t* to, int w,
                 const SaturationArithmetic& arithmetic) {
    arithmetic.apply(from, to, w);
    return true;
}

// With larger factors the result, which depends only on the channel and the pixel's gray, is
// tabled once for all 256 x 256 pairs, 256 marking a value that rounds beyond 32 bits.
// False when a pixel of the `w` pixels at `s` rounds beyond 32 bits.
bool saturateRow(const std::uint8_t* __restrict s, std::uint8_t* __restrict d, int w,
                 const std::vector<std::uint16_t>& table) {
    std::uint32_t seen = 0;
    const std::uint16_t* t = table.data();
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(s + 4 * x);
        const std::uint32_t b = p & 255, g = (p >> 8) & 255, r = (p >> 16) & 255;
        const std::uint16_t* row = t + std::size_t((b + g + r) / 3) * 256;
        const std::uint32_t nb = row[b], ng = row[g], nr = row[r];
        seen |= nb | ng | nr;
        storePixel(d + 4 * x, makePixel(nb & 255, ng & 255, nr & 255, p));
    }
    return seen < 256;
}

std::vector<std::uint16_t> saturationTable(double f) {
    std::vector<std::uint16_t> table(256 * 256);
    for (int gray = 0; gray < 256; ++gray)
        for (int v = 0; v < 256; ++v) {
            const double x = f * double(v - gray) + double(v);
            table[std::size_t(gray * 256 + v)] =
                roundsIntoInt32(x) ? std::uint16_t(clampChannel(roundToInt32(x))) : 256;
        }
    return table;
}

} // namespace

EffectResult saturation(const Frame& frame, std::int32_t percent) {
    const double f = double(float(double(percent) / 100.0));
    // |S - gray| is at most 170 (a pure primary against its gray); below this factor no pixel
    // can round beyond 32 bits.
    EffectResult result;
    RowPlan plan;
    plan.last = frame.height;
    // The whole row is saved and written before a refusal.
    auto overRows = [&](const auto& table) {
        return forEachRowSavingInBands(frame, plan, [&] {
            return [&](int y, const RowCopy& copy) {
                bool fits = true;
                saveAndWork(frame.targetRow(y), copy, frame.width,
                            [&](const std::uint8_t* from, std::uint8_t* to, int pixels) {
                                fits = saturateRow(from, to, pixels, table) && fits;
                            });
                return fits;
            };
        });
    };
    if (std::fabs(f) * 170.0 + 255.0 < 2147483647.0)
        result = overRows(SaturationArithmetic(f));
    else
        result = overRows(saturationTable(f));
    if (result.status == EffectStatus::Refused)
        result.reason =
            "Saturation " + std::to_string(percent) + " pushes a channel beyond the 32-bit range";
    return result;
}

} // namespace vexa::effects
