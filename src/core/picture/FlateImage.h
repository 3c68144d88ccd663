#pragma once

#include <QImage>

#include <cstddef>
#include <memory>
#include <optional>

namespace vexa::picture {

// Pixels as a PDF image stream's or a PNG file's data: 8-bit samples, RGB or grey, row after
// row, each row led by the PNG "Up" filter byte (a PDF /Predictor 12), compressed to the zlib
// format at libdeflate's fastest level. Transparent pixels are put over white. Lossless for
// pictures of 8 bits a channel: the stream decodes to the very pixels; deeper ones (16-bit PNG
// and TIFF files) go in at the nearest level of 8 bits.
struct FlateImage {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    int width = 0;
    int height = 0;
    bool grey = false;

    int colours() const { return grey ? 1 : 3; }
};

// When the samples are grey: whenever every pixel is grey (the smallest data, for a PDF), or
// only for a grey picture format (so that a PNG reads back in the format it was made from).
enum class GreySamples { WhenAllGrey, WhenGreyFormat };

// Nothing for a null picture or when the memory for it cannot be had.
std::optional<FlateImage> flateImage(const QImage& pixels,
                                     GreySamples grey = GreySamples::WhenAllGrey);

} // namespace vexa::picture
