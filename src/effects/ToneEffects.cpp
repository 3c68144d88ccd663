// Effects that map each channel through a table of 256 values, built once per call from
// the parameter and, for Contrast and Auto Levels, from statistics of the whole picture:
// Brightness Scale, Contrast, Auto Levels and Gamma.

#include "Arithmetic.h"
#include "EffectKernels.h"
#include "PixelAccess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace vexa::effects {

namespace {

using ChannelTable = std::array<std::uint8_t, 256>;

// Writes every pixel of row y through the tables of blue, green and red.
void mapRow(const Frame& frame, int y, const ChannelTable& tb, const ChannelTable& tg,
            const ChannelTable& tr) {
    const std::uint8_t* s = frame.sourceRow(y);
    std::uint8_t* d = frame.targetRow(y);
    for (int x = 0; x < frame.width; ++x) {
        const std::uint32_t p = loadPixel(s + 4 * x);
        storePixel(d + 4 * x, makePixel(tb[p & 255], tg[(p >> 8) & 255], tr[(p >> 16) & 255], p));
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
    ChannelTable table;
    for (int i = 0; i < 256; ++i) {
        const double v = f * double(i);
        // The caller refuses factors whose table entries leave 32 bits.
        table[i] = std::uint8_t(clampChannel(roundHalfEven(v)));
    }
    return forEachRow(frame, 0, frame.height,
                      [&](int y) { mapRow(frame, y, table, table, table); });
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

EffectResult contrast(const Frame& frame, std::int32_t percent) {
    const std::int32_t d = meanGray(frame);
    if (!frame.progress->report(5)) return cancelled();
    const double e = percentFactor(percent);
    std::array<std::int32_t, 256> table;
    bool inRange = true; // every entry already a channel value: no spread clamp needed
    for (int k = 0; k < 256; ++k) {
        const double v = e * double(k - d) + double(d);
        if (!roundsIntoInt32(v))
            return refused("Contrast " + std::to_string(percent) +
                           " gives tone values beyond the 32-bit range");
        table[k] = std::int32_t(roundHalfEven(v));
        inRange = inRange && inChannelRange(table[k]);
    }
    const int w = frame.width;
    EffectResult result = forEachRow(
        frame, 0, frame.height,
        [&](int y) {
            const std::uint8_t* s = frame.sourceRow(y);
            std::uint8_t* dst = frame.targetRow(y);
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = loadPixel(s + 4 * x);
                std::int32_t b = table[p & 255];
                std::int32_t g = table[(p >> 8) & 255];
                std::int32_t r = table[(p >> 16) & 255];
                if (!inRange && !(inChannelRange(b) && inChannelRange(g) && inChannelRange(r)) &&
                    !spreadClamp(b, g, r))
                    return false;
                storePixel(dst + 4 * x,
                           makePixel(std::uint32_t(b), std::uint32_t(g), std::uint32_t(r), p));
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
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* s = frame.sourceRow(y);
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min<int>(low[k], s[4 * x + k]);
                high[k] = std::max<int>(high[k], s[4 * x + k]);
            }
        if (!frame.progress->afterRow(y + 1, frame.height, 0, 10)) return cancelled();
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
    return forEachRow(
        frame, 0, frame.height, [&](int y) { mapRow(frame, y, table[0], table[1], table[2]); }, 10,
        90);
}

EffectResult gamma(const Frame& frame, std::int32_t gammaTimes100) {
    // The caller refuses gamma 0 and below.
    const double g = double(float(double(gammaTimes100) / 100.0));
    const double exponent = 1.0 / g;
    ChannelTable table;
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t(
            clampChannel(roundHalfEven(std::pow(double(v) / 255.0, exponent) * 255.0)));
    return forEachRow(frame, 0, frame.height,
                      [&](int y) { mapRow(frame, y, table, table, table); });
}

} // namespace vexa::effects
