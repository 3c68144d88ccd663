// Effects whose output pixel depends on the same input pixel alone: Negative, Gray Scale,
// Swap Channels, Black & White, Add Noise and Saturation.

#include "Arithmetic.h"
#include "EffectKernels.h"
#include "PixelAccess.h"
#include "Random.h"

#include <cmath>
#include <vector>

namespace vexa::effects {

EffectResult negative(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    return forEachRow(frame, 0, frame.height, [&](int y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) storePixel(d + 4 * x, loadPixel(s + 4 * x) ^ kColourMask);
    });
}

EffectResult grayScale(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    return forEachRow(frame, 0, frame.height, [&](int y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = loadPixel(s + 4 * x);
            const std::uint32_t v = ((p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255)) / 3;
            storePixel(d + 4 * x, v * 0x010101u | (p & kReservedMask));
        }
    });
}

EffectResult swapChannels(const Frame& frame, std::int32_t permutation) {
    const int w = frame.width;
    if (permutation < 1 || permutation > 5) {
        // Any other permutation number writes nothing.
        return forEachRow(frame, 0, frame.height, [&](int y) { copyRow(frame, y); });
    }
    // Where blue, green and red of the result come from, as a shift of the source word.
    static constexpr int kFrom[6][3] = {{0, 0, 0},  {8, 16, 0}, {16, 0, 8},
                                        {8, 0, 16}, {16, 8, 0}, {0, 16, 8}};
    const int fromB = kFrom[permutation][0];
    const int fromG = kFrom[permutation][1];
    const int fromR = kFrom[permutation][2];
    return forEachRow(frame, 0, frame.height, [&](int y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = loadPixel(s + 4 * x);
            storePixel(d + 4 * x,
                       makePixel((p >> fromB) & 255, (p >> fromG) & 255, (p >> fromR) & 255, p));
        }
    });
}

EffectResult blackAndWhite(const Frame& frame, std::int32_t threshold) {
    const Colour c = SplitColour(threshold);
    const int w = frame.width;
    return forEachRow(frame, 0, frame.height, [&](int y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = loadPixel(s + 4 * x);
            const bool black = std::int32_t((p >> 16) & 255) < c.red &&
                               std::int32_t((p >> 8) & 255) < c.green &&
                               std::int32_t(p & 255) < c.blue;
            storePixel(d + 4 * x, (black ? 0u : kColourMask) | (p & kReservedMask));
        }
    });
}

EffectResult addNoise(const Frame& frame, std::int32_t amplitude) {
    // The caller has refused amplitudes for which 2p + 1 leaves 32 bits.
    const double width = double(2 * amplitude + 1);
    const double shift = double(amplitude);
    const int w = frame.width;
    std::vector<float> random(std::size_t(w) * 3);
    std::vector<double> offset(std::size_t(w) * 3);
    Lcg24& generator = engineRandom();
    return forEachRow(frame, 0, frame.height, [&](int y) {
        // Three numbers per pixel, blue, green, red, pixels left to right.
        generator.fill(random.data(), random.size());
        for (std::size_t i = 0; i < random.size(); ++i)
            offset[i] = double(random[i]) * width - shift;
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) {
            const double* o = &offset[std::size_t(x) * 3];
            const std::uint8_t* p = s + 4 * x;
            std::uint8_t* q = d + 4 * x;
            for (int k = 0; k < 3; ++k)
                q[k] = std::uint8_t(clampChannel(roundToInt32(o[k] + double(p[k]))));
            q[3] = p[3];
        }
    });
}

namespace {

// Saturation's result depends only on the channel and the pixel's gray: tabled once for all
// 256 x 256 pairs. In a checked table, 256 marks a value that rounds beyond 32 bits.
template <typename Entry>
bool saturateRow(const Frame& frame, int y, const std::vector<Entry>& table) {
    const std::uint8_t* s = frame.sourceRow(y);
    std::uint8_t* d = frame.targetRow(y);
    std::uint32_t seen = 0;
    for (int x = 0; x < frame.width; ++x) {
        const std::uint32_t p = loadPixel(s + 4 * x);
        const std::uint32_t b = p & 255, g = (p >> 8) & 255, r = (p >> 16) & 255;
        const Entry* row = &table[std::size_t((b + g + r) / 3) * 256];
        const std::uint32_t nb = row[b], ng = row[g], nr = row[r];
        seen |= nb | ng | nr;
        storePixel(d + 4 * x, makePixel(nb & 255, ng & 255, nr & 255, p));
    }
    return seen < 256;
}

template <typename Entry> std::vector<Entry> saturationTable(double f) {
    std::vector<Entry> table(256 * 256);
    for (int gray = 0; gray < 256; ++gray)
        for (int v = 0; v < 256; ++v) {
            const double x = f * double(v - gray) + double(v);
            table[std::size_t(gray * 256 + v)] =
                roundsIntoInt32(x) ? Entry(clampChannel(roundToInt32(x))) : Entry(256);
        }
    return table;
}

} // namespace

EffectResult saturation(const Frame& frame, std::int32_t percent) {
    const double f = double(float(double(percent) / 100.0));
    // |S - gray| is at most 170 (a pure primary against its gray); below this factor no pixel
    // can round beyond 32 bits and the table needs only bytes.
    EffectResult result;
    if (std::fabs(f) * 170.0 + 255.0 < 2147483647.0) {
        const auto table = saturationTable<std::uint8_t>(f);
        result =
            forEachRow(frame, 0, frame.height, [&](int y) { return saturateRow(frame, y, table); });
    } else {
        const auto table = saturationTable<std::uint16_t>(f);
        result =
            forEachRow(frame, 0, frame.height, [&](int y) { return saturateRow(frame, y, table); });
    }
    if (result.status == EffectStatus::Refused)
        result.reason =
            "Saturation " + std::to_string(percent) + " pushes a channel beyond the 32-bit range";
    return result;
}

} // namespace vexa::effects
