// The colours a picture is read with: bit-field BMPs over the full 0..255 range, and
// transparency put over white, as the picture prints on white paper.

#include "core/picture/PictureFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void setLe(QByteArray& bytes, qsizetype at, quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = char((value >> (8 * i)) & 255);
}

struct BitfieldBmp {
    int bits = 16;
    int compression = 3;         // BI_BITFIELDS; 0: BI_RGB
    int headerSize = 40;         // 40: masks after the header; 56 and more: masks in it, alpha too
    quint32 masks[4] = {};       // red, green, blue, alpha
    std::vector<quint32> pixels; // one row, left to right
};

QByteArray file(const BitfieldBmp& b) {
    const int width = int(b.pixels.size());
    const int stride = (width * b.bits + 31) / 32 * 4;
    const bool masksAfterHeader = b.compression == 3 && b.headerSize == 40;
    const int offset = 14 + b.headerSize + (masksAfterHeader ? 12 : 0);
    QByteArray bytes(offset + stride, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    setLe(bytes, 2, quint32(bytes.size()), 4);
    setLe(bytes, 10, quint32(offset), 4);
    setLe(bytes, 14, quint32(b.headerSize), 4);
    setLe(bytes, 18, quint32(width), 4);
    setLe(bytes, 22, 1, 4);
    setLe(bytes, 26, 1, 2);
    setLe(bytes, 28, quint32(b.bits), 2);
    setLe(bytes, 30, quint32(b.compression), 4);
    if (b.compression == 3)
        for (int i = 0; i < (b.headerSize >= 56 ? 4 : 3); ++i)
            setLe(bytes, 54 + 4 * i, b.masks[i], 4);
    for (int x = 0; x < width; ++x)
        setLe(bytes, offset + x * b.bits / 8, b.pixels[std::size_t(x)], b.bits / 8);
    return bytes;
}

struct ColourCase {
    const char* name;
    BitfieldBmp bmp;
    std::vector<QRgb> expected; // as read: v * 255 / max rounded, over white where alpha
};

// Qt's reader shifts a 5-bit field up by 3 (white reads 248, 252 in a 6-bit green) and
// loses fields wider than 8 bits. Values from the format: a field v of `max` reads
// v * 255 / max, rounded.
TEST(PictureColours, BitfieldBmpsReadOverTheFullRange) {
    const ColourCase cases[] = {
        {"16-bit 5-5-5 without masks",
         {.compression = 0, .pixels = {0x7FFF, 0x4210, 0x0001, 0x7C00}},
         {qRgb(255, 255, 255), qRgb(132, 132, 132), qRgb(0, 0, 8), qRgb(255, 0, 0)}},
        {"16-bit 5-6-5",
         {.masks = {0xF800, 0x07E0, 0x001F}, .pixels = {0xFFFF, 0x0400, 0x0020, 0x0801}},
         {qRgb(255, 255, 255), qRgb(0, 130, 0), qRgb(0, 4, 0), qRgb(8, 0, 8)}},
        {"16-bit 4-4-4-4 with alpha",
         {.headerSize = 56, .masks = {0x0F00, 0x00F0, 0x000F, 0xF000}, .pixels = {0xFFFF, 0x8F00}},
         // alpha 8 of 15 is 136: over white, 0 becomes 255 * 119 / 255 = 119.
         {qRgb(255, 255, 255), qRgb(255, 119, 119)}},
        {"32-bit 10-10-10",
         {.bits = 32,
          .masks = {0x3FF00000, 0x000FFC00, 0x000003FF},
          .pixels = {0x3FFFFFFF, 0x20000001}},
         {qRgb(255, 255, 255), qRgb(128, 0, 0)}},
        {"32-bit alpha declared and left zero",
         {.bits = 32,
          .headerSize = 56,
          .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
          .pixels = {0x0A141E}},
         {qRgb(10, 20, 30)}},
    };
    for (const ColourCase& c : cases) {
        const QImage loaded = vexa::picture::loadPictureData(file(c.bmp));
        ASSERT_EQ(loaded.size(), QSize(int(c.expected.size()), 1)) << c.name;
        for (int x = 0; x < loaded.width(); ++x)
            EXPECT_EQ(loaded.pixel(x, 0), c.expected[std::size_t(x)])
                << c.name << ", pixel " << x << ": " << std::hex << loaded.pixel(x, 0);
    }
}

// A cover prints on white paper: what is transparent shows white, what is half transparent
// is put over white ("over": c * a + 255 * (1 - a)), whatever colour is stored under it.
TEST(PictureColours, TransparencyIsPutOverWhite) {
    QImage picture(4, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 0, 0, 255));   // opaque
    picture.setPixel(1, 0, qRgba(0, 160, 0, 0));     // transparent, green stored under it
    picture.setPixel(2, 0, qRgba(0, 0, 255, 128));   // half transparent blue
    picture.setPixel(3, 0, qRgba(60, 120, 180, 51)); // a fifth opaque
    // 0 at alpha 128: 255 * 127 / 255 = 127; at alpha 51: 60 * 51 / 255 + 204 = 216, ...
    const std::vector<QRgb> expected = {qRgb(200, 0, 0), qRgb(255, 255, 255), qRgb(127, 127, 255),
                                        qRgb(216, 228, 240)};
    BitfieldBmp bmp{
        .bits = 32, .headerSize = 56, .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, .pixels = {}};
    for (int x = 0; x < 4; ++x) bmp.pixels.push_back(picture.pixel(x, 0));
    const std::pair<const char*, QByteArray> files[] = {
        {"png", vexa::test::encodeWithQt(picture, "png")},
        {"tiff", vexa::test::encodeWithQt(picture, "tiff")},
        {"bmp", file(bmp)},
    };
    for (const auto& [format, bytes] : files) {
        const QImage loaded = vexa::picture::loadPictureData(bytes);
        ASSERT_EQ(loaded.size(), picture.size()) << format;
        EXPECT_FALSE(loaded.hasAlphaChannel()) << format;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(loaded.pixel(x, 0), expected[std::size_t(x)])
                << format << ", pixel " << x << ": " << std::hex << loaded.pixel(x, 0);
    }

    // A GIF whose colour 0 (red) is transparent: a 3 x 2 picture of red and green.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396103000200f00000ff00000000ff21f90401000000002c0000000003000200000203841150003b");
    const QImage loaded = vexa::picture::loadPictureData(gif);
    ASSERT_EQ(loaded.size(), QSize(3, 2));
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(255, 255, 255)); // was red
    EXPECT_FALSE(loaded.hasAlphaChannel());
}

} // namespace
