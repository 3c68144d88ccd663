#pragma once

// The Cover Manipulator's toolbar tools as plain functions on pictures: each returns the new
// picture and leaves its argument alone (copies share memory until written). A null picture
// gives a null picture.

#include <QImage>

namespace vexa::editor {

// A quarter turn clockwise onto a canvas of swapped size: canvas pixel (X, Y) takes source
// pixel (Y, H - 1 - X), so the source's top row becomes the right-hand column. Lossless: four
// turns give back the picture exactly.
QImage rotateQuarterClockwise(const QImage& picture);

// Pixel (x, y) takes the former pixel (W - 1 - x, y).
QImage mirrorLeftRight(const QImage& picture);

// Pixel (x, y) takes the former pixel (x, H - 1 - y).
QImage flipTopBottom(const QImage& picture);

// Adds `value` (-99 ... 99, in channel steps, not percent) to the red, green and blue of every
// pixel, each clamped to 0 ... 255. 0 leaves the picture as it is.
QImage shiftBrightness(const QImage& picture, int value);

} // namespace vexa::editor
