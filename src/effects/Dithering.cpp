// Conversions to pure black and white that keep the impression of gray: the sharp
// threshold dither (a carried error over a sharpened gray), the ordered dither (a 4 x 4
// threshold matrix) and three error diffusions (Floyd-Steinberg, Burkes, Stucki).

#include "Arithmetic.h"
#include "EffectKernels.h"
#include "PixelAccess.h"

#include <array>
#include <vector>

namespace vexa::effects {

namespace {

inline std::uint32_t blackOrWhite(bool white, std::uint32_t original) {
    return (white ? kColourMask : 0u) | (original & kReservedMask);
}

inline int grayOf(const std::uint8_t* p) {
    return (p[0] + p[1] + p[2]) / 3;
}

} // namespace

EffectResult sharpThresholdDither(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    const int h = frame.height;
    const std::int32_t mean = meanGray(frame);
    if (!frame.progress->report(5)) return cancelled();
    std::vector<int> gray(static_cast<std::size_t>(w));
    int carry = 0; // runs on from the end of one row into the next
    return forEachRow(
        frame, 0, h,
        [&](int y) {
            const std::uint8_t* cur = frame.sourceRow(y);
            const bool borderRow = y == 0 || y == h - 1;
            const std::uint8_t* up = borderRow ? nullptr : frame.sourceRow(y - 1);
            const std::uint8_t* down = borderRow ? nullptr : frame.sourceRow(y + 1);
            for (int x = 0; x < w; ++x) {
                const std::ptrdiff_t i = std::ptrdiff_t(x) * 4;
                if (borderRow || x == 0 || x == w - 1) {
                    gray[std::size_t(x)] = grayOf(cur + i);
                    continue;
                }
                int sum = 0;
                for (int k = 0; k < 3; ++k) {
                    const std::ptrdiff_t j = i + k;
                    const int n8 = up[j - 4] + up[j] + up[j + 4] + cur[j - 4] + cur[j + 4] +
                                   down[j - 4] + down[j] + down[j + 4];
                    sum += clampChannel((10 * cur[j] - n8) / 2);
                }
                gray[std::size_t(x)] = sum / 3;
            }
            std::uint8_t* out = frame.targetRow(y);
            for (int x = 0; x < w; ++x) {
                const int f = clampChannel(carry + gray[std::size_t(x)]);
                const int t = f < mean ? 0 : 255;
                const std::ptrdiff_t i = std::ptrdiff_t(x) * 4;
                storePixel(out + i, blackOrWhite(t != 0, loadPixel(cur + i)));
                carry = (f - t) / 4;
            }
        },
        5, 95);
}

EffectResult orderedDither(const Frame& frame, std::int32_t) {
    static constexpr std::uint8_t kMatrix[4][4] = {
        {1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
    const int w = frame.width;
    return forEachRow(frame, 0, frame.height, [&](int y) {
        const std::uint8_t* matrixRow = kMatrix[y % 4];
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = s + std::ptrdiff_t(x) * 4;
            const int level = (p[0] + p[1] + p[2]) / 48 + 1;
            storePixel(d + std::ptrdiff_t(x) * 4,
                       blackOrWhite(level >= matrixRow[x % 4], loadPixel(p)));
        }
    });
}

namespace {

// One receiving position of an error-diffusion kernel.
struct Share {
    int row; // 0 = the current row, 1 = the next, 2 = the one after
    int column;
    int weight;
};

// The share of every error e in -255..255 for one weight: (e x weight) \ divisor,
// truncating toward zero.
using ShareTable = std::array<std::int32_t, 511>;

ShareTable makeShareTable(int weight, int divisor) {
    ShareTable table;
    for (int e = -255; e <= 255; ++e) table[std::size_t(e + 255)] = (e * weight) / divisor;
    return table;
}

template <std::size_t N>
EffectResult diffuseError(const Frame& frame, std::int32_t scale, const Share (&kernel)[N],
                          int divisor) {
    const int w = frame.width;
    const int h = frame.height;
    std::array<ShareTable, N> shares;
    for (std::size_t s = 0; s < N; ++s) shares[s] = makeShareTable(kernel[s].weight, divisor);
    // Three error rows with two spare columns on each side, so shares that fall outside
    // the picture land in cells that are never read.
    constexpr int kPad = 2;
    const std::size_t rowLength = std::size_t(w) + 2 * kPad;
    std::vector<std::int32_t> rows[3];
    for (auto& r : rows) r.assign(rowLength, 0);
    if (!frame.progress->report(2)) return cancelled();
    const std::int32_t mean = meanGray(frame);
    if (!frame.progress->report(10)) return cancelled();
    // (error x 10) \ scale for every error sum a position can collect: the weights that
    // reach one position add up to at most the divisor, so the sum stays in -255..255.
    std::array<std::int32_t, 511> scaled;
    for (int e = -255; e <= 255; ++e) scaled[std::size_t(e + 255)] = (e * 10) / scale;
    int first = 0; // which of the three error rows is the current one
    return forEachRow(
        frame, 0, h,
        [&](int y) {
            std::int32_t* er[3];
            for (int r = 0; r < 3; ++r) er[r] = rows[(first + r) % 3].data() + kPad;
            const std::uint8_t* s = frame.sourceRow(y);
            std::uint8_t* d = frame.targetRow(y);
            for (int x = 0; x < w; ++x) {
                const std::ptrdiff_t i = std::ptrdiff_t(x) * 4;
                const std::int32_t sum = er[0][x];
                const std::int32_t spread =
                    sum >= -255 && sum <= 255 ? scaled[std::size_t(sum + 255)] : (sum * 10) / scale;
                const int o = clampChannel(grayOf(s + i) + spread);
                const int t = o < mean ? 0 : 255;
                storePixel(d + i, blackOrWhite(t != 0, loadPixel(s + i)));
                const std::size_t e = std::size_t(o - t + 255);
                for (std::size_t k = 0; k < N; ++k)
                    er[kernel[k].row][x + kernel[k].column] += shares[k][e];
            }
            // The rows move up; the freed one becomes the last and starts at 0.
            std::fill(rows[first].begin(), rows[first].end(), 0);
            first = (first + 1) % 3;
        },
        10, 90);
}

} // namespace

EffectResult floydSteinbergDither(const Frame& frame, std::int32_t scale) {
    static constexpr Share kKernel[] = {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}};
    return diffuseError(frame, scale, kKernel, 16);
}

EffectResult burkesDither(const Frame& frame, std::int32_t scale) {
    static constexpr Share kKernel[] = {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4},
                                        {1, 0, 8}, {1, 1, 4}, {1, 2, 2}};
    return diffuseError(frame, scale, kKernel, 32);
}

EffectResult stuckiDither(const Frame& frame, std::int32_t scale) {
    static constexpr Share kKernel[] = {{0, 1, 8},  {0, 2, 4}, {1, -2, 2}, {1, -1, 4},
                                        {1, 0, 8},  {1, 1, 4}, {1, 2, 2},  {2, -2, 1},
                                        {2, -1, 2}, {2, 0, 4}, {2, 1, 2},  {2, 2, 1}};
    return diffuseError(frame, scale, kKernel, 42);
}

} // namespace vexa::effects
