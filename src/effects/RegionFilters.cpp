// Effects that replace a pixel by the average of a region: Mosaic (square blocks) and
// Quadrant Smooth (the calmest of the four 3 x 3 quadrants around the pixel).

#include "EffectKernels.h"
#include "PixelAccess.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace vexa::effects {

EffectResult mosaic(const Frame& frame, std::int32_t blockSize) {
    // The caller refuses block sizes below 1. 64-bit throughout: block ends may pass 2^31
    // and a large bright block's sums would overflow 32 bits.
    const std::int64_t p = blockSize;
    const std::int64_t w = frame.width;
    const std::int64_t h = frame.height;
    const std::int64_t blocks = (w + p - 1) / p;
    std::vector<std::uint32_t> average(static_cast<std::size_t>(blocks));
    return forEachRow(frame, 0, frame.height, [&](int y) {
        if (y % p == 0) {
            // The first row of a band of blocks: every row of the band gets the same averages.
            const std::int64_t rowEnd = std::min(h, y + p);
            for (std::int64_t b = 0; b < blocks; ++b) {
                const std::int64_t colStart = b * p;
                const std::int64_t colEnd = std::min(w, colStart + p);
                std::int64_t sum[3] = {0, 0, 0};
                for (std::int64_t r = y; r < rowEnd; ++r) {
                    const std::uint8_t* s = frame.sourceRow(int(r));
                    for (std::int64_t x = colStart; x < colEnd; ++x)
                        for (int k = 0; k < 3; ++k) sum[k] += s[4 * x + k];
                }
                const std::int64_t n = (rowEnd - y) * (colEnd - colStart);
                average[std::size_t(b)] = std::uint32_t(sum[0] / n) |
                                          std::uint32_t(sum[1] / n) << 8 |
                                          std::uint32_t(sum[2] / n) << 16;
            }
        }
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (std::int64_t b = 0; b < blocks; ++b) {
            const std::uint32_t colour = average[std::size_t(b)];
            const std::int64_t colEnd = std::min(w, b * p + p);
            for (std::int64_t x = b * p; x < colEnd; ++x)
                storePixel(d + 4 * x, colour | (loadPixel(s + 4 * x) & kReservedMask));
        }
    });
}

namespace {

// Mean and dispersion of the 3 x 3 boxes centred on one row of the source, per byte of the
// row (the fourth byte of each pixel is computed too and never used).
struct BoxRow {
    int centreRow = -1;
    std::vector<std::uint8_t> mean;
    std::vector<std::uint16_t> dispersion;
};

void computeBoxRow(const Frame& frame, int cy, BoxRow& row) {
    const std::ptrdiff_t bytes = std::ptrdiff_t(frame.width) * 4;
    const std::uint8_t* rows[3] = {frame.sourceRow(cy - 1), frame.sourceRow(cy),
                                   frame.sourceRow(cy + 1)};
    row.centreRow = cy;
    row.mean.assign(std::size_t(bytes), 0);
    row.dispersion.assign(std::size_t(bytes), 0);
    for (std::ptrdiff_t i = 4; i < bytes - 4; ++i) {
        int sum = 0;
        for (const std::uint8_t* r : rows) sum += r[i - 4] + r[i] + r[i + 4];
        const int m = sum / 9;
        int d = 0;
        for (const std::uint8_t* r : rows)
            d += std::abs(r[i - 4] - m) + std::abs(r[i] - m) + std::abs(r[i + 4] - m);
        row.mean[std::size_t(i)] = std::uint8_t(m);
        row.dispersion[std::size_t(i)] = std::uint16_t(d);
    }
}

} // namespace

EffectResult quadrantSmooth(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    const int h = frame.height;
    const int top = 2, bottom = std::max(2, h - 2);
    const int left = 2, right = w - 2;
    for (int y = 0; y < h; ++y)
        if (y < top || y >= bottom) copyRow(frame, y);
    // The box rows centred on y - 1 and y + 1; each is used by two output rows.
    BoxRow cache[3];
    auto boxRow = [&](int cy) -> const BoxRow& {
        BoxRow& slot = cache[cy % 3];
        if (slot.centreRow != cy) computeBoxRow(frame, cy, slot);
        return slot;
    };
    return forEachRow(frame, top, bottom, [&](int y) {
        copyOutsideRange(frame, y, left, right, top, bottom);
        const BoxRow& above = boxRow(y - 1);
        const BoxRow& below = boxRow(y + 1);
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = left; x < right; ++x) {
            for (int k = 0; k < 3; ++k) {
                const std::size_t i = std::size_t(x) * 4 + std::size_t(k);
                // Regions 1 to 4: upper left, upper right, lower left, lower right; on equal
                // dispersion the lower number wins.
                const std::size_t centres[4][2] = {{0, i - 4}, {0, i + 4}, {1, i - 4}, {1, i + 4}};
                int best = 99999;
                int chosen = 0;
                for (const auto& c : centres) {
                    const BoxRow& row = c[0] == 0 ? above : below;
                    if (row.dispersion[c[1]] < best) {
                        best = row.dispersion[c[1]];
                        chosen = row.mean[c[1]];
                    }
                }
                d[i] = std::uint8_t(chosen);
            }
            d[std::size_t(x) * 4 + 3] = s[std::size_t(x) * 4 + 3];
        }
    });
}

} // namespace vexa::effects
