// Effects that replace a pixel by the average of a region: Mosaic (square blocks) and
// Quadrant Smooth (the calmest of the four 3 x 3 quadrants around the pixel).

#include "effects/EffectKernels.h"
#include "effects/PixelAccess.h"
#include "effects/VectorClones.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace vexa::effects {

namespace {

// Adds each byte of a row to its column's sum.
VEXA_VECTOR_CLONES void addRow(const std::uint8_t* __restrict row, std::uint32_t* __restrict sums,
                               std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) sums[i] += row[i];
}

} // namespace

EffectResult mosaic(const Frame& frame, std::int32_t blockSize) {
    // The caller refuses block sizes below 1. 64-bit throughout: block ends may pass 2^31
    // and a large bright block's sums would overflow 32 bits.
    const std::int64_t p = blockSize;
    const std::int64_t w = frame.width;
    const std::int64_t h = frame.height;
    const std::int64_t blocks = (w + p - 1) / p;
    // Bands of rows hold whole bands of blocks, so a band reads only its own rows: at the
    // first row of a band of blocks all of them, none of them written yet.
    RowPlan plan;
    plan.last = frame.height;
    plan.align = int(std::min(p, h));
    plan.below = plan.align - 1;
    plan.readsCopy = false;
    return forEachRowInBands(frame, plan, [&] {
        return [&, average = std::vector<std::uint32_t>(static_cast<std::size_t>(blocks)),
                columns = std::vector<std::uint64_t>(),
                part = std::vector<std::uint32_t>()](int y) mutable {
            if (y % p == 0) {
                // The first row of a band of blocks: every row of the band gets the same
                // averages. Each byte column is summed down the band first, in vector loops.
                const std::int64_t rowEnd = std::min(h, y + p);
                const std::size_t bytes = std::size_t(w) * 4;
                columns.assign(bytes, 0);
                part.assign(bytes, 0);
                for (std::int64_t r = y; r < rowEnd;) {
                    // 2^24 rows of 255 fit the 32-bit part sums.
                    const std::int64_t chunkEnd = std::min(rowEnd, r + (std::int64_t(1) << 24));
                    for (; r < chunkEnd; ++r) addRow(frame.targetRow(int(r)), part.data(), bytes);
                    for (std::size_t i = 0; i < bytes; ++i) {
                        columns[i] += part[i];
                        part[i] = 0;
                    }
                }
                for (std::int64_t b = 0; b < blocks; ++b) {
                    const std::int64_t colStart = b * p;
                    const std::int64_t colEnd = std::min(w, colStart + p);
                    std::uint64_t sum[3] = {0, 0, 0};
                    for (std::int64_t x = colStart; x < colEnd; ++x)
                        for (int k = 0; k < 3; ++k) sum[k] += columns[std::size_t(4 * x + k)];
                    const std::uint64_t n = std::uint64_t((rowEnd - y) * (colEnd - colStart));
                    average[std::size_t(b)] = std::uint32_t(sum[0] / n) |
                                              std::uint32_t(sum[1] / n) << 8 |
                                              std::uint32_t(sum[2] / n) << 16;
                }
            }
            std::uint8_t* d = frame.targetRow(y);
            for (std::int64_t b = 0; b < blocks; ++b) {
                const std::uint32_t colour = average[std::size_t(b)];
                const std::int64_t colEnd = std::min(w, b * p + p);
                for (std::int64_t x = b * p; x < colEnd; ++x)
                    storePixel(d + 4 * x, colour | (loadPixel(d + 4 * x) & kReservedMask));
            }
        };
    });
}

