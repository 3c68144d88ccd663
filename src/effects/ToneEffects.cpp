// Effects that map each channel through a table of 256 values, built once per call from
// the parameter and, for Contrast and Auto Levels, from statistics of the whole picture:
// Brightness Scale, Contrast, Auto Levels and Gamma.

#include "effects/Arithmetic.h"
#include "effects/ContrastRow.h"
#include "effects/EffectKernels.h"
#include "effects/IntegerLine.h"
#include "effects/PixelAccess.h"
#include "effects/SpreadPass.h"
#include "effects/VectorClones.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace vexa::effects {

namespace {

using ChannelTable = std::array<std::uint8_t, 256>;

// The tables of blue, green and red joined into two of 65536 entries, one for the low half of
// a pixel word (blue and green) and one for the high half (red, and channel 4, which it
// keeps): two loads a pixel instead of three, and no shifting bytes into place.
struct JoinedTables {
    JoinedTables(const ChannelTable& tb, const ChannelTable& tg, const ChannelTable& tr)
        : low(1 << 16), high(1 << 16) {
        for (std::uint32_t v = 0; v < (1u << 16); ++v) {
            low[v] = std::uint16_t(tb[v & 255] | tg[v >> 8] << 8);
            high[v] = std::uint16_t(tr[v & 255] | (v & 0xFF00));
        }
    }
    std::vector<std::uint16_t> low;
    std::vector<std::uint16_t> high;
};

// Every pixel of `from` through the tables, written at `to`, which may be `from` itself.
void lookUpRow(const std::uint8_t* from, std::uint8_t* to, int w, const JoinedTables& tables) {
    const std::uint16_t* __restrict lo = tables.low.data();
    const std::uint16_t* __restrict hi = tables.high.data();
    auto twoPixels = [&](std::uint64_t p) {
        return std::uint64_t(lo[p & 0xFFFF]) | std::uint64_t(hi[(p >> 16) & 0xFFFF]) << 16 |
               std::uint64_t(lo[(p >> 32) & 0xFFFF]) << 32 | std::uint64_t(hi[p >> 48]) << 48;
    };
    int x = 0;
    // Four words (eight pixels) at a time, so that more look-ups wait for the cache side by
    // side: a fifth faster than one word. In named words: held in an array, the compiler kept
    // three or more of them in memory, which measured slower than one.
    for (; x + 8 <= w; x += 8) {
        std::uint64_t a, b, c, d;
        std::memcpy(&a, from + 4 * x, 8);
        std::memcpy(&b, from + 4 * x + 8, 8);
        std::memcpy(&c, from + 4 * x + 16, 8);
        std::memcpy(&d, from + 4 * x + 24, 8);
        a = twoPixels(a);
        b = twoPixels(b);
        c = twoPixels(c);
        d = twoPixels(d);
        std::memcpy(to + 4 * x, &a, 8);
        std::memcpy(to + 4 * x + 8, &b, 8);
        std::memcpy(to + 4 * x + 16, &c, 8);
        std::memcpy(to + 4 * x + 24, &d, 8);
    }
    for (; x + 2 <= w; x += 2) {
        std::uint64_t p;
        std::memcpy(&p, from + 4 * x, 8);
        p = twoPixels(p);
        std::memcpy(to + 4 * x, &p, 8);
    }
    if (x < w) {
        const std::uint32_t p = loadPixel(from + 4 * x);
        storePixel(to + 4 * x, std::uint32_t(lo[p & 0xFFFF]) | std::uint32_t(hi[p >> 16]) << 16);
    }
}

// partWork(from, to, pixels) over every row in parts, on bands of rows.
template <typename PartWork>
EffectResult mapParts(const Frame& frame, PartWork partWork, std::int32_t base = 0,
                      std::int32_t span = 100) {
    RowPlan plan;
    plan.last = frame.height;
    plan.base = base;
    plan.span = span;
    return forEachRowSavingInBands(frame, plan, [&] {
        return [&](int y, const RowCopy& copy) {
            saveAndWork(frame.targetRow(y), copy, frame.width, partWork);
        };
    });
}

// Blue, green and red each on a line of its own, over the values from low to high.
struct ChannelLines {
    IntegerLine line[3];
    std::int32_t low[3];
    std::int32_t high[3];
};

// Each channel of the `w` pixels at `from` through its line, written at `to`. Every value lies
// within its channel's low .. high (the picture's own extremes). Where a line could leave 32 bits
// for some byte, values are kept within low .. high all the same.
template <bool kBounded>
VEXA_VECTOR_CLONES void linesRow(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
                                 int w, ChannelLines lines) {
    auto channel = [&](std::uint32_t byte, int k) {
        std::int32_t v = std::int32_t(byte & 255);
        if (kBounded) v = v < lines.low[k] ? lines.low[k] : (v > lines.high[k] ? lines.high[k] : v);
        return std::uint32_t((lines.line[k].scale * v + lines.line[k].offset) >>
                             lines.line[k].shift);
    };
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(from + 4 * x);
        storePixel(to + 4 * x, channel(p, 0) | channel(p >> 8, 1) << 8 | channel(p >> 16, 2) << 16 |
                                   (p & kReservedMask));
    }
}

