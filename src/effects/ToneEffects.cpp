// Effects that map each channel through a table of 256 values, built once per call from
// the parameter and, for Contrast and Auto Levels, from statistics of the whole picture:
// Brightness Scale, Contrast, Auto Levels and Gamma.

#include "effects/Arithmetic.h"
#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VEXA_CONTRAST_AVX2 1
#endif

namespace vexa::effects {

namespace {

using ChannelTable = std::array<std::uint8_t, 256>;

// Every pixel through the tables of blue, green and red. The tables are joined into two of
// 65536 entries, one for the low half of a pixel word (blue and green) and one for the high
// half (red and channel 4, which it keeps): two loads a pixel instead of three, and no
// shifting bytes into place.
EffectResult mapChannels(const Frame& frame, const ChannelTable& tb, const ChannelTable& tg,
                         const ChannelTable& tr, std::int32_t base = 0, std::int32_t span = 100) {
    std::vector<std::uint16_t> low(1 << 16), high(1 << 16);
    for (std::uint32_t v = 0; v < (1u << 16); ++v) {
        low[v] = std::uint16_t(tb[v & 255] | tg[v >> 8] << 8);
        high[v] = std::uint16_t(tr[v & 255] | (v & 0xFF00));
    }
    RowPlan plan;
    plan.last = frame.height;
    plan.base = base;
    plan.span = span;
    return forEachRowInBands(frame, plan, [&] {
        return [&](int y) {
            const std::uint16_t* __restrict lo = low.data();
            const std::uint16_t* __restrict hi = high.data();
            const std::uint8_t* __restrict s = frame.sourceRow(y);
            std::uint8_t* __restrict d = frame.targetRow(y);
            const int w = frame.width;
            int x = 0;
            for (; x + 2 <= w; x += 2) {
                std::uint64_t p;
                std::memcpy(&p, s + 4 * x, 8);
                const std::uint64_t q =
                    std::uint64_t(lo[p & 0xFFFF]) | std::uint64_t(hi[(p >> 16) & 0xFFFF]) << 16 |
                    std::uint64_t(lo[(p >> 32) & 0xFFFF]) << 32 | std::uint64_t(hi[p >> 48]) << 48;
                std::memcpy(d + 4 * x, &q, 8);
            }
            if (x < w) {
                const std::uint32_t p = loadPixel(s + 4 * x);
                storePixel(d + 4 * x, std::uint32_t(lo[p & 0xFFFF]) | std::uint32_t(hi[p >> 16])
                                                                          << 16);
            }
        };
    });
}

// The factor (p + 100) / 100 in single precision; the caller has refused p + 100 > 2^31 - 1.
double percentFactor(std::int32_t percent) {
    return double(float(double(percent + 100) / 100.0));
}

bool inChannelRange(std::int64_t v) {
    return v >= 0 && v <= 255;
}
bool inInt32(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

} // namespace

EffectResult brightnessScale(const Frame& frame, std::int32_t percent) {
    const double f = percentFactor(percent);
    ChannelTable table;
    for (int i = 0; i < 256; ++i) {
        const double v = f * double(i);
        // The caller refuses factors whose table entries leave 32 bits.
        table[i] = std::uint8_t(clampChannel(roundHalfEven(v)));
    }
    return mapChannels(frame, table, table, table);
}

bool spreadClamp(std::int32_t& b32, std::int32_t& g32, std::int32_t& r32) {
    std::int64_t b = b32, g = g32, r = r32;
    // Hands half of `v`'s excess to `o1` and `o2`; false when either leaves 32 bits.
    auto spill = [](std::int64_t& v, std::int64_t& o1, std::int64_t& o2) {
        std::int64_t h = 0;
        if (v < 0) {
            h = v / 2;
            v = 0;
        } else if (v > 255) {
            h = (v - 255) / 2;
            v = 255;
        } else {
            return true;
        }
        o1 += h;
        o2 += h;
        return inInt32(o1) && inInt32(o2);
    };
    // Each pass at least halves the largest excess, so 64 passes cover any 32-bit input;
    // the bound only keeps a mistake from turning into a hang.
    for (int pass = 0; pass < 64; ++pass) {
        if (inChannelRange(b) && inChannelRange(g) && inChannelRange(r)) {
            b32 = std::int32_t(b);
            g32 = std::int32_t(g);
            r32 = std::int32_t(r);
            return true;
        }
        if (b <= 0 && g <= 0 && r <= 0) {
            b32 = g32 = r32 = 0;
            return true;
        }
        if (b >= 255 && g >= 255 && r >= 255) {
            b32 = g32 = r32 = 255;
            return true;
        }
        if (!spill(b, g, r) || !spill(g, b, r) || !spill(r, g, b)) return false;
    }
    return false;
}

namespace {

// Spread-clamp results of recently met colours, direct-mapped by the 24-bit colour. A
// picture repeats its colours a lot, and the result depends only on the colour and the
// tone table, so a hit is exact. 2^15 entries of 8 bytes stay within the L2 cache.
class SpreadCache {
public:
    // The packed (b, g, r) of `colour` after the spread clamp; false when the clamp would
    // leave 32 bits.
    bool lookup(std::uint32_t colour, const std::array<std::int32_t, 256>& tone,
                std::uint32_t& packed) {
        // The valid bit keeps the zero-filled entries from matching black.
        const std::uint64_t key = std::uint64_t(colour | kValid) << 32;
        std::uint64_t& entry = entries_[(colour * 0x9E3779B1u) >> (32 - kBits)];
        if ((entry & ~std::uint64_t(0xFFFFFFFFu)) == key) {
            packed = std::uint32_t(entry);
            return true;
        }
        std::int32_t b = tone[colour & 255], g = tone[(colour >> 8) & 255],
                     r = tone[(colour >> 16) & 255];
        if (!spreadClamp(b, g, r)) return false;
        packed = std::uint32_t(b | g << 8 | r << 16);
        entry = key | packed;
        return true;
    }

