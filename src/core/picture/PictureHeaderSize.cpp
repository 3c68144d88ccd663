#include "core/picture/PictureHeaderSize.h"

#include "core/picture/JpegMarkers.h"
#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrityGif.h"

#include <limits>

namespace vexa::picture {

namespace {

std::optional<DeclaredSize> bitmapSize(const QByteArray& d) {
    if (d.size() < 26) return std::nullopt;
    if (le32(d, 14) == 12) // the old OS/2 header: 16-bit sizes
        return DeclaredSize{le16(d, 18), le16(d, 20)};
    const auto width = static_cast<std::int32_t>(le32(d, 18));
    const auto height = static_cast<std::int32_t>(le32(d, 22)); // negative: top-down
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return DeclaredSize{width, height < 0 ? -std::int64_t(height) : height};
}

// The first frame header's size; markers are walked as a decoder does, skipping bytes that
// are no marker.
std::optional<DeclaredSize> jpegSize(const QByteArray& d) {
    qsizetype pos = 2;
    while (pos < d.size()) {
        while (pos < d.size() && byteAt(d, pos) != 0xFF) ++pos;
        while (pos < d.size() && byteAt(d, pos) == 0xFF) ++pos;
        if (pos + 3 > d.size()) return std::nullopt;
        const std::uint8_t marker = byteAt(d, pos++);
        if (isStandaloneMarker(marker) || isStuffedZero(marker)) continue;
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt; // no frame before the data
        if (isStartOfFrame(marker)) {
            if (pos + 7 > d.size()) return std::nullopt;
            return DeclaredSize{be16(d, pos + 5), be16(d, pos + 3)};
        }
        pos += be16(d, pos);
    }
    return std::nullopt;
}

std::optional<DeclaredSize> pngSize(const QByteArray& d) {
    if (d.size() < 24 || d.mid(12, 4) != "IHDR") return std::nullopt;
    return DeclaredSize{be32(d, 16), be32(d, 20)};
}

std::int64_t le24(const QByteArray& d, qsizetype at) {
    return std::int64_t(le16(d, at)) | (std::int64_t(byteAt(d, at + 2)) << 16);
}

std::optional<DeclaredSize> webpSize(const QByteArray& d) {
    if (d.size() < 30) return std::nullopt;
    const QByteArray chunk = d.mid(12, 4);
    if (chunk == "VP8X") // the canvas, 24 bits a side less one
        return DeclaredSize{le24(d, 24) + 1, le24(d, 27) + 1};
    if (chunk == "VP8 " && byteAt(d, 23) == 0x9D && byteAt(d, 24) == 0x01 && byteAt(d, 25) == 0x2A)
        return DeclaredSize{le16(d, 26) & 0x3FFF, le16(d, 28) & 0x3FFF};
    if (chunk == "VP8L" && byteAt(d, 20) == 0x2F) {
        const std::uint32_t bits = le32(d, 21);
        return DeclaredSize{(bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1};
    }
    return std::nullopt;
}

// The numbers of a TIFF file, in its byte order, with every access checked.
class TiffNumbers {
public:
    explicit TiffNumbers(const QByteArray& d) : m_d(d), m_big(d.startsWith("MM")) {}
    std::optional<std::uint64_t> read(std::uint64_t at, int size) const {
        if (at > std::uint64_t(m_d.size()) || std::uint64_t(m_d.size()) - at < std::uint64_t(size))
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            const int shift = m_big ? 8 * (size - 1 - i) : 8 * i;
            value |= std::uint64_t(byteAt(m_d, qsizetype(at) + i)) << shift;
        }
        return value;
    }

private:
    const QByteArray& m_d;
    bool m_big;
};

// Width and length of the first directory, classic or BigTIFF.
std::optional<DeclaredSize> tiffSize(const QByteArray& d) {
    const TiffNumbers n(d);
    const std::optional<std::uint64_t> version = n.read(2, 2);
    if (!version || (*version != 42 && *version != 43)) return std::nullopt;
    const bool big = *version == 43;
    const std::optional<std::uint64_t> directory = big ? n.read(8, 8) : n.read(4, 4);
    if (!directory) return std::nullopt;
    const std::optional<std::uint64_t> entries = n.read(*directory, big ? 8 : 2);
    if (!entries) return std::nullopt;
    const std::uint64_t entrySize = big ? 20 : 12;
    const std::uint64_t first = *directory + (big ? 8 : 2);
    std::optional<std::uint64_t> width;
    std::optional<std::uint64_t> length;
    for (std::uint64_t i = 0; i < *entries && i < 4096; ++i) {
        const std::uint64_t at = first + i * entrySize;
        const std::optional<std::uint64_t> tag = n.read(at, 2);
        const std::optional<std::uint64_t> type = n.read(at + 2, 2);
        if (!tag || !type) return std::nullopt;
        // libtiff takes the first of fields given twice
        if ((*tag != 256 || width) && (*tag != 257 || length)) continue;
        const std::uint64_t valueAt = at + (big ? 12 : 8);
        // SHORT, LONG or LONG8, stored in the entry
        const int size = *type == 3 ? 2 : *type == 4 ? 4 : *type == 16 ? 8 : 0;
        if (size == 0) return std::nullopt;
        const std::optional<std::uint64_t> value = n.read(valueAt, size);
        if (!value) return std::nullopt;
        (*tag == 256 ? width : length) = *value;
    }
    if (!width || !length || *width > 0xFFFFFFFFu || *length > 0xFFFFFFFFu) return std::nullopt;
    return DeclaredSize{std::int64_t(*width), std::int64_t(*length)};
}

} // namespace

std::optional<DeclaredSize> declaredPictureSize(const QByteArray& bytes) {
    if (bytes.startsWith("BM")) return bitmapSize(bytes);
    if (bytes.startsWith("\xFF\xD8")) return jpegSize(bytes);
    if (bytes.startsWith("\x89PNG\r\n\x1A\n")) return pngSize(bytes);
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) return gifCanvasSize(bytes);
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP") return webpSize(bytes);
    if (bytes.startsWith("II") || bytes.startsWith("MM")) return tiffSize(bytes);
    return std::nullopt;
}

} // namespace vexa::picture
