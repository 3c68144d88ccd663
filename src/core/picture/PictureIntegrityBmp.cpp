#include "core/picture/PictureIntegrityBmp.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrity.h"

#include <cstdint>

namespace vexa::picture {

namespace {

constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;

// Walks run-length data from `pos` through its escapes.
bool runLengthDataComplete(const QByteArray& d, qsizetype pos, std::uint32_t compression,
                           std::uint64_t rows) {
    std::uint64_t rowsClosed = 0;
    while (pos + 1 < d.size()) {
        const std::uint8_t count = byteAt(d, pos);
        const std::uint8_t value = byteAt(d, pos + 1);
        pos += 2;
        if (count != 0) continue;    // a run of `count` pixels
        if (value == 1) return true; // end of bitmap
        if (value == 0) {
            ++rowsClosed; // end of line
        } else if (value == 2) {
            if (pos + 1 < d.size()) rowsClosed += byteAt(d, pos + 1); // delta: x, y
            pos += 2;
        } else { // `value` pixels given one by one, padded to an even number of bytes
            const qsizetype bytes = compression == kRle4 ? (value + 1) / 2 : value;
            pos += bytes + (bytes & 1);
        }
    }
    return pos <= d.size() && rowsClosed >= rows;
}

} // namespace

bool bmpComplete(const QByteArray& d) {
    if (d.size() < 26) return false;
    const std::uint32_t offset = le32(d, 10);
    const std::uint32_t headerSize = le32(d, 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    if (headerSize == 12) { // OS/2 core header
        width = le16(d, 18);
        height = le16(d, 20);
        bits = le16(d, 24);
    } else {
        if (d.size() < 34) return false;
        width = static_cast<std::int32_t>(le32(d, 18));
        height = static_cast<std::int32_t>(le32(d, 22));
        bits = le16(d, 28);
        compression = le32(d, 30);
    }
    if (width <= 0 || bits == 0 || bits > 32)
        return true; // let the reader refuse a nonsensical header
    if (offset > std::uint64_t(d.size())) return false;
    const std::uint64_t data = std::uint64_t(d.size()) - offset;
    const std::uint64_t rows = std::uint64_t(height < 0 ? -height : height);
    if (compression == kRle8 || compression == kRle4) {
        const std::uint64_t area = std::uint64_t(width) * rows; // below 2^62: no overflow
        if (area > kSmallPictureArea && area / 255 * 2 > data) return false;
        return runLengthDataComplete(d, qsizetype(offset), compression, rows);
    }
    if (compression != 0 && compression != 3 && compression != 6)
        return true; // embedded formats: their reader knows when data is missing
    const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    // rows * stride can pass 2^64 for a hostile header; compare by division instead.
    return rows <= data / stride;
}

} // namespace vexa::picture
