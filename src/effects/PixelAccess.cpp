#include "effects/PixelAccess.h"

#include <algorithm>

namespace vexa::effects {

std::int32_t meanGray(const Frame& frame) {
    std::int64_t sum = 0;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* s = frame.unchangedRow(y);
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
