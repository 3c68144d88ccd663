// Neighbourhood effects that read only the picture as it was: Contour, Emboss, Relief
// Left, Engrave, Relief Right, Relief, Dilate, Erode and Edge Detect. Each covers a range
// of columns and rows; the pixels outside it keep their values.
//
// The kernels run over the bytes of a row, all four channels alike, in plain loops the
// compiler turns into vector code; the fourth byte of each pixel is then put back from the
// source, so it never changes.

#include "effects/Arithmetic.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace vexa::effects {

namespace {

using Byte = std::uint8_t;

// The rows around a pixel: up and down may be null where the range does not need them.
struct Rows {
    const Byte* __restrict up;
    const Byte* __restrict cur;
    const Byte* __restrict down;
};

// Runs `kernel(rows, out, begin, end)` on the bytes of columns left..right-1 of rows
// top..bottom-1 (0-based); `kernel` writes out[begin..end). Channel 4 is restored here.
template <typename Kernel>
EffectResult overSource(const Frame& frame, int left, int right, int top, int bottom,
                        Kernel&& kernel) {
    const int h = frame.height;
    top = std::clamp(top, 0, h);
    bottom = std::clamp(bottom, top, h);
    for (int y = 0; y < h; ++y)
        if (y < top || y >= bottom) copyRow(frame, y);
    return forEachRow(frame, top, bottom, [&](int y) {
        copyOutsideRange(frame, y, left, right, top, bottom);
        if (right <= left) return;
        const Rows rows{y > 0 ? frame.sourceRow(y - 1) : nullptr, frame.sourceRow(y),
                        y + 1 < h ? frame.sourceRow(y + 1) : nullptr};
        Byte* out = frame.targetRow(y);
        kernel(rows, out, std::ptrdiff_t(left) * 4, std::ptrdiff_t(right) * 4);
        for (std::ptrdiff_t i = std::ptrdiff_t(left) * 4 + 3; i < std::ptrdiff_t(right) * 4; i += 4)
            out[i] = rows.cur[i];
    });
}

// The interior: columns and rows 2..W-1, 2..H-1 in the formulas' counting.
template <typename Kernel> EffectResult overInterior(const Frame& frame, Kernel&& kernel) {
    return overSource(frame, 1, frame.width - 1, 1, frame.height - 1, kernel);
}

// The colour components repeated along a row in channel order (blue, green, red, and 0
// for the fourth byte), so a byte loop can add the component of its own channel.
std::vector<std::int16_t> colourPattern(const Frame& frame, std::int32_t packed) {
    const Colour c = splitColour(packed);
    const std::int16_t perChannel[4] = {std::int16_t(c.blue), std::int16_t(c.green),
                                        std::int16_t(c.red), 0};
    std::vector<std::int16_t> pattern(std::size_t(frame.width) * 4);
    for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = perChannel[i % 4];
    return pattern;
}

// Every kernel's value fits in 16 bits; computing in 16 bits lets the vector code hold
// twice as many channels per register as it would with int.
using Short = std::int16_t;

inline Byte clampToByte(Short v) {
    return Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline Short neighbourSum(const Rows& r, std::ptrdiff_t i) {
    return Short(r.up[i - 4] + r.up[i] + r.up[i + 4] + r.cur[i - 4] + r.cur[i + 4] + r.down[i - 4] +
                 r.down[i] + r.down[i + 4]);
}

// The left column of the 3 x 3 neighbourhood minus its right column.
inline Short leftMinusRight(const Rows& r, std::ptrdiff_t i) {
    return Short(r.up[i - 4] + r.cur[i - 4] + r.down[i - 4] - r.up[i + 4] - r.cur[i + 4] -
                 r.down[i + 4]);
}

inline Byte max3(Byte a, Byte b, Byte c) {
    return std::max(std::max(a, b), c);
}
inline Byte min3(Byte a, Byte b, Byte c) {
    return std::min(std::min(a, b), c);
}

inline Byte largestOfNine(const Rows& r, std::ptrdiff_t i) {
    return max3(max3(r.up[i - 4], r.up[i], r.up[i + 4]), max3(r.cur[i - 4], r.cur[i], r.cur[i + 4]),
                max3(r.down[i - 4], r.down[i], r.down[i + 4]));
}

inline Byte smallestOfNine(const Rows& r, std::ptrdiff_t i) {
    return min3(min3(r.up[i - 4], r.up[i], r.up[i + 4]), min3(r.cur[i - 4], r.cur[i], r.cur[i + 4]),
                min3(r.down[i - 4], r.down[i], r.down[i + 4]));
}

} // namespace

EffectResult contour(const Frame& frame, std::int32_t colour) {
    const std::vector<std::int16_t> c = colourPattern(frame, colour);
    return overInterior(
        frame, [&](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i)
                out[i] = clampToByte(Short(8 * r.cur[i] - neighbourSum(r, i) + c[std::size_t(i)]));
        });
}

