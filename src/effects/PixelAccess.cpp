#include "effects/PixelAccess.h"

#include <vector>

namespace vexa::effects {

VEXA_VECTOR_CLONES std::uint64_t grayRowSum(const std::uint8_t* __restrict row, int width) {
    // Summed in 32 bits over runs of pixels short enough not to overflow, which vector
    // registers add twice as many at a time as 64-bit sums.
    constexpr int kRun = 2048;
    std::uint64_t sum = 0;
    for (int start = 0; start < width; start += kRun) {
        const int end = width - start < kRun ? width : start + kRun;
        std::uint32_t run = 0;
        for (int x = start; x < end; ++x) run += grayOf(loadPixel(row + std::ptrdiff_t(x) * 4));
        sum += run;
    }
    return sum;
}

std::int32_t meanGray(const Frame& frame) {
    std::uint64_t sum = 0;
    for (int y = 0; y < frame.height; ++y) sum += grayRowSum(frame.unchangedRow(y), frame.width);
    const std::uint64_t pixels = std::uint64_t(frame.width) * std::uint64_t(frame.height);
    return static_cast<std::int32_t>(sum / pixels);
}

EffectResult meanGrayInBands(const Frame& frame, std::int32_t& mean) {
    std::vector<std::uint64_t> rowSums(std::size_t(frame.height));
    RowPlan plan;
    plan.last = frame.height;
    plan.writes = false;
    plan.yields = false;
    plan.ends = false;
    const EffectResult result = forEachRowInBands(frame, plan, [&] {
        return [&](int y) {
            rowSums[std::size_t(y)] = grayRowSum(frame.unchangedRow(y), frame.width);
        };
    });
    if (result.status != EffectStatus::Done) return result;
    std::uint64_t sum = 0;
    for (const std::uint64_t s : rowSums) sum += s;
    mean =
        static_cast<std::int32_t>(sum / (std::uint64_t(frame.width) * std::uint64_t(frame.height)));
    return result;
}

} // namespace vexa::effects
