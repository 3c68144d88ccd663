#include "core/picture/TiffPieces.h"

#include "core/picture/PictureBytes.h"

#include <array>
#include <cstdint>
#include <optional>

#include <zlib.h>

namespace vexa::picture {

namespace {

// The bytes PackBits data decodes to: a header byte n gives n + 1 literal bytes (0 to 127),
// one byte repeated 1 - n times (-1 to -127), or nothing (-128).
std::uint64_t packBitsBytes(const std::uint8_t* data, std::uint64_t size) {
    std::uint64_t out = 0;
    std::uint64_t pos = 0;
    while (pos < size) {
        const auto n = static_cast<std::int8_t>(data[pos++]);
        if (n >= 0) {
            out += std::uint64_t(n) + 1;
            pos += std::uint64_t(n) + 1;
        } else if (n != -128) {
            out += std::uint64_t(1 - n);
            pos += 1;
        }
    }
    return out;
}

// The bytes TIFF's LZW data decodes to, up to its end code: codes of 9 to 12 bits, most
// significant bit first, one bit wider one code before the table reaches the next power of two.
// Each table entry is one byte longer than the one it extends, so strings need not be built.
// Nothing when a code is beyond the table.
std::optional<std::uint64_t> lzwBytes(const std::uint8_t* data, std::uint64_t size) {
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kTableSize = 4096;
    std::array<std::uint16_t, kTableSize> length{};
    for (int i = 0; i < kClear; ++i) length[std::size_t(i)] = 1;
    std::uint64_t pos = 0;
    std::uint32_t buffer = 0;
    int count = 0;
    int bits = 9;
    int next = kEnd + 1;
    int previous = -1;
    std::uint64_t out = 0;
    for (;;) {
        while (count < bits && pos < size) {
            buffer = (buffer << 8) | data[pos++];
            count += 8;
        }
        if (count < bits) return out; // the data ends without an end code
        const int code = int((buffer >> (count - bits)) & ((1u << bits) - 1));
        count -= bits;
        if (code == kEnd) return out;
        if (code == kClear) {
            bits = 9;
            next = kEnd + 1;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= kClear) return std::nullopt;
            out += 1;
            previous = code;
            continue;
        }
        if (code > next || next >= kTableSize) return std::nullopt;
        out += code == next ? length[std::size_t(previous)] + 1u : length[std::size_t(code)];
        length[std::size_t(next)] = std::uint16_t(length[std::size_t(previous)] + 1);
        ++next;
        if (next == (1 << bits) - 1 && bits < 12) ++bits;
        previous = code;
    }
}

// The bytes zlib data decodes to, once its stream ends with a good checksum; nothing for
// damaged data or a stream that does not end.
std::optional<std::uint64_t> deflateBytes(const std::uint8_t* data, std::uint64_t size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    std::array<Bytef, 65536> sink{};
    std::uint64_t fed = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0 && fed < size) {
            const std::uint64_t piece = std::min<std::uint64_t>(size - fed, 1u << 30);
            stream.next_in = const_cast<Bytef*>(data + fed);
            stream.avail_in = uInt(piece);
            fed += piece;
        }
        stream.next_out = sink.data();
        stream.avail_out = uInt(sink.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_BUF_ERROR && stream.avail_in == 0 && fed >= size) break; // no more data
        if (status == Z_BUF_ERROR) status = Z_OK;
    }
    const std::uint64_t out = stream.total_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

// Where the directory lies (its entry count, entries and next-directory offset), and how many
// offsets its strip or tile offset field holds.
struct Directory {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint64_t pieceOffsets = 0;
};

bool overlaps(std::uint64_t start, std::uint64_t end, std::uint64_t at, std::uint64_t size) {
    return at < end && at + size > start;
}