// Emboss and Engrave: |P(x, y) - P(x + 1, y + 1) + C| and the reverse difference, over
// columns and rows 1..W-1, 1..H-1. Both read the target, but only pixels not yet written,
// so reading the source gives the same.
template <bool Reversed> EffectResult diagonalDifference(const Frame& frame, std::int32_t colour) {
    const std::vector<std::int16_t> c = colourPattern(frame, colour);
    return overSource(
        frame, 0, frame.width - 1, 0, frame.height - 1,
        [&](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i) {
                const int difference =
                    Reversed ? r.down[i + 4] - r.cur[i] : r.cur[i] - r.down[i + 4];
                out[i] = clampToByte(Short(std::abs(difference + c[std::size_t(i)])));
            }
        });
}

EffectResult emboss(const Frame& frame, std::int32_t colour) {
    return diagonalDifference<false>(frame, colour);
}

EffectResult engrave(const Frame& frame, std::int32_t colour) {
    return diagonalDifference<true>(frame, colour);
}

EffectResult reliefLeft(const Frame& frame, std::int32_t colour) {
    const std::vector<std::int16_t> c = colourPattern(frame, colour);
    return overInterior(
        frame, [&](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i)
                out[i] = clampToByte(Short(leftMinusRight(r, i) + c[std::size_t(i)]));
        });
}

EffectResult reliefRight(const Frame& frame, std::int32_t colour) {
    const std::vector<std::int16_t> c = colourPattern(frame, colour);
    return overInterior(
        frame, [&](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i)
                out[i] = clampToByte(Short(c[std::size_t(i)] - leftMinusRight(r, i)));
        });
}

EffectResult relief(const Frame& frame, std::int32_t) {
    return overInterior(
        frame, [](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i) {
                const Short slope = Short(2 * r.up[i - 4] + r.cur[i - 4] + r.up[i] - r.down[i] -
                                          r.cur[i + 4] - 2 * r.down[i + 4] + r.cur[i]);
                // Truncating toward zero before the 50 is added.
                out[i] = clampToByte(Short(slope / 2 + 50));
            }
        });
}

EffectResult dilate(const Frame& frame, std::int32_t) {
    return overInterior(
        frame, [](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i) out[i] = largestOfNine(r, i);
        });
}

EffectResult erode(const Frame& frame, std::int32_t) {
    return overInterior(
        frame, [](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i) out[i] = smallestOfNine(r, i);
        });
}

EffectResult edgeDetect(const Frame& frame, std::int32_t) {
    return overInterior(
        frame, [](const Rows& r, Byte* __restrict out, std::ptrdiff_t begin, std::ptrdiff_t end) {
            for (std::ptrdiff_t i = begin; i < end; ++i)
                out[i] = Byte(r.cur[i] - smallestOfNine(r, i));
        });
}

} // namespace vexa::effects
