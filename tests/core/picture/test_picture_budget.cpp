// The pixel budget: a picture over 250 megapixels is refused from its header, before any
// decoding, whatever its format, with a sentence that names its size and the limit.

#include "core/picture/PictureFile.h"
#include "support/JpegEncoder.h"
#include "support/TestSupport.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void putBe32(QByteArray& bytes, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes += char((value >> shift) & 255);
}

QByteArray zlibStream(const QByteArray& data) {
    return qCompress(data, 9).mid(4); // qCompress puts the length in front of the stream
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk;
    putBe32(chunk, quint32(data.size()));
    const QByteArray body = QByteArray(type) + data;
    chunk += body;
    putBe32(chunk, vexa::test::pngCrc(body));
    return chunk;
}

// A valid grey PNG of one bit per pixel, all black: each row a filter byte and its bits.
QByteArray onebitPng(int width, int height) {
    QByteArray header;
    putBe32(header, quint32(width));
    putBe32(header, quint32(height));
    header += QByteArray::fromHex("0100000000"); // 1 bit, grey, deflate, no filter, no interlace
    const QByteArray rows(qsizetype(height) * (1 + (width + 7) / 8), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", zlibStream(rows)) + pngChunk("IEND", {});
}

// A 16 x 16 grey arithmetic-coded JPEG whose frame declares another size, with zero bytes
// before its end marker: the coder decodes zeros as a flat picture of any size.
QByteArray arithmeticJpegDeclaring(int width, int height) {
    QByteArray jpeg = vexa::test::encodeJpeg(vexa::test::solidImage(16, 16, qRgb(90, 90, 90)),
                                             {.gray = true, .arithmetic = true});
    const qsizetype frame = jpeg.indexOf(QByteArrayView("\xFF\xC9", 2));
    EXPECT_GT(frame, 0);
    qToBigEndian(quint16(height), jpeg.data() + frame + 5);
    qToBigEndian(quint16(width), jpeg.data() + frame + 7);
    jpeg.insert(jpeg.size() - 2, QByteArray(200, '\0'));
    return jpeg;
}

// A GIF of a 3 x 2 frame on a screen of the given size.
QByteArray gifOnScreen(int width, int height) {
    QByteArray gif = QByteArray::fromHex("47494638396103000200f00000ff00000000ff21f90400000000002c"
                                         "0000000003000200000203841150003b");
    qToLittleEndian(quint16(width), gif.data() + 6);
    qToLittleEndian(quint16(height), gif.data() + 8);
    return gif;
}

// The start of a WebP file whose extended header declares a canvas of the given size.
QByteArray webpCanvas(int width, int height) {
    QByteArray webp("RIFF\x16\0\0\0WEBPVP8X\x0a\0\0\0\0\0\0\0", 24);
    for (const int side : {width, height})
        for (int i = 0; i < 3; ++i) webp += char(((side - 1) >> (8 * i)) & 255);
    return webp;
}

TEST(PictureBudget, PicturesOverTheLimitAreRefusedWithTheirSizeAndTheLimit) {
    struct Case {
        std::string name;
        QByteArray bytes;
        const char* size;
    };
    const std::vector<Case> cases = {
        {"arithmetic JPEG", arithmeticJpegDeclaring(23000, 23000), "23000 x 23000 pixels"},
        {"ZIP TIFF", vexa::test::zipTiffDeclaring(20000, 20000), "20000 x 20000 pixels"},
        {"1-bit PNG", onebitPng(22000, 22000), "22000 x 22000 pixels"},
        {"BMP just over", vexa::test::bmpDeclaring(20000, 12501), "20000 x 12501 pixels"},
        {"BMP Qt turns down", vexa::test::bmpDeclaring(23000, 23000), "23000 x 23000 pixels"},
        // Sides libjpeg and Qt's readers turn down before they give a size.
        {"JPEG at 65535", arithmeticJpegDeclaring(65535, 65535), "65535 x 65535 pixels"},
        {"GIF at 65535", gifOnScreen(65535, 65535), "65535 x 65535 pixels"},
        {"WebP at 65535", webpCanvas(65535, 65535), "65535 x 65535 pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LT(c.bytes.size(), 100000); // small files: only the header is large
        QString refusal;
        EXPECT_TRUE(vexa::picture::readPictureData(c.bytes, &refusal).isNull());
        EXPECT_TRUE(refusal.contains(QLatin1String(c.size))) << refusal.toStdString();
        EXPECT_TRUE(refusal.contains(QLatin1String("250 megapixels"))) << refusal.toStdString();
    }
    // The same kinds of file at a size within the limit load.
    QString refusal;
    EXPECT_EQ(vexa::picture::readPictureData(onebitPng(300, 200), &refusal).pixels.size(),
              QSize(300, 200));
    EXPECT_EQ(
        vexa::picture::readPictureData(arithmeticJpegDeclaring(64, 48), &refusal).pixels.size(),
        QSize(64, 48));
    EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
}

} // namespace