std::optional<Directory> readDirectory(TIFF* tiff, const QByteArray& bytes) {
    const bool big = TIFFIsBigTIFF(tiff);
    const bool motorola = bytes.startsWith("MM");
    const auto number = [&](std::uint64_t at, int size) -> std::optional<std::uint64_t> {
        if (at > std::uint64_t(bytes.size()) ||
            std::uint64_t(bytes.size()) - at < std::uint64_t(size))
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= std::uint64_t(byteAt(bytes, qsizetype(at) + i))
                     << (motorola ? 8 * (size - 1 - i) : 8 * i);
        return value;
    };
    Directory directory;
    directory.start = TIFFCurrentDirOffset(tiff);
    const int countSize = big ? 8 : 2;
    const int entrySize = big ? 20 : 12;
    const std::optional<std::uint64_t> entries = number(directory.start, countSize);
    if (!entries || *entries > 65535) return std::nullopt;
    directory.end = directory.start + countSize + *entries * entrySize + (big ? 8 : 4);
    const int offsetsTag = TIFFIsTiled(tiff) ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS;
    for (std::uint64_t i = 0; i < *entries; ++i) {
        const std::uint64_t at = directory.start + countSize + i * entrySize;
        const std::optional<std::uint64_t> tag = number(at, 2);
        const std::optional<std::uint64_t> count = number(at + 4, big ? 8 : 4);
        if (!tag || !count) return std::nullopt;
        if (*tag == std::uint64_t(offsetsTag)) directory.pieceOffsets = *count;
    }
    return directory;
}

} // namespace

bool tiffPiecesHoldTogether(TIFF* tiff, const QByteArray& bytes) {
    const std::optional<Directory> directory = readDirectory(tiff, bytes);
    if (!directory) return false;
    const std::uint64_t headerEnd = TIFFIsBigTIFF(tiff) ? 16 : 8;
    const bool tiled = TIFFIsTiled(tiff);
    const std::uint32_t pieces = tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    // More offsets than pieces: the picture was made smaller and some would not show.
    if (directory->pieceOffsets != pieces) return false;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t height = 0;
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const std::uint64_t rowBytes = tiled ? TIFFTileRowSize64(tiff) : TIFFScanlineSize64(tiff);
    const std::uint32_t stripsPerPlane =
        rowsPerStrip == 0
            ? 1
            : std::uint32_t((std::uint64_t(height) + rowsPerStrip - 1) / rowsPerStrip);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (std::uint32_t i = 0; i < pieces; ++i) {
        const std::uint64_t at = TIFFGetStrileOffset(tiff, i);
        const std::uint64_t size = TIFFGetStrileByteCount(tiff, i);
        if (at > std::uint64_t(bytes.size()) || size > std::uint64_t(bytes.size()) - at ||
            overlaps(0, headerEnd, at, size) ||
            overlaps(directory->start, directory->end, at, size))
            return false;
        std::uint64_t expected = 0;
        // Uncompressed, what a piece may hold beyond its rows: less than a row (rounding), or,
        // for the last strip of several, a whole strip, as some writers fill it.
        std::uint64_t uncompressedMost = 0;
        if (tiled) {
            expected = TIFFTileSize64(tiff);
            uncompressedMost = expected;
        } else {
            const std::uint32_t strip = planar == PLANARCONFIG_SEPARATE ? i % stripsPerPlane : i;
            const std::uint64_t first = std::uint64_t(strip) * rowsPerStrip;
            if (first >= height) return false;
            const auto rows = std::uint32_t(std::min<std::uint64_t>(rowsPerStrip, height - first));
            expected = TIFFVStripSize64(tiff, rows);
            uncompressedMost = stripsPerPlane > 1 && strip + 1 == stripsPerPlane
                                   ? TIFFVStripSize64(tiff, rowsPerStrip)
                                   : expected;
        }
        std::uint64_t most = expected;
        std::optional<std::uint64_t> decoded;
        switch (compression) {
        case COMPRESSION_NONE:
            decoded = size;
            most = std::max(uncompressedMost, expected + std::max<std::uint64_t>(rowBytes, 1) - 1);
            break;
        case COMPRESSION_PACKBITS:
            decoded = packBitsBytes(data + at, size);
            break;
        case COMPRESSION_LZW:
            // Old-style LZW data (first bytes 00 01) codes otherwise; libtiff reads it.
            if (size >= 2 && data[at] == 0 && (data[at + 1] & 1)) continue;
            decoded = lzwBytes(data + at, size);
            break;
        case COMPRESSION_DEFLATE:
        case COMPRESSION_ADOBE_DEFLATE:
            decoded = deflateBytes(data + at, size);
            break;
        default:
            continue; // its decoder says what is wrong
        }
        // Short pieces libtiff finds for itself; longer ones hold more rows than the picture.
        if (!decoded || *decoded > most) return false;
    }
    return true;
}

} // namespace vexa::picture