    // For probes that follow the same layout: entry i holds (colour | kValid) << 32 | packed.
    const std::uint64_t* entries() const { return entries_.data(); }
    static constexpr int kBits = 15;
    static constexpr std::uint32_t kValid = 1u << 24;

private:
    std::vector<std::uint64_t> entries_ = std::vector<std::uint64_t>(std::size_t(1) << kBits);
};

#if defined(VEXA_CONTRAST_AVX2)
// For each 8-bit mask, the positions of its set bits in ascending order, one per byte: the
// clamp columns of eight pixels come out of one load instead of eight dependent steps.
constexpr std::array<std::uint64_t, 256> kSetBits = [] {
    std::array<std::uint64_t, 256> t{};
    for (unsigned m = 0; m < 256; ++m) {
        unsigned n = 0;
        for (unsigned i = 0; i < 8; ++i)
            if (m >> i & 1) t[m] |= std::uint64_t(i) << (8 * n++);
    }
    return t;
}();

// The row loop of contrast for the columns 0 .. w - w % 8, eight pixels at a time with
// gathers from the placed tables. Clamp pixels whose colour the cache already holds are
// finished here; the others go to `spread`, which needs room for 8 entries beyond the last
// column it may receive. Returns the number of columns written there.
__attribute__((target("avx2"))) std::size_t
contrastRowAvx2(const std::uint8_t* s, std::uint8_t* dst, int w,
                const std::array<std::uint32_t, 256> (&placed)[3], const SpreadCache& cache,
                int* spread) {
    const __m256i hashFactor = _mm256_set1_epi32(std::int32_t(0x9E3779B1u));
    const __m256i valid = _mm256_set1_epi32(std::int32_t(SpreadCache::kValid));
    const long long* entries = reinterpret_cast<const long long*>(cache.entries());
    const __m256i byteMask = _mm256_set1_epi32(255);
    const __m256i colourMask = _mm256_set1_epi32(std::int32_t(kColourMask));
    const int* tb = reinterpret_cast<const int*>(placed[0].data());
    const int* tg = reinterpret_cast<const int*>(placed[1].data());
    const int* tr = reinterpret_cast<const int*>(placed[2].data());
    std::size_t count = 0;
    for (int x = 0; x + 8 <= w; x += 8) {
        const __m256i p =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + std::ptrdiff_t(x) * 4));
        const __m256i vb = _mm256_i32gather_epi32(tb, _mm256_and_si256(p, byteMask), 4);
        const __m256i vg =
            _mm256_i32gather_epi32(tg, _mm256_and_si256(_mm256_srli_epi32(p, 8), byteMask), 4);
        const __m256i vr =
            _mm256_i32gather_epi32(tr, _mm256_and_si256(_mm256_srli_epi32(p, 16), byteMask), 4);
        const __m256i v = _mm256_or_si256(_mm256_or_si256(vb, vg), vr);
        const __m256i reserved = _mm256_andnot_si256(colourMask, p);
        __m256i out = _mm256_or_si256(_mm256_and_si256(v, colourMask), reserved);
        // Bit 24 of each lane spread over the lane: the pixels that need the clamp.
        const __m256i clamp = _mm256_srai_epi32(_mm256_slli_epi32(v, 7), 31);
        unsigned m = unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(clamp)));
        if (m != 0) {
            const __m256i colour = _mm256_and_si256(p, colourMask);
            const __m256i slot =
                _mm256_srli_epi32(_mm256_mullo_epi32(colour, hashFactor), 32 - SpreadCache::kBits);
            const __m256i low = _mm256_i32gather_epi64(entries, _mm256_castsi256_si128(slot), 8);
            const __m256i high =
                _mm256_i32gather_epi64(entries, _mm256_extracti128_si256(slot, 1), 8);
            // Split the entries into their packed colours and keys, back in pixel order.
            const __m256 lowF = _mm256_castsi256_ps(low), highF = _mm256_castsi256_ps(high);
            const __m256i packed = _mm256_permute4x64_epi64(
                _mm256_castps_si256(_mm256_shuffle_ps(lowF, highF, _MM_SHUFFLE(2, 0, 2, 0))),
                _MM_SHUFFLE(3, 1, 2, 0));
            const __m256i keys = _mm256_permute4x64_epi64(
                _mm256_castps_si256(_mm256_shuffle_ps(lowF, highF, _MM_SHUFFLE(3, 1, 3, 1))),
                _MM_SHUFFLE(3, 1, 2, 0));
            const __m256i hit =
                _mm256_and_si256(clamp, _mm256_cmpeq_epi32(keys, _mm256_or_si256(colour, valid)));
            out = _mm256_blendv_epi8(out, _mm256_or_si256(packed, reserved), hit);
            m &= ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(hit)));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + std::ptrdiff_t(x) * 4), out);
        const __m128i at = _mm_cvtsi64_si128(static_cast<long long>(kSetBits[m]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(spread + count),
                            _mm256_add_epi32(_mm256_cvtepu8_epi32(at), _mm256_set1_epi32(x)));
        count += unsigned(__builtin_popcount(m));
    }
    return count;
}
#endif

} // namespace

