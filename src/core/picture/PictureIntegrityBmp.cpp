#include "core/picture/PictureIntegrityBmp.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrity.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

namespace vexa::picture {

namespace {

constexpr qsizetype kFileHeaderBytes = 14;

bool knownHeaderSize(std::uint32_t size) {
    switch (size) {
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

// A mask is one run of bits.
bool contiguous(std::uint32_t mask) {
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// The masks, cut to the pixel's bits as the reader takes them, hold together.
bool masksHoldTogether(std::array<std::uint32_t, 4>& masks, int bits) {
    if (bits == 16)
        for (std::uint32_t& mask : masks) mask &= 0xFFFF;
    std::uint32_t seen = 0;
    for (std::size_t i = 0; i < masks.size(); ++i) {
        const std::uint32_t mask = masks[i];
        if (mask == 0) {
            if (i < 3) return false; // an empty colour
            continue;
        }
        if (!contiguous(mask) || (seen & mask) != 0) return false;
        seen |= mask;
    }
    return true;
}

bool compressionFits(std::uint32_t compression, int bits, std::uint32_t headerSize) {
    switch (compression) {
    case 0:
        return true;
    case kBmpRle8:
        return bits == 8;
    case kBmpRle4:
        return bits == 4;
    case kBmpBitfields:
    case kBmpAlphaBitfields:
        // OS/2 headers use these numbers for other codings.
        return (bits == 16 || bits == 32) && headerSize != 16 && headerSize != 64;
    case 4: // JPEG and PNG data inside: left to the reader
    case 5:
        return headerSize >= 40;
    default:
        return false;
    }
}

// Where a pixel of `bits` bits names a colour index at or beyond `entries`.
class IndexCheck {
public:
    IndexCheck(int bits, int entries) : m_bits(bits), m_entries(entries) {}
    bool needed() const { return m_bits <= 8 && m_entries < (1 << m_bits); }
    bool fits(int index) const { return index < m_entries; }
    // The `count` pixels of a row stored from `at`.
    bool rowFits(const QByteArray& d, qsizetype at, std::int64_t count) const {
        for (std::int64_t x = 0; x < count; ++x) {
            const std::uint8_t byte = byteAt(d, at + qsizetype(x * m_bits / 8));
            const int shift = 8 - m_bits - int(x * m_bits % 8);
            if (!fits((byte >> shift) & ((1 << m_bits) - 1))) return false;
        }
        return true;
    }

private:
    int m_bits;
    int m_entries;
};

// Walks run-length data from `pos` through its escapes, keeping every pixel inside the
// picture and inside the palette.
bool runLengthDataComplete(const QByteArray& d, const BmpLayout& layout) {
    const bool rle4 = layout.compression == kBmpRle4;
    const IndexCheck palette(layout.bits, layout.paletteEntries);
    const auto fits = [&](int value) {
        return !palette.needed() ||
               (rle4 ? palette.fits(value >> 4) && palette.fits(value & 15) : palette.fits(value));
    };
    qsizetype pos = layout.offset;
    std::int64_t x = 0;
    std::int64_t y = 0; // rows closed
    const auto place = [&](std::int64_t count) {
        if (y >= layout.height || x + count > layout.width) return false;
        x += count;
        return true;
    };
    while (pos + 1 < d.size()) {
        const std::uint8_t count = byteAt(d, pos);
        const std::uint8_t value = byteAt(d, pos + 1);
        pos += 2;
        if (count != 0) { // a run of `count` pixels
            if (!place(count) || !fits(value)) return false;
            continue;
        }
        if (value == 1) { // end of bitmap
            // Cut where two bytes happen to read as the end: the file is shorter than its
            // header says, and the image data ends before the size the header gives.
            const std::uint32_t imageSize = le32(d, 34);
            const bool shortFile = d.size() < qsizetype(le32(d, 2));
            return !(shortFile && imageSize != 0 &&
                     std::uint64_t(pos) < std::uint64_t(layout.offset) + imageSize);
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 2) { // delta: right and up
            if (pos + 1 >= d.size()) return false;
            x += byteAt(d, pos);
            y += byteAt(d, pos + 1);
            pos += 2;
            if (x > layout.width || y > layout.height) return false;
        } else { // `value` pixels given one by one, padded to an even number of bytes
            const qsizetype bytes = rle4 ? (value + 1) / 2 : value;
            if (pos + bytes > d.size() || !place(value)) return false;
            for (qsizetype i = 0; i < bytes; ++i)
                if (!fits(rle4 && 2 * i + 1 == value ? byteAt(d, pos + i) & 0xF0
                                                     : byteAt(d, pos + i)))
                    return false;
            pos += bytes + (bytes & 1);
        }
    }
    // Without an end of bitmap, complete when end-of-line escapes closed every row.
    return y >= layout.height;
}

// Uncompressed pixel data a whole row or more longer than the rows need, in the file and by
// its header's image size (when given): the width or height was made smaller, or the bit
// count, and part of the picture would not show. A colour profile a version 5 header puts after
// the pixels is no pixel data.
bool holdsMoreRows(const QByteArray& d, const BmpLayout& layout, std::uint64_t stride) {
    const std::uint64_t needed = std::uint64_t(layout.height) * stride;
    std::uint64_t end = std::uint64_t(d.size());
    constexpr std::uint32_t kEmbedded = 0x4D424544; // "MBED"
    if (layout.headerSize == 124 && le32(d, kFileHeaderBytes + 56) == kEmbedded) {
        const std::uint64_t profile =
            kFileHeaderBytes + std::uint64_t(le32(d, kFileHeaderBytes + 112));
        if (profile >= layout.offset + needed) end = std::min(end, profile);
    }
    const std::uint64_t imageSize = layout.headerSize >= 40 ? le32(d, 34) : 0;
    const auto moreThanRows = [&](std::uint64_t held) { return held >= needed + stride; };
    return moreThanRows(end - layout.offset) && (imageSize == 0 || moreThanRows(imageSize));
}

} // namespace

std::optional<BmpLayout> bmpLayout(const QByteArray& d) {
    if (d.size() < kFileHeaderBytes + 12 || !d.startsWith("BM")) return std::nullopt;
    BmpLayout layout;
    layout.headerSize = le32(d, 14);
    if (!knownHeaderSize(layout.headerSize) ||
        d.size() < kFileHeaderBytes + qsizetype(layout.headerSize))
        return std::nullopt;
    const bool core = layout.headerSize == 12;
    std::uint32_t planes = 0;
    std::uint32_t colours = 0;
    if (core) {
        layout.width = le16(d, 18);
        layout.height = le16(d, 20);
        planes = le16(d, 22);
        layout.bits = int(le16(d, 24));
    } else {
        layout.width = static_cast<std::int32_t>(le32(d, 18));
        const auto height = static_cast<std::int32_t>(le32(d, 22));
        if (height == std::numeric_limits<std::int32_t>::min()) return std::nullopt;
        layout.topDown = height < 0;
        layout.height = layout.topDown ? -std::int64_t(height) : height;
        planes = le16(d, 26);
        layout.bits = int(le16(d, 28));
        if (layout.headerSize >= 40) {
            layout.compression = le32(d, 30);
            colours = le32(d, 46);
        }
    }
    const int bits = layout.bits;
    if (planes != 1 || layout.width <= 0 || layout.height <= 0 ||
        !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32) ||
        !compressionFits(layout.compression, bits, layout.headerSize))
        return std::nullopt;
    const bool runLength = layout.compression == kBmpRle8 || layout.compression == kBmpRle4;
    if (runLength && layout.topDown) return std::nullopt; // the format codes runs bottom-up

    qsizetype paletteAt = kFileHeaderBytes + layout.headerSize;
    const bool masked =
        layout.compression == kBmpBitfields || layout.compression == kBmpAlphaBitfields;
    if (masked) {
        // The masks follow a 40-byte header, or are its next fields in the larger headers; the
        // alpha mask is there in headers of 56 bytes or more, and with BI_ALPHABITFIELDS.
        const bool alpha = layout.headerSize >= 56 || layout.compression == kBmpAlphaBitfields;
        const qsizetype masksEnd = kFileHeaderBytes + 40 + (alpha ? 16 : 12);
        if (d.size() < masksEnd) return std::nullopt;
        for (int i = 0; i < (alpha ? 4 : 3); ++i)
            layout.masks[std::size_t(i)] = le32(d, kFileHeaderBytes + 40 + 4 * i);
        if (!masksHoldTogether(layout.masks, bits)) return std::nullopt;
        if (layout.headerSize == 40) paletteAt = masksEnd;
    }
    std::uint64_t paletteEnd = std::uint64_t(paletteAt);
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        if (colours > full) return std::nullopt;
        layout.paletteEntries = int(colours != 0 ? colours : full);
        paletteEnd += std::uint64_t(layout.paletteEntries) * (core ? 3 : 4);
    }
    layout.offset = le32(d, 10);
    if (layout.offset < paletteEnd || layout.offset > std::uint64_t(d.size())) return std::nullopt;
    return layout;
}

bool bmpComplete(const QByteArray& d) {
    const std::optional<BmpLayout> layout = bmpLayout(d);
    if (!layout) return false;
    const std::uint64_t data = std::uint64_t(d.size()) - layout->offset;
    if (layout->compression == kBmpRle8 || layout->compression == kBmpRle4) {
        const std::uint64_t area = std::uint64_t(layout->width) * std::uint64_t(layout->height);
        if (area > kSmallPictureArea && area / 255 * 2 > data) return false;
        return runLengthDataComplete(d, *layout);
    }
    if (layout->compression == 4 || layout->compression == 5)
        return true; // embedded formats: their reader knows when data is missing
    const std::uint64_t stride = ((std::uint64_t(layout->width) * layout->bits + 31) / 32) * 4;
    // rows * stride can pass 2^64 for a hostile header; compare by division instead.
    if (std::uint64_t(layout->height) > data / stride) return false;
    if (holdsMoreRows(d, *layout, stride)) return false;
    const IndexCheck palette(layout->bits, layout->paletteEntries);
    if (!palette.needed()) return true;
    for (std::int64_t row = 0; row < layout->height; ++row)
        if (!palette.rowFits(d, qsizetype(layout->offset + std::uint64_t(row) * stride),
                             layout->width))
            return false;
    return true;
}

} // namespace vexa::picture
