#pragma once

#include <QByteArray>

#include <optional>

namespace vexa::picture {

// The frame of JPEG data, as far as a PDF page that embeds the data as it is needs to know it.
struct JpegFrame {
    int width = 0;
    int height = 0;
    int components = 0; // 1: grey, 3: YCbCr
};

// The frame of JPEG data that any PDF reader decodes to the pixels the file's own decoder
// gives: 8-bit samples, baseline, extended or progressive Huffman coding, one grey component
// or three YCbCr ones. Three components count as YCbCr when an Adobe marker says transform 1,
// or, without an Adobe marker, with a JFIF marker or the component ids 1, 2, 3; a PDF reader
// would take RGB-coded data (Adobe transform 0) for YCbCr and show wrong colours. Nothing for
// other data (CMYK, 12-bit, arithmetic, lossless or hierarchical coding) or markers that do
// not hold together: such a picture goes into the page as pixels.
std::optional<JpegFrame> passThroughJpegFrame(const QByteArray& data);

} // namespace vexa::picture