EffectResult contrast(const Frame& frame, std::int32_t percent) {
    std::int32_t d = 0;
    if (const EffectResult scanned = meanGrayInBands(frame, d);
        scanned.status != EffectStatus::Done)
        return scanned;
    if (!frame.progress->report(5)) return cancelled();
    const double e = percentFactor(percent);
    std::array<std::int32_t, 256> tone;
    for (int k = 0; k < 256; ++k) {
        const double v = e * double(k - d) + double(d);
        if (!roundsIntoInt32(v))
            return refused("Contrast " + std::to_string(percent) +
                           " gives tone values beyond the 32-bit range");
        tone[k] = std::int32_t(roundHalfEven(v));
    }
    // Each channel's value already placed in its byte of the pixel word, clamped, with bit 24
    // set where the tone leaves 0..255 and the pixel needs the spread clamp.
    std::array<std::uint32_t, 256> placed[3];
    for (int k = 0; k < 256; ++k) {
        const std::uint32_t outside = inChannelRange(tone[k]) ? 0u : 1u << 24;
        for (int c = 0; c < 3; ++c)
            placed[c][k] = std::uint32_t(clampChannel(tone[k])) << (8 * c) | outside;
    }
    const int w = frame.width;
#if defined(VEXA_CONTRAST_AVX2)
    const bool avx2 = __builtin_cpu_supports("avx2");
#endif
    RowPlan plan;
    plan.last = frame.height;
    plan.base = 5;
    plan.span = 95;
    EffectResult result = forEachRowInBands(frame, plan, [&] {
        // Columns that need the spread clamp; the vector kernel stores eight at a time. The
        // cache's hits are exact, so each band may keep its own.
        return [&, spread = std::vector<int>(static_cast<std::size_t>(w) + 8),
                cache = SpreadCache()](int y) mutable {
            const std::uint8_t* s = frame.sourceRow(y);
            std::uint8_t* dst = frame.targetRow(y);
            std::size_t count = 0;
            int x = 0;
#if defined(VEXA_CONTRAST_AVX2)
            if (avx2) {
                count = contrastRowAvx2(s, dst, w, placed, cache, spread.data());
                x = w - w % 8;
            }
#endif
            for (; x < w; ++x) {
                const std::uint32_t p = loadPixel(s + 4 * x);
                const std::uint32_t v =
                    placed[0][p & 255] | placed[1][(p >> 8) & 255] | placed[2][(p >> 16) & 255];
                storePixel(dst + 4 * x, (v & kColourMask) | (p & kReservedMask));
                spread[count] = x;
                count += v >> 24;
            }
            // Pixels whose tones leave 0..255, taken apart from the loop above so that it
            // stays free of branches.
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint32_t p = loadPixel(s + 4 * spread[i]);
                std::uint32_t colour = 0;
                if (!cache.lookup(p & kColourMask, tone, colour)) return false;
                storePixel(dst + 4 * spread[i], colour | (p & kReservedMask));
            }
            return true;
        };
    });
    if (result.status == EffectStatus::Refused)
        result.reason =
            "Contrast " + std::to_string(percent) + " spreads a channel beyond the 32-bit range";
    return result;
}

