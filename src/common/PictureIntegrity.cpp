#include "PictureIntegrity.h"

#include <cstdint>
#include <cstdlib>

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

// A JPEG is complete when an end-of-image marker follows the last start-of-scan marker.
bool jpegComplete(const QByteArray& d) {
    const qsizetype lastScan = d.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    if (lastScan < 0) return false;
    return d.indexOf(QByteArrayView("\xFF\xD9", 2), lastScan + 2) >= 0;
}

// Skips a chain of GIF data sub-blocks starting at `pos`; -1 when the data ends first.
qsizetype skipSubBlocks(const QByteArray& d, qsizetype pos) {
    while (pos < d.size()) {
        const qsizetype length = byteAt(d, pos);
        pos += 1;
        if (length == 0) return pos;
        pos += length;
    }
    return -1;
}

// Walks the GIF's blocks up to its trailer byte.
bool gifComplete(const QByteArray& d) {
    if (d.size() < 13) return false;
    qsizetype pos = 13;
    const std::uint8_t flags = byteAt(d, 10);
    if (flags & 0x80) pos += 3 * (qsizetype(1) << ((flags & 7) + 1));
    bool sawImage = false;
    while (pos < d.size()) {
        const std::uint8_t introducer = byteAt(d, pos);
        if (introducer == 0x3B) return sawImage;
        if (introducer == 0x21) { // extension: label, then sub-blocks
            pos = skipSubBlocks(d, pos + 2);
        } else if (introducer == 0x2C) { // image: descriptor, colour table, code size, data
            if (pos + 10 > d.size()) return false;
            const std::uint8_t imageFlags = byteAt(d, pos + 9);
            pos += 10;
            if (imageFlags & 0x80) pos += 3 * (qsizetype(1) << ((imageFlags & 7) + 1));
            pos = skipSubBlocks(d, pos + 1);
            sawImage = pos >= 0;
        } else {
            return false;
        }
        if (pos < 0) return false;
    }
    // Some writers leave out the trailer; what was read up to here is whole.
    return sawImage;
}

// An uncompressed BMP is complete when the file holds every row the header announces.
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
    if (compression != 0 && compression != 3 && compression != 6)
        return true; // run-length and embedded formats: their reader knows when data is missing
    if (width <= 0 || bits == 0 || bits > 32)
        return true; // let the reader refuse a nonsensical header
    const std::int64_t stride = ((width * bits + 31) / 32) * 4;
    const std::int64_t needed = std::int64_t(offset) + stride * std::llabs(height);
    return needed <= d.size();
}

} // namespace

bool isPictureDataComplete(const QByteArray& data) {
    if (data.startsWith("\xFF\xD8")) return jpegComplete(data);
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return gifComplete(data);
    if (data.startsWith("BM")) return bmpComplete(data);
    return true;
}

} // namespace vexa
