#include "core/picture/PictureIntegrity.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrityBmp.h"
#include "core/picture/PictureIntegrityJpeg.h"

#include <algorithm>
#include <cstdint>

namespace vexa::picture {

namespace {

// Skips a chain of GIF data sub-blocks starting at `pos`; -1 when the data ends first.
// `payload` grows by the bytes the sub-blocks carry.
qsizetype skipSubBlocks(const QByteArray& d, qsizetype pos, std::uint64_t& payload) {
    while (pos < d.size()) {
        const qsizetype length = byteAt(d, pos);
        pos += 1;
        if (length == 0) return pos;
        pos += length;
        payload += std::uint64_t(length);
    }
    return -1;
}

// The most pixels LZW data of `bytes` bytes can describe: every code is at least
// codeSize + 1 bits long, and stands for at most 4096 pixels (the string table has 4096
// entries, and each entry is one pixel longer than the one it extends).
std::uint64_t lzwPixelBound(std::uint64_t bytes, int codeSize) {
    return bytes * 8 / std::uint64_t(codeSize + 1) * 4096;
}

// Walks the GIF's blocks up to its trailer byte. Refuses a frame whose data cannot describe
// its pixels, and a logical screen (Qt builds the picture at the screen's size) over
// kSmallPictureArea that all frames together cannot fill.
bool gifComplete(const QByteArray& d) {
    if (d.size() < 13) return false;
    const std::uint64_t screenArea = std::uint64_t(le16(d, 6)) * le16(d, 8);
    std::uint64_t paintable = 0;
    qsizetype pos = 13;
    const std::uint8_t flags = byteAt(d, 10);
    if (flags & 0x80) pos += 3 * (qsizetype(1) << ((flags & 7) + 1));
    bool sawImage = false;
    while (pos < d.size()) {
        const std::uint8_t introducer = byteAt(d, pos);
        if (introducer == 0x3B) break;
        if (introducer == 0x00) { // a stray block terminator some writers leave: skipped
            ++pos;
            continue;
        }
        if (introducer == 0x21) { // extension: label, then sub-blocks
            std::uint64_t ignored = 0;
            pos = skipSubBlocks(d, pos + 2, ignored);
        } else if (introducer == 0x2C) { // image: descriptor, colour table, code size, data
            if (pos + 10 > d.size()) return false;
            const std::uint64_t area = std::uint64_t(le16(d, pos + 5)) * le16(d, pos + 7);
            const std::uint8_t imageFlags = byteAt(d, pos + 9);
            pos += 10;
            if (imageFlags & 0x80) pos += 3 * (qsizetype(1) << ((imageFlags & 7) + 1));
            if (pos >= d.size()) return false;
            const int codeSize = std::max<int>(1, std::min<int>(byteAt(d, pos), 11));
            std::uint64_t data = 0;
            pos = skipSubBlocks(d, pos + 1, data);
            const std::uint64_t bound = lzwPixelBound(data, codeSize);
            if (area > bound) return false;
            paintable += bound;
            sawImage = pos >= 0;
        } else {
            return false;
        }
        if (pos < 0) return false;
    }
    if (screenArea > kSmallPictureArea && screenArea > paintable) return false;
    // Some writers leave out the trailer; what was read up to here is whole.
    return sawImage;
}

} // namespace

bool isPictureDataComplete(const QByteArray& data) {
    if (data.startsWith("\xFF\xD8")) {
        const std::optional<JpegLayout> layout = jpegStructure(data);
        return layout && jpegDecodesCleanly(data, *layout);
    }
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return gifComplete(data);
    if (data.startsWith("BM")) return bmpComplete(data);
    return true;
}

} // namespace vexa::picture