EffectResult autoLevels(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    // Sixteen bytes (four pixels) at a time; byte j of the vectors holds channel j % 4.
    typedef std::uint8_t Byte16 __attribute__((vector_size(16)));
    Byte16 lowest, highest;
    for (int j = 0; j < 16; ++j) {
        lowest[j] = 255;
        highest[j] = 0;
    }
    const std::ptrdiff_t bytes = std::ptrdiff_t(w) * 4;
    // Each row's extremes apart, so bands can find them at once.
    std::vector<Byte16> rowLowest(std::size_t(frame.height), lowest);
    std::vector<Byte16> rowHighest(std::size_t(frame.height), highest);
    RowPlan scan;
    scan.last = frame.height;
    scan.writes = false;
    scan.ends = false;
    scan.span = 10;
    const EffectResult scanned = forEachRowInBands(frame, scan, [&] {
        return [&](int y) {
            const std::uint8_t* s = frame.unchangedRow(y);
            Byte16 low = lowest, high = highest;
            std::ptrdiff_t i = 0;
            for (; i + 16 <= bytes; i += 16) {
                Byte16 v;
                std::memcpy(&v, s + i, 16);
                low = v < low ? v : low;
                high = v > high ? v : high;
            }
            for (int j = 0; i + j < bytes; ++j) {
                low[j] = std::min(low[j], s[i + j]);
                high[j] = std::max(high[j], s[i + j]);
            }
            rowLowest[std::size_t(y)] = low;
            rowHighest[std::size_t(y)] = high;
        };
    });
    if (scanned.status != EffectStatus::Done) return scanned;
    for (std::size_t y = 0; y < rowLowest.size(); ++y) {
        lowest = rowLowest[y] < lowest ? rowLowest[y] : lowest;
        highest = rowHighest[y] > highest ? rowHighest[y] : highest;
    }
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    for (int j = 0; j < 16; ++j) {
        if (j % 4 == 3) continue;
        low[j % 4] = std::min<int>(low[j % 4], lowest[j]);
        high[j % 4] = std::max<int>(high[j % 4], highest[j]);
    }
    frame.progress->store(10);
    ChannelTable table[3];
    for (int k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v) {
            // A flat channel has nothing to stretch and keeps its value.
            if (high[k] == low[k] || v < low[k] || v > high[k]) {
                table[k][v] = std::uint8_t(v);
                continue;
            }
            const double level = double((v - low[k]) * 255) / double(high[k] - low[k]);
            table[k][v] = std::uint8_t(roundHalfEven(level));
        }
    return mapChannels(frame, table[0], table[1], table[2], 10, 90);
}

EffectResult gamma(const Frame& frame, std::int32_t gammaTimes100) {
    // The caller refuses gamma 0 and below.
    const double g = double(float(double(gammaTimes100) / 100.0));
    const double exponent = 1.0 / g;
    ChannelTable table;
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t(
            clampChannel(roundHalfEven(std::pow(double(v) / 255.0, exponent) * 255.0)));
    return mapChannels(frame, table, table, table);
}

} // namespace vexa::effects
