#pragma once

#include "core/picture/PictureHeaderSize.h"

#include <QByteArray>

#include <optional>

namespace vexa::picture {

// The GIF part of the picture checks (see PictureIntegrity.h). A GIF is whole when its blocks
// hold together up to its trailer, or up to the end of the file right after a frame's data
// (some writers leave out the last block terminator and the trailer, and other readers take
// that), and every frame's data decodes to exactly that frame's pixels:
//  - the frame is at least 1 x 1 pixels, and its LZW minimum code size is 2 to 8 (the
//    format's range: a picture of up to 256 colours);
//  - no code is beyond the string table built so far, and a frame's first code (after a clear
//    code) is a pixel of the colour table;
//  - the codes describe no fewer pixels than the frame holds (ImageMagick calls such a frame
//    corrupt, browsers leave its rest empty), and no more before the end code;
//  - over kSmallPictureArea, the canvas (gifCanvasSize) is not larger than all frames
//    together: Qt's reader fills the canvas before drawing the frames on it.
// A later frame that reaches past the canvas is whole: readers clip it.
bool gifComplete(const QByteArray& data);

// The picture a GIF is read as: its logical screen, grown to hold the first frame where that
// frame reaches past it, as browsers and ImageMagick show such a file (Qt's reader would cut
// the frame); so a zero side means the frames decide the size. Nothing before the first
// frame's descriptor.
std::optional<DeclaredSize> gifCanvasSize(const QByteArray& data);

// The GIF with its logical screen set to gifCanvasSize, for Qt's reader, which builds the
// picture at the screen's size; the data itself when that is the screen already. Empty when the
// canvas has a side over 65535, which a screen cannot hold.
QByteArray gifWithCanvasScreen(const QByteArray& data);

} // namespace vexa::picture