// True when each line stays within 32 bits for every byte, not only for low .. high.
bool linesFitEveryByte(const ChannelLines& lines) {
    for (const IntegerLine& line : lines.line)
        for (const std::int64_t v : {0, 255}) {
            const std::int64_t at = std::int64_t(line.scale) * v + line.offset;
            if (at < INT32_MIN || at > INT32_MAX) return false;
        }
    return true;
}

// Every pixel through the tables of blue, green and red, on bands of rows.
EffectResult mapChannels(const Frame& frame, const ChannelTable& tb, const ChannelTable& tg,
                         const ChannelTable& tr, std::int32_t base = 0, std::int32_t span = 100) {
    const JoinedTables tables(tb, tg, tr);
    return mapParts(
        frame,
        [&](const std::uint8_t* from, std::uint8_t* to, int pixels) {
            lookUpRow(from, to, pixels, tables);
        },
        base, span);
}

// Each channel v of the `w` pixels at `from` becomes f x v rounded half to even and clamped,
// written at `to`.
VEXA_VECTOR_CLONES void scaleRow(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
                                 int w, RoundedProduct product) {
    auto channel = [=](std::int32_t v) { return std::uint32_t(clampChannel(product.rounded(v))); };
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(from + 4 * x);
        storePixel(to + 4 * x,
                   channel(std::int32_t(p & 255)) | channel(std::int32_t((p >> 8) & 255)) << 8 |
                       channel(std::int32_t((p >> 16) & 255)) << 16 | (p & kReservedMask));
    }
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
    // Worked out in vector registers where 32-bit integers hold it, faster than a look-up.
    if (RoundedProduct product; findRoundedProduct(f, 0, 255, product))
        return mapParts(frame, [&](const std::uint8_t* from, std::uint8_t* to, int pixels) {
            scaleRow(from, to, pixels, product);
        });
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
    // A pass may leave a larger excess than it found (1.375 times at most, over 20 million
    // random 32-bit inputs), but two passes together cut it to 0.54 of it or less there, and
    // none needed more than 8 passes; the bound of 64 only keeps a mistake from turning into
    // a hang.
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

    static constexpr int kBits = 15;
    static constexpr std::uint32_t kValid = 1u << 24;

private:
    std::vector<std::uint64_t> entries_ = std::vector<std::uint64_t>(std::size_t(1) << kBits);
};

// 1 for each pixel of `row` with a channel outside low .. high, 0 for the others.
VEXA_VECTOR_CLONES void outsideRow(const std::uint8_t* __restrict row, int w, std::int32_t low,
                                   std::int32_t high, std::uint8_t* __restrict outside) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(row + std::ptrdiff_t(x) * 4);
        const std::int32_t b = std::int32_t(p & 255), g = std::int32_t((p >> 8) & 255),
                           r = std::int32_t((p >> 16) & 255);
        outside[x] =
            std::uint8_t((b < low) | (b > high) | (g < low) | (g > high) | (r < low) | (r > high));
    }
}

