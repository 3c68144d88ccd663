#pragma once

#include <QImage>
#include <QSize>
#include <QTransform>

namespace vexa::picture {

// An EXIF orientation (1 to 8): how the stored rows must be turned or mirrored to stand
// upright. 1 is upright as stored; any value outside 1 to 8 counts as 1, as readers take it.
int normalOrientation(int orientation);

// Whether the orientation swaps width and height (5 to 8: a quarter turn, with or without a
// mirror).
bool orientationSwapsSides(int orientation);

// The size of the picture stood upright, from its size as stored.
QSize uprightSize(QSize stored, int orientation);

// The map from the stored picture's unit square to the upright picture's one, both with the
// first row at the top (y = 0) and the first column at the left (x = 0).
QTransform orientationTransform(int orientation);

// The stored pixels stood upright, exactly (only whole pixels move).
QImage uprightPicture(const QImage& stored, int orientation);

} // namespace vexa::picture
