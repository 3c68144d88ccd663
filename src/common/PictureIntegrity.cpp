#include "PictureIntegrity.h"

#include "PictureIntegrityJpeg.h"

#include <algorithm>
#include <cstdint>

namespace vexa {

namespace {

std::uint8_t byteAt(const QByteArray& data, qsizetype i) {
    return static_cast<std::uint8_t>(data[i]);
}

std::uint32_t le16(const QByteArray& d, qsizetype i) {
    return byteAt(d, i) | (byteAt(d, i + 1) << 8);
}

std::uint32_t le32(const QByteArray& d, qsizetype i) {
    return le16(d, i) | (le16(d, i + 2) << 16);
}

// Pictures up to this many pixels pass the run-length bounds below whatever their data: small
// sprites with transparent areas skipped by escapes are real, and their canvas costs little.
constexpr std::uint64_t kSmallPictureArea = std::uint64_t(1) << 20;

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

// An uncompressed BMP is complete when the file holds every row the header announces. A
// run-length BMP (RLE8, RLE4) codes at most 255 pixels in a two-byte run; its escapes can
// skip pixels, which writers use for small transparent areas, not for a whole picture: so
// over kSmallPictureArea pixels the data must hold two bytes per 255 pixels.
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
    if (compression == 1 || compression == 2) {
        const std::uint64_t area = std::uint64_t(width) * rows; // below 2^62: no overflow
        return area <= kSmallPictureArea || area / 255 * 2 <= data;
    }
    if (compression != 0 && compression != 3 && compression != 6)
        return true; // embedded formats: their reader knows when data is missing
    const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    // rows * stride can pass 2^64 for a hostile header; compare by division instead.
    return rows <= data / stride;
}

} // namespace

bool isPictureDataComplete(const QByteArray& data) {
    if (data.startsWith("\xFF\xD8")) return jpegStructureSound(data) && jpegDecodesCleanly(data);
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return gifComplete(data);
    if (data.startsWith("BM")) return bmpComplete(data);
    return true;
}

} // namespace vexa