namespace {

// Mean and dispersion of the 3 x 3 boxes centred on one row of the source, per byte of the
// row (the fourth byte of each pixel is computed too and never used). Both fit in 16 bits
// (a dispersion is at most 9 x 255), which keeps the loops in narrow vector lanes.
struct BoxRow {
    int centreRow = -1;
    std::vector<std::uint16_t> mean;
    std::vector<std::uint16_t> dispersion;
};

// The boxes centred on the bytes 4 .. bytes - 5 of the source row b, with a and c above and
// below it.
VEXA_VECTOR_CLONES void boxes(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
                              const std::uint8_t* __restrict c, std::uint16_t* __restrict mean,
                              std::uint16_t* __restrict dispersion, std::ptrdiff_t bytes) {
    for (std::ptrdiff_t i = 4; i < bytes - 4; ++i) {
        const std::uint16_t sum = std::uint16_t(a[i - 4] + a[i] + a[i + 4] + b[i - 4] + b[i] +
                                                b[i + 4] + c[i - 4] + c[i] + c[i + 4]);
        const std::int16_t m = std::int16_t(sum / 9);
        auto dist = [m](std::uint8_t v) { return std::uint16_t(std::abs(std::int16_t(v - m))); };
        mean[i] = std::uint16_t(m);
        dispersion[i] = std::uint16_t(dist(a[i - 4]) + dist(a[i]) + dist(a[i + 4]) +
                                      dist(b[i - 4]) + dist(b[i]) + dist(b[i + 4]) +
                                      dist(c[i - 4]) + dist(c[i]) + dist(c[i + 4]));
    }
}

void computeBoxRow(const Band& band, int width, int cy, BoxRow& row) {
    const std::ptrdiff_t bytes = std::ptrdiff_t(width) * 4;
    row.centreRow = cy;
    row.mean.resize(std::size_t(bytes));
    row.dispersion.resize(std::size_t(bytes));
    boxes(band.sourceRow(cy - 1), band.sourceRow(cy), band.sourceRow(cy + 1), row.mean.data(),
          row.dispersion.data(), bytes);
}

// Regions 1 to 4 are the boxes centred up-left, up-right, down-left and down-right of the
// pixel; the first with the smallest dispersion wins, so ties go to region 1. Channel 4 keeps
// the source's value (the mask `keep` is 0xFF there).
VEXA_VECTOR_CLONES void
calmestRegion(const std::uint16_t* __restrict upMean, const std::uint16_t* __restrict upDisp,
              const std::uint16_t* __restrict downMean, const std::uint16_t* __restrict downDisp,
              const std::uint8_t* __restrict s, const std::uint8_t* __restrict keep,
              std::uint8_t* __restrict d, std::ptrdiff_t begin, std::ptrdiff_t end) {
    for (std::ptrdiff_t i = begin; i < end; ++i) {
        // Every value is loaded unconditionally so the choice compiles to selects.
        const std::uint16_t d1 = upDisp[i - 4], d2 = upDisp[i + 4];
        const std::uint16_t d3 = downDisp[i - 4], d4 = downDisp[i + 4];
        const std::uint16_t m1 = upMean[i - 4], m2 = upMean[i + 4];
        const std::uint16_t m3 = downMean[i - 4], m4 = downMean[i + 4];
        std::uint16_t best = d1, chosen = m1;
        chosen = d2 < best ? m2 : chosen;
        best = d2 < best ? d2 : best;
        chosen = d3 < best ? m3 : chosen;
        best = d3 < best ? d3 : best;
        chosen = d4 < best ? m4 : chosen;
        d[i] = std::uint8_t((std::uint8_t(chosen) & ~keep[i]) | (s[i] & keep[i]));
    }
}

} // namespace

EffectResult quadrantSmooth(const Frame& frame, std::int32_t) {
    const int w = frame.width;
    const int h = frame.height;
    const int top = 2, bottom = std::max(2, h - 2);
    const std::ptrdiff_t begin = 2 * 4, end = std::ptrdiff_t(w - 2) * 4;
    std::vector<std::uint8_t> keep(std::size_t(w) * 4, 0);
    for (std::size_t i = 3; i < keep.size(); i += 4) keep[i] = 0xFF;
    RowPlan plan;
    plan.first = top;
    plan.last = bottom;
    plan.above = 2;
    plan.below = 2;
    // calmestRegion writes every byte from begin to end, the fourth ones from the source.
    plan.writesFrom = begin;
    plan.writesTo = std::max(begin, end);
    return forEachRowInBands(frame, plan, [&](const Band& band) {
        // The box rows centred on y - 1 and y + 1; each is used by two output rows.
        return [&, cache = std::array<BoxRow, 3>()](int y) mutable {
            if (end <= begin) return;
            auto boxRow = [&](int cy) -> const BoxRow& {
                BoxRow& slot = cache[std::size_t(cy % 3)];
                if (slot.centreRow != cy) computeBoxRow(band, w, cy, slot);
                return slot;
            };
            const BoxRow& up = boxRow(y - 1);
            const BoxRow& down = boxRow(y + 1);
            calmestRegion(up.mean.data(), up.dispersion.data(), down.mean.data(),
                          down.dispersion.data(), band.sourceRow(y), keep.data(), band.targetRow(y),
                          begin, end);
        };
    });
}

} // namespace vexa::effects
