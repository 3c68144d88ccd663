// Effects that map each channel through a table of 256 values, built once per call from
// the parameter and, for Contrast and Auto Levels, from statistics of the whole picture:
// Brightness Scale, Contrast, Auto Levels and Gamma.

#include "Arithmetic.h"
#include "EffectKernels.h"
#include "PixelAccess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace vexa::effects {

namespace {

using ChannelTable = std::array<std::uint8_t, 256>;

// Every pixel through the tables of blue, green and red.
EffectResult mapChannels(const Frame& frame, const ChannelTable& tb, const ChannelTable& tg,
                         const ChannelTable& tr, std::int32_t base = 0, std::int32_t span = 100) {
    const int w = frame.width;
    return forEachRow(
        frame, 0, frame.height,
        [&](int y) {
            const std::uint8_t* s = frame.sourceRow(y);
            std::uint8_t* d = frame.targetRow(y);
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = loadPixel(s + 4 * x);
                storePixel(d + 4 * x,
                           makePixel(tb[p & 255], tg[(p >> 8) & 255], tr[(p >> 16) & 255], p));
            }
        },
        base, span);
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

// Four 32-bit lanes: the spread clamp's first pass runs on four pixels at once.
typedef std::int32_t Int4 __attribute__((vector_size(16)));

inline Int4 clampChannel4(Int4 v) {
    const Int4 zero = {0, 0, 0, 0}, top = {255, 255, 255, 255};
    v = v < zero ? zero : v;
    return v > top ? top : v;
}

// Half the excess of each lane beyond 0..255, truncated toward zero; 0 inside the range.
inline Int4 excess4(Int4 v) {
    const Int4 zero = {0, 0, 0, 0}, top = {255, 255, 255, 255};
    return v < zero ? v / 2 : (v > top ? (v - top) / 2 : zero);
}

// The first pass of the spread clamp (steps 1 to 6) on four pixels. Lanes that need
// further passes are finished one by one by spreadClamp, which continues from here. The
// caller makes sure no sum can leave 32 bits.
inline void spreadFirstPass(Int4& b, Int4& g, Int4& r) {
    const Int4 zero = {0, 0, 0, 0}, top = {255, 255, 255, 255};
    const Int4 low = (b <= zero) & (g <= zero) & (r <= zero);
    const Int4 high = (b >= top) & (g >= top) & (r >= top);
    Int4 pb = b, pg = g, pr = r;
    const Int4 hb = excess4(pb);
    pb = clampChannel4(pb);
    pg += hb;
    pr += hb;
    const Int4 hg = excess4(pg);
    pg = clampChannel4(pg);
    pb += hg;
    pr += hg;
    const Int4 hr = excess4(pr);
    pr = clampChannel4(pr);
    pg += hr;
    pb += hr;
    b = low ? zero : (high ? top : pb);
    g = low ? zero : (high ? top : pg);
    r = low ? zero : (high ? top : pr);
}

// Table entries up to this size cannot overflow during the first pass of the spread clamp.
constexpr std::int32_t kSafeTone = 1 << 24;

} // namespace

EffectResult contrast(const Frame& frame, std::int32_t percent) {
    const std::int32_t d = meanGray(frame);
    if (!frame.progress->report(5)) return cancelled();
    const double e = percentFactor(percent);
    std::array<std::int32_t, 256> tone;
    bool small = true; // every entry small enough for the unchecked first pass
    for (int k = 0; k < 256; ++k) {
        const double v = e * double(k - d) + double(d);
        if (!roundsIntoInt32(v))
            return refused("Contrast " + std::to_string(percent) +
                           " gives tone values beyond the 32-bit range");
        tone[k] = std::int32_t(roundHalfEven(v));
        small = small && tone[k] > -kSafeTone && tone[k] < kSafeTone;
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
    std::vector<int> spread(static_cast<std::size_t>(w)); // columns that need the spread clamp
    EffectResult result = forEachRow(
        frame, 0, frame.height,
        [&](int y) {
            const std::uint8_t* s = frame.sourceRow(y);
            std::uint8_t* dst = frame.targetRow(y);
            std::size_t count = 0;
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = loadPixel(s + 4 * x);
                const std::uint32_t v =
                    placed[0][p & 255] | placed[1][(p >> 8) & 255] | placed[2][(p >> 16) & 255];
                storePixel(dst + 4 * x, (v & kColourMask) | (p & kReservedMask));
                spread[count] = x;
                count += v >> 24;
            }
            // Pixels whose tones leave 0..255, four at a time (the last group padded with
            // repeats of its first pixel).
            for (std::size_t i = 0; i < count; i += 4) {
                std::uint32_t p[4];
                for (std::size_t lane = 0; lane < 4; ++lane)
                    p[lane] = loadPixel(s + 4 * spread[i + lane < count ? i + lane : i]);
                // Built from scalars in one go, so the vectors never pass through memory lane
                // by lane.
                Int4 b = {tone[p[0] & 255], tone[p[1] & 255], tone[p[2] & 255], tone[p[3] & 255]};
                Int4 g = {tone[(p[0] >> 8) & 255], tone[(p[1] >> 8) & 255], tone[(p[2] >> 8) & 255],
                          tone[(p[3] >> 8) & 255]};
                Int4 r = {tone[(p[0] >> 16) & 255], tone[(p[1] >> 16) & 255],
                          tone[(p[2] >> 16) & 255], tone[(p[3] >> 16) & 255]};
                if (small) spreadFirstPass(b, g, r);
                // Lanes still outside 0..255 take further passes one by one.
                const Int4 outside = (b | g | r) & ~Int4{255, 255, 255, 255};
                const Int4 packed = b | g << 8 | r << 16;
                for (std::size_t lane = 0; lane < 4 && i + lane < count; ++lane) {
                    std::uint32_t colour = std::uint32_t(packed[lane]);
                    if (outside[lane] != 0) {
                        std::int32_t lb = b[lane], lg = g[lane], lr = r[lane];
                        if (!spreadClamp(lb, lg, lr)) return false;
                        colour = std::uint32_t(lb | lg << 8 | lr << 16);
                    }
                    storePixel(dst + 4 * spread[i + lane], colour | (p[lane] & kReservedMask));
                }
            }
            return true;
        },
        5, 95);
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
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::ptrdiff_t i = 0;
        for (; i + 16 <= bytes; i += 16) {
            Byte16 v;
            std::memcpy(&v, s + i, 16);
            lowest = v < lowest ? v : lowest;
            highest = v > highest ? v : highest;
        }
        for (int j = 0; i + j < bytes; ++j) {
            lowest[j] = std::min(lowest[j], s[i + j]);
            highest[j] = std::max(highest[j], s[i + j]);
        }
        if (!frame.progress->afterRow(y + 1, frame.height, 0, 10)) return cancelled();
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
