// Neighbourhood effects that read only the picture as it was: Contour, Emboss, Relief
// Left, Engrave, Relief Right, Relief, Dilate, Erode and Edge Detect. Each covers a range
// of columns and rows; the pixels outside it keep their values.
//
// The kernels run over the bytes of a row, all four channels alike, in plain loops the
// compiler turns into vector code (Emboss, Engrave, Dilate, Erode and Edge Detect in
// explicit vectors); the fourth byte of each pixel is taken from the source in the same
// loop, so it never changes.

#include "effects/Arithmetic.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"
#include "effects/VectorClones.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa::effects {

namespace {

using Byte = std::uint8_t;
// Every kernel's value fits in 16 bits; computing in 16 bits lets the vector code hold
// twice as many channels per register as it would with int.
using Short = std::int16_t;

// A row kernel writes bytes begin..end-1 of the output row `out` from the source rows `up`,
// `cur` and `down` (up and down may be null where it does not read them), with, per byte of
// the row, the colour component of its channel and a mask that keeps channel 4 (0xFF there,
// 0 elsewhere). The pointers are restrict, so the compiler knows the output overlaps none of
// the rows it reads and vectorises each loop.
#define VEXA_ROW_KERNEL(name)                                                                      \
    void name([[maybe_unused]] const Byte* __restrict up, const Byte* __restrict cur,              \
              [[maybe_unused]] const Byte* __restrict down, Byte* __restrict out,                  \
              [[maybe_unused]] const Short* __restrict colour, const Byte* __restrict keep,        \
              std::ptrdiff_t begin, std::ptrdiff_t end)
using RowKernel = void (*)(const Byte*, const Byte*, const Byte*, Byte*, const Short*, const Byte*,
                           std::ptrdiff_t, std::ptrdiff_t);

// The colour components repeated along a row in channel order (blue, green, red, and 0
// for the fourth byte), so a byte loop can add the component of its own channel.
std::vector<Short> colourPattern(int width, std::int32_t packed) {
    const Colour c = splitColour(packed);
    const Short perChannel[4] = {Short(c.blue), Short(c.green), Short(c.red), 0};
    std::vector<Short> pattern(std::size_t(width) * 4);
    for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = perChannel[i % 4];
    return pattern;
}

// Runs `kernel` on the bytes of columns left..right-1 of rows top..bottom-1 (0-based), on
// bands of rows. Pixels outside that range keep their values, and so does channel 4. The
// kernel reads `above` rows above and `below` rows below its own.
EffectResult overSource(const Frame& frame, int left, int right, int top, int bottom, int above,
                        int below, RowKernel kernel, std::int32_t colour = 0,
                        bool streams = false) {
    const int w = frame.width;
    const int h = frame.height;
    RowPlan plan;
    plan.first = std::clamp(top, 0, h);
    plan.last = std::clamp(bottom, plan.first, h);
    plan.above = above;
    plan.below = below;
    left = std::max(left, 0);
    right = std::min(right, w);
    // The kernels write every byte from left to right, the fourth ones from the source.
    plan.writesFrom = std::ptrdiff_t(left) * 4;
    plan.writesTo = std::ptrdiff_t(std::max(left, right)) * 4;
    plan.streams = streams;
    const std::vector<Short> colours = colourPattern(w, colour);
    std::vector<Byte> keep(std::size_t(w) * 4, 0);
    for (std::size_t i = 3; i < keep.size(); i += 4) keep[i] = 0xFF;
    // Through the band: the rows below come straight from the picture and the copy is
    // written past the cache, rather than copied in and read back.
    return forEachRowInBands(frame, plan, [&](const Band& band) {
        return [&](int y) {
            if (right <= left) return;
            kernel(y > 0 ? band.sourceRow(y - 1) : nullptr, band.sourceRow(y),
                   y + 1 < h ? band.sourceRow(y + 1) : nullptr, band.targetRow(y), colours.data(),
                   keep.data(), std::ptrdiff_t(left) * 4, std::ptrdiff_t(right) * 4);
        };
    });
}

// The interior: columns and rows 2..W-1, 2..H-1 in the formulas' counting.
EffectResult overInterior(const Frame& frame, RowKernel kernel, std::int32_t colour = 0,
                          bool streams = false) {
    return overSource(frame, 1, frame.width - 1, 1, frame.height - 1, 1, 1, kernel, colour,
                      streams);
}

inline Byte clampToByte(Short v) {
    return Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// v where the mask is 0, the source byte where it is 0xFF.
inline Byte keepFourth(Byte v, Byte source, Byte mask) {
    return Byte((v & ~mask) | (source & mask));
}

inline Byte max3(Byte a, Byte b, Byte c) {
    return std::max(std::max(a, b), c);
}
inline Byte min3(Byte a, Byte b, Byte c) {
    return std::min(std::min(a, b), c);
}

// The kernels written with explicit 32-byte vectors. No function takes or returns one by
// value, since the plain build and the AVX2 build would pass it differently.
typedef Byte Bytes32 __attribute__((vector_size(32)));

// 0xFF on channel 4 of each pixel of a vector that starts at a pixel, 0 elsewhere.
inline void fillFourth(Bytes32& fourth) {
    for (int j = 0; j < 32; ++j) fourth[j] = j % 4 == 3 ? 0xFF : 0;
}

// Runs `oneByte` from `begin` up to the first byte of `out` on a 32-byte boundary, from
// where whole vectors can go past the cache, and returns where the vectors start. Vectors
// must start at a pixel for their masks; rows of pixel words do, unless `out` itself does
// not lie on a word, when they start at `begin` and their stores stay ordinary.
template <typename OneByte>
std::ptrdiff_t vectorStart(const Byte* out, std::ptrdiff_t begin, std::ptrdiff_t end,
                           OneByte&& oneByte) {
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(out);
    std::ptrdiff_t i = begin;
    if (address % 4 == 0)
        for (; i < end && (address + std::uintptr_t(i)) % 32 != 0; ++i) oneByte(i);
    return i;
}

// Stores `o` at `to`: past the cache where `to` lies on a 32-byte boundary.
inline void putVector(Byte* to, const Bytes32& o) {
#if defined(__SSE2__)
    if (reinterpret_cast<std::uintptr_t>(to) % 32 == 0) {
        __m128i halves[2];
        std::memcpy(halves, &o, 32);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to), halves[0]);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + 16), halves[1]);
        return;
    }
