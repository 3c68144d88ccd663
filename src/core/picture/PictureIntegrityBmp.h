#pragma once

#include <QByteArray>

namespace vexa::picture {

// The BMP part of the picture checks (see PictureIntegrity.h).
//
// An uncompressed BMP is complete when the file holds every row the header announces, each
// with its padding. Run-length data (RLE8, RLE4) is complete when it reaches its
// end-of-bitmap escape (00 01), or, for writers that leave that out, when its end-of-line
// escapes have closed every row. Over kSmallPictureArea pixels it must also hold two bytes
// per 255 pixels: a run codes at most 255 pixels in two bytes, and the escapes that skip
// pixels are used for small transparent areas, not for a whole picture.
bool bmpComplete(const QByteArray& data);

} // namespace vexa::picture
