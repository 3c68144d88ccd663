#include "support/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace vexa::test {

QString sourceDir() {
    return QStringLiteral(VEXA_SOURCE_DIR);
}

QImage installedIconPixels(int size) {
    return QImage(sourceDir() + QStringLiteral("/resources/icons/vexa-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString differenceFromInstalledIcon(const QIcon& icon) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage installed = installedIconPixels(size);
        const QImage shown = icon.pixmap(QSize(size, size))
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (installed.isNull()) return QStringLiteral("no installed icon of %1 pixels").arg(size);
        if (shown != installed) return QStringLiteral("the %1 pixel icon differs").arg(size);
    }
    return {};
}

QImage patternImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 37 + y * 11) & 255, (x * 5 + y * 53) & 255, (x * y + 7) & 255);
    }
    return image;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QImage solidImage(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray bmpDeclaring(int width, int height) {
    QByteArray bmp("BM");
    const auto putLe = [&bmp](quint32 value, int size) {
        for (int i = 0; i < size; ++i) bmp += char((value >> (8 * i)) & 255);
    };
    putLe(54, 4); // file size
    putLe(0, 4);
    putLe(54, 4); // where the pixels start
    putLe(40, 4); // BITMAPINFOHEADER
    putLe(quint32(width), 4);
    putLe(quint32(height), 4);
    putLe(1, 2);  // planes
    putLe(24, 2); // bits per pixel
    return bmp + QByteArray(24, '\0');
}

QByteArray littleEndianTiff(const QByteArray& data, const std::vector<TiffEntry>& entries) {
    QByteArray tiff("II*\0", 4);
    const auto putLe = [&tiff](quint32 value, int size) {
        for (int i = 0; i < size; ++i) tiff += char((value >> (8 * i)) & 255);
    };
    putLe(quint32(8 + data.size()), 4); // the directory follows the data
    tiff += data;
    putLe(quint32(entries.size()), 2);
    for (const TiffEntry& e : entries) {
        putLe(e.tag, 2);
        putLe(e.type, 2);
        putLe(e.count, 4);
        putLe(e.value, 4);
    }
    putLe(0, 4); // no further directory
    return tiff;
}

QByteArray zipTiffDeclaring(int width, int height) {
    const QByteArray strip = qCompress(QByteArray(4096, '\0'), 9).mid(4); // the zlib stream
    return littleEndianTiff(strip, {{256, 4, 1, quint32(width)},
                                    {257, 4, 1, quint32(height)},
                                    {258, 3, 1, 8},
                                    {259, 3, 1, 8},
                                    {262, 3, 1, 1},
                                    {273, 4, 1, 8},
                                    {277, 3, 1, 1},
                                    {278, 4, 1, quint32(height)},
                                    {279, 4, 1, quint32(strip.size())}});
}

QByteArray encodeWithQt(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

quint32 pngCrc(const QByteArray& typeAndData) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : typeAndData) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFu;
}

} // namespace vexa::test
