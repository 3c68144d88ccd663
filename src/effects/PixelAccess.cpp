#include "effects/PixelAccess.h"

#include <vector>

namespace vexa::effects {

VEXA_VECTOR_CLONES std::uint64_t grayRowSum(const std::uint8_t* __restrict row, int width) {
    std::uint64_t sum = 0;
    for (int x = 0; x < width; ++x) {
        const std::uint32_t p = loadPixel(row + std::ptrdiff_t(x) * 4);
        sum += grayOf(p);
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
