#include "TestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace vexa::test {

QString sourceDir() {
    return QStringLiteral(VEXA_SOURCE_DIR);
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

QImage solidImage(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray encodeWithQt(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

} // namespace vexa::test
