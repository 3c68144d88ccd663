#include "effects/ContrastRow.h"

#include "effects/PixelAccess.h"
#include "effects/SpreadPass.h"
#include "effects/VectorClones.h"

#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa::effects {

namespace {

typedef std::int32_t Ints8 __attribute__((vector_size(32)));
typedef std::uint32_t Words8 __attribute__((vector_size(32)));

// Eight pixels and their tones, lane by lane.
struct Block {
    Words8 pixels;
    Ints8 b, g, r;
};

// Whether every lane is 0.
inline bool allZero(const Ints8& v) {
#if defined(__SSE2__)
    __m128i halves[2];
    std::memcpy(halves, &v, 32);
    return _mm_movemask_epi8(
               _mm_cmpeq_epi8(_mm_or_si128(halves[0], halves[1]), _mm_setzero_si128())) == 0xFFFF;
#else
    std::int32_t any = 0;
    for (int i = 0; i < 8; ++i) any |= v[i];
    return any == 0;
#endif
}

// Bit i set where lane i is -1, of lanes that are -1 or 0.
inline unsigned laneBits(const Ints8& v) {
#if defined(__SSE2__)
    __m128i halves[2];
    std::memcpy(halves, &v, 32);
    return unsigned(_mm_movemask_epi8(
        _mm_packs_epi16(_mm_packs_epi32(halves[0], halves[1]), _mm_setzero_si128())));
#else
    unsigned bits = 0;
    for (int i = 0; i < 8; ++i) bits |= unsigned(v[i] & 1) << i;
    return bits;
#endif
}

} // namespace

// Eight pixels at a time in explicit 32-byte vectors (two 16-byte halves in the plain build).
// A photo's pixels whose tones leave 0..255 lie together, so most blocks of eight have none:
// their tones are the result. Every block is first written so; the others are listed, without
// a branch, and then go through the clamp's passes in the same vectors, with masks for its
// choices. No function takes or returns a vector, since the plain build and the AVX2 build
// would pass it differently.
VEXA_VECTOR_CLONES int contrastRow(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
                                   int w, IntegerLine line, int passes, int* __restrict unsettled) {
    const std::int32_t scale = line.scale, offset = line.offset, shift = line.shift;
    auto load = [&](int x, Block& k) {
        std::memcpy(&k.pixels, from + 4 * x, 32);
        k.b = (Ints8(k.pixels & 255) * scale + offset) >> shift;
        k.g = (Ints8((k.pixels >> 8) & 255) * scale + offset) >> shift;
        k.r = (Ints8((k.pixels >> 16) & 255) * scale + offset) >> shift;
    };
    constexpr int kBlocks = 32;
    int listed[kBlocks];
    int count = 0;
    int x = 0;
    while (x + 8 <= w) {
        int blocks = 0;
        for (; x + 8 <= w && blocks < kBlocks; x += 8) {
            Block k;
            load(x, k);
            const Words8 out =
                Words8(k.b) | Words8(k.g) << 8 | Words8(k.r) << 16 | (k.pixels & kReservedMask);
            std::memcpy(to + 4 * x, &out, 32);
            listed[blocks] = x;
            blocks += !allZero((k.b | k.g | k.r) & ~255);
        }
        for (int i = 0; i < blocks; ++i) {
            const int at = listed[i];
            Block k;
            load(at, k);
            // Passes until every lane has settled: all within 0..255, or all at most 0
            // (black) or all at least 255 (white).
            Ints8 colour{}, open = colour - 1;
            for (int pass = 0; pass < passes; ++pass) {
                Ints8 passed, settles;
                spreadPass(k.b, k.g, k.r, passed, settles);
                settles &= open;
                colour |= settles & passed;
                open &= ~settles;
                if (allZero(open)) break;
            }
            const Words8 out = ((Words8(colour) | (k.pixels & kReservedMask)) & ~Words8(open)) |
                               (k.pixels & Words8(open));
            std::memcpy(to + 4 * at, &out, 32);
            for (unsigned bits = laneBits(open); bits != 0; bits &= bits - 1)
                unsettled[count++] = at + std::countr_zero(bits);
        }
    }
    auto tone = [=](std::uint32_t v) { return (scale * std::int32_t(v) + offset) >> shift; };
    for (; x < w; ++x) {
        const std::uint32_t q = loadPixel(from + 4 * x);
        std::int32_t b = tone(q & 255), g = tone((q >> 8) & 255), r = tone((q >> 16) & 255);
        std::int32_t colour = 0, settles = 0;
        int pass = 0;
        for (; pass < passes; ++pass) {
            spreadPass(b, g, r, colour, settles);
            if (settles) break;
        }
        if (pass == passes) {
            storePixel(to + 4 * x, q);
            unsettled[count++] = x;
        } else {
            storePixel(to + 4 * x, std::uint32_t(colour) | (q & kReservedMask));
        }
    }
    return count;
}

} // namespace vexa::effects
