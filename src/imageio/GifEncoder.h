#pragma once

#include "imageio/WriteResult.h"

#include <QImage>

class QIODevice;

namespace vexa::imageio {

// Writes a GIF: a palette of at most 256 colours chosen for the picture by libimagequant,
// with error-diffusion dithering so that gradients keep their look instead of breaking
// into bands, and the file itself written by giflib. A picture of 256 colours or fewer
// keeps its exact colours.
// WriteFailed when `out` refuses the data.
WriteStatus encodeGif(const QImage& picture, QIODevice& out);

} // namespace vexa::imageio