#endif
    std::memcpy(to, &o, 32);
}

VEXA_VECTOR_CLONES VEXA_ROW_KERNEL(contourRow) {
    for (std::ptrdiff_t i = begin; i < end; ++i) {
        const Short n8 = Short(up[i - 4] + up[i] + up[i + 4] + cur[i - 4] + cur[i + 4] +
                               down[i - 4] + down[i] + down[i + 4]);
        out[i] = keepFourth(clampToByte(Short(8 * cur[i] - n8 + colour[i])), cur[i], keep[i]);
    }
}

// Emboss and Engrave: |P(x, y) - P(x + 1, y + 1) + C| and the reverse difference, over
// columns and rows 1..W-1, 1..H-1. Both read the target, but only pixels not yet written,
// so reading the source gives the same. Written, as nineRow below, with explicit 32-byte
// vectors: the colour's components and the mask for channel 4 are constants in registers
// rather than two more rows to read, and `out` is the picture's own row (the pass streams),
// which whole vectors reach past the cache. A byte of a difference plus a component would
// need 16 bits; the vectors work out the same value in bytes.
template <bool Reversed>
VEXA_VECTOR_CLONES void diagonalRow(const Byte* __restrict cur, const Byte* __restrict down,
                                    Byte* __restrict out, const Short* __restrict colour,
                                    const Byte* __restrict keep, std::ptrdiff_t begin,
                                    std::ptrdiff_t end) {
    auto oneByte = [&](std::ptrdiff_t i) {
        const Short difference =
            Reversed ? Short(down[i + 4] - cur[i]) : Short(cur[i] - down[i + 4]);
        const Short v = Short(difference + colour[i]);
        out[i] = keepFourth(clampToByte(v < 0 ? Short(-v) : v), cur[i], keep[i]);
    };
    std::ptrdiff_t i = vectorStart(out, begin, end, oneByte);
    // A component c below 0 (red may be) makes |x + c - y| into |y + |c| - x|: those lanes
    // swap the two pixels.
    Bytes32 fourth, components, swap;
    fillFourth(fourth);
    for (int j = 0; j < 32; ++j) {
        const Short c = colour[i + j % 4];
        components[j] = Byte(c < 0 ? -c : c);
        swap[j] = Reversed != (c < 0) ? 0xFF : 0;
    }
    for (; i + 32 <= end; i += 32) {
        Bytes32 here, there;
        std::memcpy(&here, cur + i, 32);
        std::memcpy(&there, down + i + 4, 32);
        // |x + c - y| at most 255 in bytes, for bytes x, y and c >= 0: with w = x + c modulo
        // 256, it is w - y or y - w where x + c stays below 256, and w - y modulo 256, or 255
        // where w >= y, where it does not.
        const Bytes32 x = (here & ~swap) | (there & swap), y = (there & ~swap) | (here & swap);
        const Bytes32 w = x + components;
        const Bytes32 over = Bytes32(w < x), above = Bytes32(w >= y);
        const Bytes32 rising = w - y, falling = y - w;
        const Bytes32 v =
            (above & (over | rising)) | (~above & ((over & rising) | (~over & falling)));
        putVector(out + i, (v & ~fourth) | (here & fourth));
    }
    for (; i < end; ++i) oneByte(i);
}

