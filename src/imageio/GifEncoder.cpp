#include "imageio/GifEncoder.h"

#include <QIODevice>

#include <gif_lib.h>
#include <libimagequant.h>

#include <memory>
#include <vector>

namespace vexa::imageio {

namespace {

struct AttrDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
};
struct ImageDeleter {
    void operator()(liq_image* p) const { liq_image_destroy(p); }
};
struct ResultDeleter {
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};
struct MapDeleter {
    void operator()(ColorMapObject* p) const { GifFreeMapObject(p); }
};

// GIF stores width and height in 16 bits.
constexpr int kMaxGifSide = 65535;

WriteStatus statusOf(liq_error error) {
    return error == LIQ_OUT_OF_MEMORY ? WriteStatus::OutOfMemory : WriteStatus::EncoderFailed;
}

int writeToDevice(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<QIODevice*>(gif->UserData);
    const qint64 written = out->write(reinterpret_cast<const char*>(data), length);
    return written < 0 ? 0 : static_cast<int>(written);
}

// The indexed picture and its palette, ready for the file.
struct Quantized {
    std::vector<unsigned char> indices;
    liq_palette palette{};
};

WriteStatus quantize(const QImage& rgba, Quantized& result) {
    std::unique_ptr<liq_attr, AttrDeleter> attr(liq_attr_create());
    if (!attr) return WriteStatus::OutOfMemory;
    // Speed 7 keeps the palette's quality on photos and scans but takes a 6-megapixel
    // picture from about 9 s down to 2 or 3 s; the save blocks the window meanwhile. Faster
    // settings drop the lowest bit of every colour, and a picture of 256 colours or fewer
    // must come back exactly.
    if (const liq_error error = liq_set_speed(attr.get(), 7); error != LIQ_OK)
        return statusOf(error);
    std::unique_ptr<liq_image, ImageDeleter> image(
        liq_image_create_rgba(attr.get(), rgba.constBits(), rgba.width(), rgba.height(), 0.0));
    if (!image) return WriteStatus::OutOfMemory;
    liq_result* raw = nullptr;
    if (const liq_error error = liq_image_quantize(image.get(), attr.get(), &raw); error != LIQ_OK)
        return statusOf(error);
    std::unique_ptr<liq_result, ResultDeleter> quantized(raw);
    if (const liq_error error = liq_set_dithering_level(quantized.get(), 1.0f); error != LIQ_OK)
        return statusOf(error);

    const size_t size = static_cast<size_t>(rgba.width()) * static_cast<size_t>(rgba.height());
    result.indices.resize(size);
    if (const liq_error error =
            liq_write_remapped_image(quantized.get(), image.get(), result.indices.data(), size);
        error != LIQ_OK)
        return statusOf(error);
    // The palette is final only after remapping.
    result.palette = *liq_get_palette(quantized.get());
    return WriteStatus::Written;
}

WriteStatus writeGif(const Quantized& picture, int width, int height, QIODevice& out) {
    // A GIF colour table has a power-of-two size of at least 2.
    int tableSize = 2;
    while (tableSize < static_cast<int>(picture.palette.count)) tableSize *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(tableSize), GifColorType{0, 0, 0});
    for (unsigned i = 0; i < picture.palette.count; ++i) {
        const liq_color& c = picture.palette.entries[i];
        colours[i] = GifColorType{c.r, c.g, c.b};
    }
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(tableSize, colours.data()));
    if (!map) return WriteStatus::OutOfMemory;

    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToDevice, &error);
    if (!gif) return WriteStatus::OutOfMemory;
    bool ok = EGifPutScreenDesc(gif, width, height, map->BitsPerPixel, 0, map.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y) {
        // giflib takes the row as non-const but only reads it.
        auto* row = const_cast<GifPixelType*>(picture.indices.data() +
                                              static_cast<size_t>(y) * static_cast<size_t>(width));
        ok = EGifPutLine(gif, row, width) == GIF_OK;
    }
    // Closing writes the trailer and frees the handle, also after a failure.
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    return ok && closed ? WriteStatus::Written : WriteStatus::WriteFailed;
}

} // namespace

WriteStatus encodeGif(const QImage& picture, QIODevice& out) {
    if (picture.isNull()) return WriteStatus::NoPicture;
    if (picture.width() > kMaxGifSide || picture.height() > kMaxGifSide)
        return WriteStatus::TooLarge;
    // Opaque RGBA bytes in memory order, as libimagequant reads them.
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBX8888);
    if (rgba.isNull()) return WriteStatus::OutOfMemory;
    Quantized quantized;
    if (const WriteStatus status = quantize(rgba, quantized); status != WriteStatus::Written)
        return status;
    return writeGif(quantized, rgba.width(), rgba.height(), out);
}

} // namespace vexa::imageio
