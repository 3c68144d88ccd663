// Neighbourhood effects that read the target itself: Sharpen, Blur, Diffuse, Smooth and
// Edge Enhance. They start from a copy of the picture and work in the visiting order, so
// the row above and the pixel to the left already hold their new values when a pixel is
// computed.

#include "Arithmetic.h"
#include "EffectKernels.h"
#include "PixelAccess.h"
#include "Random.h"

#include <vector>

namespace vexa::effects {

namespace {

// The sum of the eight neighbours of byte `i` of row `cur` (same channel).
inline int neighbourSum(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* down,
                        std::ptrdiff_t i) {
    return up[i - 4] + up[i] + up[i + 4] + cur[i - 4] + cur[i + 4] + down[i - 4] + down[i] +
           down[i + 4];
}

// Runs `pixel(up, cur, down, i)` for the interior pixels (columns and rows 2..W-1, 2..H-1)
// in the visiting order; `pixel` writes the pixel at byte offset i of `cur`.
template <typename Pixel> EffectResult interiorInPlace(const Frame& frame, Pixel&& pixel) {
    const int w = frame.width;
    return forEachRow(frame, 1, frame.height - 1, [&](int y) {
        const std::uint8_t* up = frame.targetRow(y - 1);
        std::uint8_t* cur = frame.targetRow(y);
        const std::uint8_t* down = frame.targetRow(y + 1);
        for (int x = 1; x < w - 1; ++x) pixel(up, cur, down, std::ptrdiff_t(x) * 4);
    });
}

// Sharpen and Edge Enhance: v = (centre x c - weight x N8) \ divisor, clamped. All three
// channels are computed before any is written.
EffectResult weightedSharpen(const Frame& frame, std::int32_t centre, std::int32_t weight,
                             std::int32_t divisor) {
    return interiorInPlace(frame, [&](const std::uint8_t* up, std::uint8_t* cur,
                                      const std::uint8_t* down, std::ptrdiff_t i) {
        std::int32_t v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = clampChannel(
                (centre * cur[i + k] - weight * neighbourSum(up, cur, down, i + k)) / divisor);
        for (int k = 0; k < 3; ++k) cur[i + k] = std::uint8_t(v[k]);
    });
}

} // namespace

EffectResult sharpen(const Frame& frame, std::int32_t strength) {
    // The caller refuses -8 and strengths whose products leave 32 bits.
    return weightedSharpen(frame, strength + 24, 2, strength + 8);
}

EffectResult edgeEnhance(const Frame& frame, std::int32_t strength) {
    // The caller refuses -1 and strengths whose products leave 32 bits.
    return weightedSharpen(frame, strength + 9, 1, strength + 1);
}

EffectResult blur(const Frame& frame, std::int32_t) {
    return interiorInPlace(frame, [](const std::uint8_t* up, std::uint8_t* cur,
                                     const std::uint8_t* down, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k)
            cur[i + k] = std::uint8_t(neighbourSum(up, cur, down, i + k) / 8);
    });
}

EffectResult smooth(const Frame& frame, std::int32_t) {
    return interiorInPlace(frame, [](const std::uint8_t* up, std::uint8_t* cur,
                                     const std::uint8_t* down, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k) {
            const std::ptrdiff_t j = i + k;
            cur[j] = std::uint8_t((cur[j] + cur[j - 4] + cur[j + 4] + up[j] + down[j]) / 5);
        }
    });
}

EffectResult diffuse(const Frame& frame, std::int32_t spread) {
    const double p = double(spread);
    const double half = roundHalfEven(p / 2.0);
    const int w = frame.width;
    const int h = frame.height;
    std::vector<float> random(std::size_t(w) * 2);
    Lcg24& generator = engineRandom();
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
