#include "core/picture/PictureMetadata.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureOrientation.h"

#include <QPointF>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include <zlib.h>

namespace vexa::picture {

namespace {

// Far above any real profile (camera and printer profiles are a few kilobytes to a few
// megabytes); an inflated iCCP chunk may not grow beyond it.
constexpr qsizetype kMaxProfileBytes = qsizetype(64) << 20;

constexpr std::uint32_t kOrientationTag = 0x0112;
constexpr std::uint32_t kIccProfileTag = 34675;

// Numbers of TIFF-structured data in its own byte order.
struct TiffData {
    const QByteArray& d;
    qsizetype start;
    bool little;
    bool has(std::uint64_t at, std::uint64_t size) const {
        const auto total = std::uint64_t(d.size() - start);
        return at <= total && size <= total - at;
    }
    std::uint32_t u16(std::uint64_t at) const {
        const qsizetype i = start + qsizetype(at);
        return little ? le16(d, i) : be16(d, i);
    }
    std::uint32_t u32(std::uint64_t at) const {
        const qsizetype i = start + qsizetype(at);
        return little ? le32(d, i) : be32(d, i);
    }
    std::uint64_t u64(std::uint64_t at) const {
        const std::uint64_t a = u32(at);
        const std::uint64_t b = u32(at + 4);
        return little ? a | (b << 32) : (a << 32) | b;
    }
};

struct TiffFields {
    int orientation = 1;
    QByteArray icc;
};

// The two fields of the first directory, as far as they lie inside the data.
TiffFields readTiffFields(const QByteArray& d, qsizetype at) {
    TiffFields fields;
    if (at < 0 || d.size() - at < 8) return fields;
    const bool little = d[at] == 'I' && d[at + 1] == 'I';
    if (!little && !(d[at] == 'M' && d[at + 1] == 'M')) return fields;
    const TiffData t{d, at, little};
    const std::uint32_t version = t.u16(2);
    const bool big = version == 43;
    if (version != 42 && !big) return fields;
    std::uint64_t directory = 0;
    if (big) {
        if (!t.has(0, 16) || t.u16(4) != 8) return fields;
        directory = t.u64(8);
    } else {
        directory = t.u32(4);
    }
    const std::uint64_t countSize = big ? 8 : 2;
    const std::uint64_t entrySize = big ? 20 : 12;
    if (!t.has(directory, countSize)) return fields;
    const std::uint64_t count = big ? t.u64(directory) : t.u16(directory);
    const std::uint64_t first = directory + countSize;
    for (std::uint64_t i = 0; i < count && t.has(first + i * entrySize, entrySize); ++i) {
        const std::uint64_t entry = first + i * entrySize;
        const std::uint32_t tag = t.u16(entry);
        const std::uint32_t type = t.u16(entry + 2);
        const std::uint64_t values = big ? t.u64(entry + 4) : t.u32(entry + 4);
        const std::uint64_t valueField = entry + (big ? 12 : 8);
        if (tag == kOrientationTag && type == 3 && values >= 1)
            fields.orientation = normalOrientation(int(t.u16(valueField)));
        if (tag == kIccProfileTag && (type == 7 || type == 1) && values > 0 &&
            values <= std::uint64_t(kMaxProfileBytes)) {
            const std::uint64_t inField = big ? 8 : 4;
            const std::uint64_t offset =
                values <= inField ? valueField : (big ? t.u64(valueField) : t.u32(valueField));
            if (t.has(offset, values))
                fields.icc = d.mid(at + qsizetype(offset), qsizetype(values));
        }
    }
    return fields;
}

// An EXIF block as JPEG and WebP files may hold it: "Exif\0\0" and then TIFF-structured data.
int exifOrientation(const QByteArray& block) {
    const qsizetype at = block.startsWith(QByteArrayView("Exif\0\0", 6)) ? 6 : 0;
    return readTiffFields(block, at).orientation;
}

PictureMetadata jpegMetadata(const QByteArray& d) {
    PictureMetadata found;
    // ICC_PROFILE pieces by their sequence number (1 to count).
    std::vector<std::optional<QByteArray>> pieces;
    int pieceCount = 0;
    bool piecesBroken = false;
    bool exifSeen = false;
    static const QByteArray kIccName("ICC_PROFILE\0", 12);
    qsizetype i = 2;
    while (i + 4 <= d.size()) {
        if (byteAt(d, i) != 0xFF) break;
        const std::uint8_t marker = byteAt(d, i + 1);
        if (marker == 0xFF) { // fill
            ++i;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            i += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break; // the data starts: no more headers
        const qsizetype length = be16(d, i + 2);
        if (length < 2 || i + 2 + length > d.size()) break;
        const QByteArray body = d.mid(i + 4, length - 2);
        if (marker == 0xE1 && !exifSeen && body.startsWith(QByteArrayView("Exif\0\0", 6))) {
            exifSeen = true; // the first EXIF block counts, as in other readers
            found.orientation = exifOrientation(body);
        } else if (marker == 0xE2 && body.startsWith(kIccName) && body.size() >= 14) {
            const int sequence = byteAt(body, 12);
            const int count = byteAt(body, 13);
            if (pieceCount == 0 && count > 0) {
                pieceCount = count;
                pieces.assign(std::size_t(count), std::nullopt);
            }
            if (count != pieceCount || sequence < 1 || sequence > count ||
                pieces[std::size_t(sequence - 1)])
                piecesBroken = true;
            else
                pieces[std::size_t(sequence - 1)] = body.mid(14);
        }
        i += 2 + length;
    }
    if (pieceCount > 0 && !piecesBroken) {
        QByteArray profile;
        for (const std::optional<QByteArray>& piece : pieces) {
            if (!piece) return found; // a piece is missing
            profile += *piece;
        }
        found.iccProfile = profile;
    }
    return found;
}

// The inflated profile of an iCCP chunk: a name of 1 to 79 bytes, a zero byte, the method
// (0, zlib) and the zlib stream.
QByteArray inflatedProfile(const QByteArray& chunk) {
    const qsizetype nameEnd = chunk.indexOf('\0');
    if (nameEnd < 1 || nameEnd > 79 || nameEnd + 2 > chunk.size() || chunk[nameEnd + 1] != 0)
        return {};
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return {};
    const qsizetype start = nameEnd + 2;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.constData() + start));
    stream.avail_in = uInt(chunk.size() - start);
    QByteArray out;
    std::array<char, 16384> piece{};
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        stream.avail_out = uInt(piece.size());
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(piece.data(), qsizetype(piece.size() - stream.avail_out));
        if (out.size() > kMaxProfileBytes) status = Z_MEM_ERROR;
        if (status == Z_BUF_ERROR && stream.avail_in == 0) break; // cut short
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

// The CRC of the chunk at `at` (over its type and data) against the one it carries.
bool crcMatches(const QByteArray& d, qsizetype at, qsizetype length) {
    const auto* bytes = reinterpret_cast<const Bytef*>(d.constData() + at + 4);
    return crc32(0L, bytes, uInt(length + 4)) == be32(d, at + 8 + length);
}

double pngNumber(const QByteArray& chunk, qsizetype at) {
    return be32(chunk, at) / 100000.0;
}

// sRGB's own values, within what writers round them to: such chunks say "sRGB".
bool nearSrgb(std::optional<double> gamma, const std::optional<std::array<QPointF, 4>>& points) {
    if (gamma && std::abs(*gamma - 1 / 2.2) > 0.005) return false;
    if (!points) return true;
    static const std::array<QPointF, 4> kSrgb = {QPointF(0.3127, 0.3290), QPointF(0.64, 0.33),
                                                 QPointF(0.30, 0.60), QPointF(0.15, 0.06)};
    for (std::size_t i = 0; i < 4; ++i)
        if (std::abs((*points)[i].x() - kSrgb[i].x()) > 0.005 ||
            std::abs((*points)[i].y() - kSrgb[i].y()) > 0.005)
            return false;
    return true;
}

PictureMetadata pngMetadata(const QByteArray& d) {
    PictureMetadata found;
    bool srgb = false;
    bool iccp = false;
    std::optional<double> gamma;
    std::optional<std::array<QPointF, 4>> points;
    qsizetype i = 8;
    while (i + 12 <= d.size()) {
        const qsizetype length = be32(d, i);
        if (length > d.size() - i - 12) break;
        const QByteArray type = d.mid(i + 4, 4);
        if (type == "IEND") break;
        // Only the few small chunks read here are copied, never the picture's data. A chunk
        // whose CRC does not match is skipped, as libpng skips a damaged ancillary chunk.
        const auto body = [&] { return d.mid(i + 8, length); };
        const bool read =
            type == "eXIf" || type == "iCCP" || type == "sRGB" || type == "gAMA" || type == "cHRM";
        if (!read || !crcMatches(d, i, length)) {
            i += 12 + length;
            continue;
        }
        if (type == "eXIf") {
            found.orientation = readTiffFields(body(), 0).orientation;
        } else if (type == "iCCP" && !iccp) {
            iccp = true;
            found.iccProfile = inflatedProfile(body());
        } else if (type == "sRGB") {
            srgb = true;
        } else if (type == "gAMA" && length == 4 && be32(d, i + 8) >= 16 &&
                   be32(d, i + 8) <= 625000000) { // libpng's bounds
            gamma = pngNumber(d, i + 8);
        } else if (type == "cHRM" && length == 32) {
            std::array<QPointF, 4> p;
            bool valid = true;
            for (std::size_t k = 0; k < 4; ++k) {
                p[k] = QPointF(pngNumber(d, i + 8 + qsizetype(8 * k)),
                               pngNumber(d, i + 12 + qsizetype(8 * k)));
                valid = valid && p[k].x() > 0 && p[k].y() > 0 && p[k].x() + p[k].y() < 1;
            }
            if (valid) points = p;
        }
        i += 12 + length;
    }
    // As Qt's reader: a profile first, then the sRGB chunk, then gAMA with or without cHRM.
    // What only restates sRGB (as ImageMagick writes for every picture) changes nothing.
    if (!iccp && !srgb && gamma && !nearSrgb(gamma, points)) {
        const auto transfer = QColorSpace::TransferFunction::Gamma;
        QColorSpace space;
        if (points)
            space = QColorSpace((*points)[0], (*points)[1], (*points)[2], (*points)[3], transfer,
                                float(1 / *gamma));
        if (!space.isValid())
            space = QColorSpace(QColorSpace::Primaries::SRgb, transfer, float(1 / *gamma));
        found.pngColourSpace = space;
    }
    return found;
}

PictureMetadata webpMetadata(const QByteArray& d) {
    PictureMetadata found;
    qsizetype i = 12;
    while (i + 8 <= d.size()) {
        const QByteArray type = d.mid(i, 4);
        const qsizetype length = le32(d, i + 4);
        if (length > d.size() - i - 8) break;
        if (type == "EXIF")
            found.orientation = exifOrientation(d.mid(i + 8, length));
        else if (type == "ICCP")
            found.iccProfile = d.mid(i + 8, length);
        i += 8 + length + (length & 1);
    }
    return found;
}

} // namespace

int tiffOrientation(const QByteArray& data, qsizetype at) {
    return readTiffFields(data, at).orientation;
}

PictureMetadata readPictureMetadata(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xD8")) return jpegMetadata(bytes);
    if (bytes.startsWith("\x89PNG\r\n\x1A\n")) return pngMetadata(bytes);
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP") return webpMetadata(bytes);
    if (bytes.startsWith("II") || bytes.startsWith("MM")) {
        const TiffFields fields = readTiffFields(bytes, 0);
        PictureMetadata found;
        found.orientation = fields.orientation;
        found.iccProfile = fields.icc;
        return found;
    }
    return {};
}

} // namespace vexa::picture
