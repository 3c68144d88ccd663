#pragma once

#include <QImage>

namespace vexa::picture {

// The picture as it looks on white paper: every pixel put over white with the usual "over"
// rule, out = c * a + 255 * (1 - a) for alpha a in 0..1, rounded. Covers are printed on
// white, so the slot, the editor, the print job and the PDF all show what the paper will,
// instead of the colour stored under a transparent pixel. A picture without alpha comes back
// as it is; one with alpha comes back opaque, in Format_RGB32.
QImage onWhite(const QImage& picture);

// The same in place. A picture in Format_ARGB32 or Format_ARGB32_Premultiplied that shares
// its pixels with no other takes no memory beyond its own: readers put their pictures over
// white this way.
void putOnWhite(QImage& picture);

} // namespace vexa::picture