// The spread clamp's first pass for the colours of pixels that need it: settled[i] is 1
// where that pass ends it, with the result in result[i]; the others need the whole clamp.
// For tones within +-2^29.
VEXA_VECTOR_CLONES void firstSpreadPass(const std::uint32_t* __restrict colours,
                                        const std::int32_t* __restrict tone,
                                        std::uint32_t* __restrict result,
                                        std::uint8_t* __restrict settled, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t colour = colours[i];
        std::int32_t b = tone[colour & 255], g = tone[(colour >> 8) & 255],
                     r = tone[(colour >> 16) & 255], packed = 0, settles = 0;
        spreadPass(b, g, r, packed, settles);
        settled[i] = std::uint8_t(settles & 1);
        result[i] = std::uint32_t(packed);
    }
}

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
    // The tones rise (or fall) with the channel value, so the values whose tone stays in
    // 0..255 form one run, low .. high; a pixel with a channel outside it needs the spread
    // clamp, the others just the clamped tables.
    ChannelTable clamped;
    std::int32_t low = 256, high = -1;
    for (int k = 0; k < 256; ++k) {
        clamped[std::size_t(k)] = std::uint8_t(clampChannel(tone[std::size_t(k)]));
        if (inChannelRange(tone[std::size_t(k)])) {
            low = std::min(low, k);
            high = std::max(high, k);
        }
    }
    const JoinedTables tables(clamped, clamped, clamped);
    auto tonesWithin = [&tone](std::int32_t bound) {
        return std::all_of(tone.begin(), tone.end(),
                           [bound](std::int32_t t) { return t >= -bound && t <= bound; });
    };
    const bool smallTones = tonesWithin(1 << 29);
    // Tones on an integer line need no table look-ups: the pixels the spread clamp settles
    // within a few passes are done in vector registers, the few others go through the cache.
    IntegerLine line;
    const bool onLine = smallTones && findIntegerLine(tone.data(), 0, 256, e, line);
    const int passes = tonesWithin(1 << 16) ? 8 : 1;
    const int w = frame.width;
    RowPlan plan;
    plan.last = frame.height;
    plan.base = 5;
    plan.span = 95;
    EffectResult result;
    if (onLine) {
        // The whole row is saved and written before a refusal.
        result = forEachRowSavingInBands(frame, plan, [&] {
            // The cache's hits are exact, so each band may keep its own.
            return [&, unsettled = std::vector<int>(std::size_t(w)),
                    cache = SpreadCache()](int y, const RowCopy& copy) mutable {
                bool fits = true;
                saveAndWork(frame.targetRow(y), copy, w,
                            [&](const std::uint8_t* from, std::uint8_t* to, int pixels) {
                                if (!fits) return;
                                const int open =
                                    contrastRow(from, to, pixels, line, passes, unsettled.data());
                                for (int i = 0; i < open; ++i) {
                                    const int x = unsettled[std::size_t(i)];
                                    const std::uint32_t p = loadPixel(from + 4 * x);
                                    std::uint32_t colour = 0;
                                    if (!cache.lookup(p & kColourMask, tone, colour)) {
                                        fits = false;
                                        return;
                                    }
                                    storePixel(to + 4 * x, colour | (p & kReservedMask));
                                }
                            });
                return fits;
            };
        });
    } else {
        plan.readsCopy = false;
        result = forEachRowInBands(frame, plan, [&] {
            // The cache's hits are exact, so each band may keep its own.
            return [&, outside = std::vector<std::uint8_t>(std::size_t(w)),
                    columns = std::vector<std::uint32_t>(), colours = std::vector<std::uint32_t>(),
                    results = std::vector<std::uint32_t>(), settled = std::vector<std::uint8_t>(),
                    cache = SpreadCache()](int y) mutable {
                std::uint8_t* row = frame.targetRow(y);
                outsideRow(row, w, low, high, outside.data());
                // The pixels to clamp, before the tables overwrite them: column and colour. Every
                // column is written and only those outside are kept: a quarter of a picture may
                // need the clamp, at random, which would defeat a branch's prediction.
                columns.resize(std::size_t(w));
                std::size_t count = 0;
                for (int x = 0; x < w; ++x) {
                    columns[count] = std::uint32_t(x);
                    count += outside[std::size_t(x)];
                }
                columns.resize(count);
                colours.resize(count);
                for (std::size_t i = 0; i < count; ++i)
                    colours[i] = loadPixel(row + 4 * columns[i]) & kColourMask;
                const std::size_t n = columns.size();
                results.resize(n);
                settled.assign(n, 0);
                if (smallTones)
                    firstSpreadPass(colours.data(), tone.data(), results.data(), settled.data(), n);
                lookUpRow(row, row, w, tables);
                for (std::size_t i = 0; i < n; ++i) {
                    std::uint8_t* at = row + 4 * columns[i];
                    std::uint32_t colour = results[i];
                    if (!settled[i] && !cache.lookup(colours[i], tone, colour)) return false;
                    storePixel(at, colour | (loadPixel(at) & kReservedMask));
                }
                return true;
            };
        });
    }
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
    // The values a channel takes, low .. high, stretch along a line, which vector registers
    // work out faster than a look-up, unless halves round to even across it.
    ChannelLines lines;
    bool onLines = true;
    for (int k = 0; k < 3 && onLines; ++k) {
        std::int32_t values[256];
        for (int v = low[k]; v <= high[k]; ++v) values[v - low[k]] = table[k][std::size_t(v)];
        const double slope = high[k] == low[k] ? 1.0 : 255.0 / double(high[k] - low[k]);
        lines.low[k] = low[k];
        lines.high[k] = high[k];
        onLines = findIntegerLine(values, low[k], high[k] - low[k] + 1, slope, lines.line[k]);
    }
    if (onLines) {
        const bool bounded = !linesFitEveryByte(lines);
        return mapParts(
            frame,
            [&](const std::uint8_t* from, std::uint8_t* to, int pixels) {
                if (bounded)
                    linesRow<true>(from, to, pixels, lines);
                else
                    linesRow<false>(from, to, pixels, lines);
            },
            10, 90);
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
