#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

#include <vector>

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

// One entry of a TIFF directory: a SHORT (type 3) or LONG (4) value in the entry, or, for
// more than fits, the offset of the values in the file.
struct TiffEntry {
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    quint32 value = 0;
};

// A little-endian TIFF: `data` right after the 8-byte header (offsets in `entries` count from
// the file's start, so the data starts at 8), then one directory of `entries`, sorted by tag.
QByteArray littleEndianTiff(const QByteArray& data, const std::vector<TiffEntry>& entries);

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
