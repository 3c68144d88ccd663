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

void putLe(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes += char((value >> (8 * i)) & 255);
}

// The CRC of PNG chunks (ISO 3309, as the PNG format defines it).
quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray zlibStream(const QByteArray& data) {
    return qCompress(data, 9).mid(4); // qCompress puts the length in front of the stream
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk;
    putBe32(chunk, quint32(data.size()));
    const QByteArray body = QByteArray(type) + data;
    chunk += body;
    putBe32(chunk, crc32(body));
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

// A grey TIFF in one deflate-compressed strip that holds far fewer rows than it declares.
QByteArray zipTiff(int width, int height) {
    const QByteArray strip = zlibStream(QByteArray(4096, '\0'));
    QByteArray tiff("II*\0", 4);
    putLe(tiff, 8, 4); // the directory follows the header
    struct Entry {
        quint16 tag, type;
        quint32 value;
    };
    const quint32 stripAt = 8 + 2 + 9 * 12 + 4;
    const Entry entries[] = {
        {256, 4, quint32(width)},
        {257, 4, quint32(height)},
        {258, 3, 8},
        {259, 3, 8},
        {262, 3, 1},
        {273, 4, stripAt},
        {277, 3, 1},
        {278, 4, quint32(height)},
        {279, 4, quint32(strip.size())},
    };
    putLe(tiff, 9, 2);
    for (const Entry& e : entries) {
        putLe(tiff, e.tag, 2);
        putLe(tiff, e.type, 2);
        putLe(tiff, 1, 4);
        putLe(tiff, e.value, 4);
    }
    putLe(tiff, 0, 4); // no further directory
    return tiff + strip;
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

TEST(PictureBudget, PicturesOverTheLimitAreRefusedWithTheirSizeAndTheLimit) {
    struct Case {
        std::string name;
        QByteArray bytes;
        const char* size;
    };
    const std::vector<Case> cases = {
        {"arithmetic JPEG", arithmeticJpegDeclaring(23000, 23000), "23000 x 23000 pixels"},
        {"ZIP TIFF", zipTiff(20000, 20000), "20000 x 20000 pixels"},
        {"1-bit PNG", onebitPng(22000, 22000), "22000 x 22000 pixels"},
        {"BMP just over", vexa::test::bmpDeclaring(20000, 12501), "20000 x 12501 pixels"},
        {"BMP Qt turns down", vexa::test::bmpDeclaring(23000, 23000), "23000 x 23000 pixels"},
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
