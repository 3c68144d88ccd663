// libpng reports errors by longjmp, so the function that calls setjmp holds nothing with a
// destructor.

#include "core/picture/PngPicture.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureOnWhite.h"

#include <QColorSpace>

#include <algorithm>
#include <cstring>

#include <png.h>

namespace vexa::picture {

namespace {

constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(16) << 20;

struct Reading {
    const QByteArray* bytes;
    std::size_t position;
    bool damaged;
};

void readBytes(png_structp png, png_bytep out, png_size_t size) {
    auto& reading = *static_cast<Reading*>(png_get_io_ptr(png));
    const auto total = std::size_t(reading.bytes->size());
    if (size > total - reading.position) png_error(png, "Not enough data in the file");
    std::memcpy(out, reading.bytes->constData() + reading.position, size);
    reading.position += size;
}

void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// libpng reports data beyond the last row as a "benign error", a warning while reading; and a
// chunk over the limit too, which it would then allocate anyway.
void onWarning(png_structp png, png_const_charp message) {
    auto& reading = *static_cast<Reading*>(png_get_error_ptr(png));
    if (std::strstr(message, "Too much image data")) reading.damaged = true;
    if (std::strstr(message, "chunk data is too large")) png_error(png, message);
}

// A palette in a grey picture, which the format forbids: the colour type was changed, and the
// palette's indices would show as shades of grey.
bool greyWithPalette(const QByteArray& bytes) {
    if (bytes.size() < 33 || (bytes[25] != 0 && bytes[25] != 4)) return false;
    qsizetype pos = 8;
    while (pos + 8 <= bytes.size()) {
        const QByteArrayView type = QByteArrayView(bytes).sliced(pos + 4, 4);
        if (type == "PLTE") return true;
        if (type == "IDAT") return false;
        const auto length = qsizetype(be32(bytes, pos));
        if (length > bytes.size()) return false;
        pos += 12 + length;
    }
    return false;
}

struct Layout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool grey = false; // grey without transparency: one byte a pixel
    bool alpha = false;
    int passes = 1;
};

// Reads the header and sets up the transformations into 8-bit B, G, R, A (or grey) rows.
bool readHeader(png_structp png, png_infop info, Layout& layout) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_benign_errors(png, 1); // trouble in ancillary chunks is no reason to refuse
    // No text or profile needs more; a chunk that claims a gigabyte is not allocated.
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);
    int depth = 0;
    int colour = 0;
    png_get_IHDR(png, info, &layout.width, &layout.height, &depth, &colour, nullptr, nullptr,
                 nullptr);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (transparency) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_scale_16(png);
    layout.grey = colour == PNG_COLOR_TYPE_GRAY && !transparency;
    layout.alpha = (colour & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    if (!layout.grey) {
        if (!(colour & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
        // A QRgb word in memory: B, G, R, A on a little-endian machine, A, R, G, B otherwise.
        if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            png_set_bgr(png);
            if (!layout.alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        } else {
            if (layout.alpha)
                png_set_swap_alpha(png);
            else
                png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
        }
    }
    layout.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

// Reads every pass of every row into `rows`, then the chunks after the image data.
bool readRows(png_structp png, png_infop info, const Layout& layout, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    for (int pass = 0; pass < layout.passes; ++pass)
        for (png_uint_32 y = 0; y < layout.height; ++y) png_read_row(png, rows[y], nullptr);
    png_read_end(png, info);
    return true;
}

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

void setDensity(png_structp png, png_infop info, QImage& picture) {
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x <= 0x7FFFFFFF &&
        y <= 0x7FFFFFFF) {
        picture.setDotsPerMeterX(int(x));
        picture.setDotsPerMeterY(int(y));
    }
}

void setColourSpace(png_structp png, png_infop info, QImage& picture) {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 size = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &size) && profile)
        picture.setColorSpace(QColorSpace::fromIccProfile(
            QByteArray(reinterpret_cast<const char*>(profile), qsizetype(size))));
}

} // namespace

QImage readPngPicture(const QByteArray& bytes) {
    if (greyWithPalette(bytes)) return QImage();
    Reading reading{&bytes, 0, false};
    PngReader reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    if (!reader.png) return QImage();
    reader.info = png_create_info_struct(reader.png);
    if (!reader.info) return QImage();
    png_set_read_fn(reader.png, &reading, readBytes);
    Layout layout;
    if (!readHeader(reader.png, reader.info, layout)) return QImage();
    if (png_get_rowbytes(reader.png, reader.info) != layout.width * (layout.grey ? 1u : 4u))
        return QImage();
    QImage picture(int(layout.width), int(layout.height),
                   layout.grey    ? QImage::Format_Grayscale8
                   : layout.alpha ? QImage::Format_ARGB32
                                  : QImage::Format_RGB32);
    if (picture.isNull()) return QImage();
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = picture.scanLine(int(y));
    if (!readRows(reader.png, reader.info, layout, rows.data()) || reading.damaged) return QImage();
    putOnWhite(picture);
    setDensity(reader.png, reader.info, picture);
    setColourSpace(reader.png, reader.info, picture);
    return picture;
}

} // namespace vexa::picture
