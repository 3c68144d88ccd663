#pragma once

#include <QImage>
#include <QString>

namespace vexa::test {

// The root of the source tree, for test data kept in the repository.
QString sourceDir();

// A picture of the given size where every pixel has a different, predictable colour.
QImage patternImage(int width, int height);

// A picture of the given size filled with one colour.
QImage solidImage(int width, int height, QRgb colour);

} // namespace vexa::test
