#pragma once

#include <QByteArray>
#include <QImage>

namespace vexa::picture {

// The pixels as a PNG file: 8-bit grey for a grey picture format, 8-bit RGB for every other,
// each row "Up"-filtered and compressed at libdeflate's fastest level (see FlateImage.h), so
// that a 24-megapixel picture is written in a fraction of the time Qt's PNG writer takes.
// Read back, it gives the very pixels, in Format_Grayscale8 or Format_RGB32. Empty for a null
// picture or when the memory for it cannot be had.
QByteArray losslessPng(const QImage& pixels);

} // namespace vexa::picture
