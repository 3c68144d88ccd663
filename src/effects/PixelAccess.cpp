#include "effects/PixelAccess.h"

#include <algorithm>

namespace vexa::effects {

void copyOutsideRange(const Frame& frame, int y, int left, int right, int top, int bottom) {
    if (y < top || y >= bottom) {
        copyRow(frame, y);
        return;
    }
    const int w = frame.width;
    left = std::clamp(left, 0, w);
    right = std::clamp(right, 0, w);
    const std::uint8_t* src = frame.sourceRow(y);
    std::uint8_t* dst = frame.targetRow(y);
    std::memcpy(dst, src, static_cast<std::size_t>(left) * 4);
    std::memcpy(dst + std::ptrdiff_t(right) * 4, src + std::ptrdiff_t(right) * 4,
                static_cast<std::size_t>(w - right) * 4);
}

std::int32_t meanGray(const Frame& frame) {
    std::int64_t sum = 0;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint32_t rowSum = 0; // at most 255 per pixel: a row of 2^24 pixels fits
        int x = 0;
        while (x < frame.width) {
            const int end = std::min(frame.width, x + (1 << 24));
            for (; x < end; ++x) {
                const std::uint32_t p = loadPixel(s + std::ptrdiff_t(x) * 4);
                rowSum += ((p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255)) / 3u;
            }
            sum += rowSum;
            rowSum = 0;
        }
    }
    const std::int64_t pixels = std::int64_t(frame.width) * frame.height;
    return static_cast<std::int32_t>(sum / pixels);
}

} // namespace vexa::effects