VEXA_ROW_KERNEL(embossRow) {
    diagonalRow<false>(cur, down, out, colour, keep, begin, end);
}

VEXA_ROW_KERNEL(engraveRow) {
    diagonalRow<true>(cur, down, out, colour, keep, begin, end);
}

// The left column of the 3 x 3 neighbourhood minus its right column, plus or minus the colour.
template <bool Right> VEXA_VECTOR_CLONES VEXA_ROW_KERNEL(reliefSideRow) {
    for (std::ptrdiff_t i = begin; i < end; ++i) {
        const Short slope =
            Short(up[i - 4] + cur[i - 4] + down[i - 4] - up[i + 4] - cur[i + 4] - down[i + 4]);
        const Short v = Right ? Short(colour[i] - slope) : Short(slope + colour[i]);
        out[i] = keepFourth(clampToByte(v), cur[i], keep[i]);
    }
}

VEXA_VECTOR_CLONES VEXA_ROW_KERNEL(reliefRow) {
    for (std::ptrdiff_t i = begin; i < end; ++i) {
        const Short slope = Short(2 * up[i - 4] + cur[i - 4] + up[i] - down[i] - cur[i + 4] -
                                  2 * down[i + 4] + cur[i]);
        // Truncating toward zero before the 50 is added.
        out[i] = keepFourth(clampToByte(Short(slope / 2 + 50)), cur[i], keep[i]);
    }
}

