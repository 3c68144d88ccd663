#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

namespace vexa::test {

// The root of the source tree, for test data kept in the repository.
QString sourceDir();

// A picture of the given size where every pixel has a different, predictable colour.
QImage patternImage(int width, int height);

// The picture written by Qt's writer for `format` ("png", "jpeg", "bmp", "tiff", ...); the
// calling test fails when the writer does.
QByteArray encodeWithQt(const QImage& image, const char* format);

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);
// Writes `bytes` as the whole file; the calling test fails when it cannot.
void writeFileBytes(const QString& path, const QByteArray& bytes);

// The CRC of a PNG chunk's type and data (ISO 3309, as the PNG format defines it).
quint32 pngCrc(const QByteArray& typeAndData);

// A picture of the given size filled with one colour.
QImage solidImage(int width, int height, QRgb colour);

// A 24-bit BMP header over no pixel data that declares a picture of the given size: a
// file of 54 bytes that claims any number of pixels.
QByteArray bmpDeclaring(int width, int height);

// A grey TIFF whose one Deflate strip holds 4096 zero bytes, declaring the given size: a file
// of about 140 bytes that claims any number of pixels.
QByteArray zipTiffDeclaring(int width, int height);

// The installed icon of `size` pixels (resources/icons/vexa-SIZE.png) as a pixmap holds it,
// premultiplied: the edges' partly transparent pixels do not survive the way back exactly.
QImage installedIconPixels(int size);

// Empty when `icon` shows, at each size the hicolor theme gets, the very pixels of the
// installed icon (resources/icons/vexa-SIZE.png); otherwise the first size that differs.
QString differenceFromInstalledIcon(const QIcon& icon);

} // namespace vexa::test
