#pragma once

#include <QByteArray>
#include <QImage>

namespace vexa::picture {

// Reads a PNG file with libpng in one pass, straight into the picture VEXA keeps: grey without
// transparency as Format_Grayscale8, everything else as Format_RGB32 with its transparency put
// over white, 16-bit samples rounded to 8 bits; about 4 bytes a pixel at the peak, where
// reading through Qt took 12 (8-bit RGBA) to 16 (16-bit RGBA). A null image when libpng meets
// an error (a bad CRC in a critical chunk, damaged compressed data, data that ends before the
// last row, a size over libpng's limits) and when the compressed data holds more image data
// than the rows need (a height edited smaller shows only part of the picture), when a grey
// picture holds a palette (its colour type was changed), or memory runs out. Trouble in ancillary
// chunks (text, profiles) does not refuse a picture. Its ICC profile becomes the picture's colour
// space and its pHYs the dots per metre, as Qt's reader does. Safe on several threads at once.
QImage readPngPicture(const QByteArray& bytes);

} // namespace vexa::picture