// Dilate, Erode and Edge Detect: each byte becomes the largest or the smallest of the nine of
// its channel around it, or (Difference) itself less that. Written with explicit 32-byte
// vectors, which hold a fixed mask for channel 4: the compiler's own vector code loaded the
// mask from memory beside the three rows. `out` is the picture's own row (the pass streams):
// whole vectors go to it past the cache, from its first 32-byte boundary on.
template <bool Larger, bool Difference>
VEXA_VECTOR_CLONES void nineRow(const Byte* __restrict up, const Byte* __restrict cur,
                                const Byte* __restrict down, Byte* __restrict out,
                                const Byte* __restrict keep, std::ptrdiff_t begin,
                                std::ptrdiff_t end) {
    Bytes32 fourth;
    fillFourth(fourth);
    auto oneByte = [&](std::ptrdiff_t i) {
        const Byte nine =
            Larger ? max3(max3(up[i - 4], up[i], up[i + 4]), max3(cur[i - 4], cur[i], cur[i + 4]),
                          max3(down[i - 4], down[i], down[i + 4]))
                   : min3(min3(up[i - 4], up[i], up[i + 4]), min3(cur[i - 4], cur[i], cur[i + 4]),
                          min3(down[i - 4], down[i], down[i + 4]));
        out[i] = keepFourth(Difference ? Byte(cur[i] - nine) : nine, cur[i], keep[i]);
    };
    std::ptrdiff_t i = vectorStart(out, begin, end, oneByte);
    for (; i + 32 <= end; i += 32) {
        Bytes32 n0, n1, n2, n3, n4, n5, n6, n7, v;
        std::memcpy(&n0, up + i - 4, 32);
        std::memcpy(&n1, up + i, 32);
        std::memcpy(&n2, up + i + 4, 32);
        std::memcpy(&n3, cur + i - 4, 32);
        std::memcpy(&v, cur + i, 32);
        std::memcpy(&n4, cur + i + 4, 32);
        std::memcpy(&n5, down + i - 4, 32);
        std::memcpy(&n6, down + i, 32);
        std::memcpy(&n7, down + i + 4, 32);
        // Folded pairwise, so the steps do not wait on each other.
        if (Larger) {
            n0 = n0 > n1 ? n0 : n1;
            n2 = n2 > n3 ? n2 : n3;
            n4 = n4 > n5 ? n4 : n5;
            n6 = n6 > n7 ? n6 : n7;
            n0 = n0 > n2 ? n0 : n2;
            n4 = n4 > n6 ? n4 : n6;
            n0 = n0 > n4 ? n0 : n4;
            n0 = n0 > v ? n0 : v;
        } else {
            n0 = n0 < n1 ? n0 : n1;
            n2 = n2 < n3 ? n2 : n3;
            n4 = n4 < n5 ? n4 : n5;
            n6 = n6 < n7 ? n6 : n7;
            n0 = n0 < n2 ? n0 : n2;
            n4 = n4 < n6 ? n4 : n6;
            n0 = n0 < n4 ? n0 : n4;
            n0 = n0 < v ? n0 : v;
        }
        putVector(out + i, ((Difference ? v - n0 : n0) & ~fourth) | (v & fourth));
    }
    for (; i < end; ++i) oneByte(i);
}

VEXA_ROW_KERNEL(dilateRow) {
    nineRow<true, false>(up, cur, down, out, keep, begin, end);
}

VEXA_ROW_KERNEL(erodeRow) {
    nineRow<false, false>(up, cur, down, out, keep, begin, end);
}

VEXA_ROW_KERNEL(edgeDetectRow) {
    nineRow<false, true>(up, cur, down, out, keep, begin, end);
}

#undef VEXA_ROW_KERNEL

} // namespace

EffectResult contour(const Frame& frame, std::int32_t colour) {
    return overInterior(frame, contourRow, colour);
}

EffectResult emboss(const Frame& frame, std::int32_t colour) {
    return overSource(frame, 0, frame.width - 1, 0, frame.height - 1, 0, 1, embossRow, colour,
                      true);
}

EffectResult engrave(const Frame& frame, std::int32_t colour) {
    return overSource(frame, 0, frame.width - 1, 0, frame.height - 1, 0, 1, engraveRow, colour,
                      true);
}

EffectResult reliefLeft(const Frame& frame, std::int32_t colour) {
    return overInterior(frame, reliefSideRow<false>, colour);
}

EffectResult reliefRight(const Frame& frame, std::int32_t colour) {
    return overInterior(frame, reliefSideRow<true>, colour);
}

EffectResult relief(const Frame& frame, std::int32_t) {
    return overInterior(frame, reliefRow);
}

EffectResult dilate(const Frame& frame, std::int32_t) {
    return overInterior(frame, dilateRow, 0, true);
}

EffectResult erode(const Frame& frame, std::int32_t) {
    return overInterior(frame, erodeRow, 0, true);
}

EffectResult edgeDetect(const Frame& frame, std::int32_t) {
    return overInterior(frame, edgeDetectRow, 0, true);
}

} // namespace vexa::effects
