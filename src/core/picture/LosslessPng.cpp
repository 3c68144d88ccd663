#include "core/picture/LosslessPng.h"

#include "core/picture/FlateImage.h"

#include <QtEndian>

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

namespace vexa::picture {

namespace {

// Readers stream the image data in chunks; a few of them keep any one allocation small.
constexpr std::size_t kDataChunkBytes = 1 << 20;
constexpr std::uint8_t kGreyColour = 0;
constexpr std::uint8_t kRgbColour = 2;

void appendNumber(QByteArray& out, std::uint32_t value) {
    char big[4];
    qToBigEndian(value, big);
    out.append(big, 4);
}

// Length, type, data and the CRC of type and data.
void appendChunk(QByteArray& out, const char* type, const unsigned char* data, std::size_t size) {
    appendNumber(out, std::uint32_t(size));
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::uint32_t crc =
        libdeflate_crc32(0, out.constData() + typeAt, std::size_t(out.size() - typeAt));
    appendNumber(out, crc);
}

} // namespace

QByteArray losslessPng(const QImage& pixels) {
    const std::optional<FlateImage> flate = flateImage(pixels, GreySamples::WhenGreyFormat);
    if (!flate) return {};
    unsigned char header[13] = {};
    qToBigEndian(std::uint32_t(flate->width), header);
    qToBigEndian(std::uint32_t(flate->height), header + 4);
    header[8] = 8; // bits a sample; compression, filter and interlace methods stay 0
    header[9] = flate->grey ? kGreyColour : kRgbColour;

    QByteArray png;
    try {
        const std::size_t chunks = flate->size / kDataChunkBytes + 1;
        png.reserve(qsizetype(8 + 25 + flate->size + 12 * chunks + 12));
        png.append("\x89PNG\r\n\x1a\n", 8);
        appendChunk(png, "IHDR", header, sizeof header);
        for (std::size_t at = 0; at < flate->size; at += kDataChunkBytes)
            appendChunk(png, "IDAT", flate->data.get() + at,
                        std::min(kDataChunkBytes, flate->size - at));
        appendChunk(png, "IEND", nullptr, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    return png;
}

} // namespace vexa::picture
