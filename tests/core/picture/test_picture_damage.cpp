// Damage in every coding the loader reads: arithmetic-coded JPEGs and run-length BMPs cut
// short are refused; the near-valid files other readers take load.

#include "core/picture/PictureFile.h"
#include "core/picture/PictureIntegrity.h"
#include "support/JpegEncoder.h"
#include "support/SecondProgram.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vexa::test::encodeJpeg;
using vexa::test::JpegCoding;

const QByteArray kEndMarker("\xFF\xD9", 2);

// Random colours: every block costs many bytes, so a cut anywhere loses real data.
QImage noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, random.generate() | 0xFF000000u);
    return image;
}

// Noise above an end that costs the coder almost nothing: a white margin, or a pattern that
// repeats with every block. The coder's last bytes are then zeros, which it leaves out.
QImage noiseAbove(int width, int height, bool stripes) {
    QImage image = noise(width, height);
    for (int y = height / 2; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           !stripes                    ? qRgb(255, 255, 255)
                           : (x % 8 < 3) ^ (y % 8 < 5) ? qRgb(20, 200, 90)
                                                       : qRgb(230, 30, 140));
    return image;
}

QImage stripes(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x % 8 < 3 ? qRgb(20, 200, 90) : qRgb(230, 30, 140));
    return image;
}

QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 90));
    return image;
}

JpegCoding arithmetic(JpegCoding coding, bool progressive) {
    coding.arithmetic = true;
    coding.progressive = progressive;
    return coding;
}

// An arithmetic coder may end before its last zero bytes, so the decoder reaches the end
// marker early in a valid file too. None of these libjpeg outputs may be taken for a cut
// one: flat, white, noisy and patterned pictures, and pictures whose end costs the coder
// nothing after a noisy start, in several sizes and samplings, baseline and progressive.
TEST(PictureDamage, NoValidArithmeticJpegIsTakenForACutOne) {
    struct Case {
        std::string name;
        QImage picture;
        JpegCoding coding;
    };
    const QImage grey = vexa::test::solidImage(16, 16, qRgb(128, 128, 128));
    const QImage white = vexa::test::solidImage(2000, 1500, qRgb(255, 255, 255));
    const QImage flat = vexa::test::solidImage(1024, 768, qRgb(40, 90, 200));
    const QImage whiteEnd = noiseAbove(1000, 1000, false);
    const QImage patternEnd = noiseAbove(640, 480, true);
    const QImage pattern = stripes(1600, 1200);
    const QImage small = noise(203, 131);
    const QImage odd = noiseAbove(37, 45, false);
    std::vector<Case> cases;
    for (const bool progressive : {false, true}) {
        const std::string kind = progressive ? "progressive " : "baseline ";
        const auto add = [&](const char* name, const QImage& picture, JpegCoding coding) {
            cases.push_back({kind + name, picture, arithmetic(coding, progressive)});
        };
        add("grey 16x16", grey, {});
        add("white 4:2:0", white, {});
        add("white grey", white, {.gray = true});
        add("flat 4:4:4", flat, {.lumaH = 1, .lumaV = 1});
        add("flat 4:2:2", flat, {.lumaH = 2, .lumaV = 1});
        add("white end 4:2:0", whiteEnd, {});
        add("white end 4:4:4", whiteEnd, {.lumaH = 1, .lumaV = 1});
        add("white end with restarts", whiteEnd, {.restartRows = 3});
        add("pattern end 4:2:0", patternEnd, {});
        add("stripes 4:4:4", pattern, {.lumaH = 1, .lumaV = 1});
        add("stripes grey", pattern, {.gray = true});
        add("noise 4:1:1", small, {.lumaH = 4, .lumaV = 1});
        add("noise quality 30", small, {.quality = 30});
        add("white end 37x45 1x2", odd, {.lumaH = 1, .lumaV = 2});
    }
    for (const Case& c : cases)
        EXPECT_TRUE(vexa::picture::isPictureDataComplete(encodeJpeg(c.picture, c.coding)))
            << c.name;
    // The check is the loader's: the smaller ones load in full.
    for (const Case& c : cases) {
        if (c.picture.width() >= 256) continue;
        EXPECT_EQ(vexa::picture::loadPictureData(encodeJpeg(c.picture, c.coding)).size(),
                  c.picture.size())
            << c.name;
    }
}

// libjpeg reads zeros where arithmetic-coded data stops and shows the rest of the picture
// as made-up blocks, without a warning. A cut is refused once it takes away more than the
// few bytes a valid file may leave out.
TEST(PictureDamage, ArithmeticJpegsCutShortAreRefused) {
    const std::pair<const char*, JpegCoding> codings[] = {
        {"baseline", arithmetic({}, false)},
        {"progressive", arithmetic({}, true)},
        {"restart markers", arithmetic({.restartRows = 4}, false)},
    };
    for (const auto& [name, coding] : codings)
        for (const QImage& picture : {noise(203, 131), gradient(203, 131)}) {
            const QByteArray whole = encodeJpeg(picture, coding);
            SCOPED_TRACE(name);
            ASSERT_EQ(vexa::picture::loadPictureData(whole).size(), picture.size());
            const qsizetype firstScan = whole.indexOf(QByteArrayView("\xFF\xDA", 2));
            ASSERT_GT(firstScan, 0);
            const qsizetype lastCut = whole.size() - 2 - 120;
            for (int i = 0; i <= 40; ++i) {
                const qsizetype cut = firstScan + 20 + (lastCut - firstScan - 20) * i / 40;
                EXPECT_TRUE(vexa::picture::loadPictureData(whole.left(cut) + kEndMarker).isNull())
                    << "cut at " << cut << " of " << whole.size() << ", end marker put back";
                EXPECT_TRUE(vexa::picture::loadPictureData(whole.left(cut)).isNull())
                    << "cut at " << cut << " of " << whole.size();
            }
        }
}

// Every block is there; only the end-of-image marker after the last scan is missing.
TEST(PictureDamage, JpegWithoutItsEndMarkerLoads) {
    const QImage picture = gradient(120, 80);
    for (const bool progressive : {false, true})
        for (const bool arithmeticCoded : {false, true}) {
            const QByteArray whole =
                encodeJpeg(picture, {.progressive = progressive, .arithmetic = arithmeticCoded});
            ASSERT_TRUE(whole.endsWith(kEndMarker));
            const QImage expected = vexa::picture::loadPictureData(whole);
            ASSERT_FALSE(expected.isNull());
            const QImage loaded = vexa::picture::loadPictureData(whole.chopped(2));
            EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32),
                      expected.convertToFormat(QImage::Format_RGB32))
                << "progressive " << progressive << ", arithmetic " << arithmeticCoded;
        }
}

TEST(PictureDamage, GifWithAStrayZeroBeforeItsTrailerLoads) {
    // A 3 x 2 GIF (as in test_picture_file.cpp) with a zero byte between its image data and
    // its trailer.
    const QByteArray gif = QByteArray::fromHex("47494638396103000200f00000ff00000000ff21f904000"
                                               "00000002c000000000300020000020384115000003b");
    const QImage loaded = vexa::picture::loadPictureData(gif);
    ASSERT_EQ(loaded.size(), QSize(3, 2));
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(255, 0, 0));
}

void setLe(QByteArray& bytes, qsizetype at, quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = char((value >> (8 * i)) & 255);
}

// A BMP with a 40-byte info header, a palette of black, red, green and blue, and `data`.
QByteArray bmp(int width, int height, int bits, int compression, const QByteArray& data) {
    QByteArray file(54, '\0');
    file += QByteArray::fromHex("00000000"
                                "0000ff00"
                                "00ff0000"
                                "ff000000");
    file[0] = 'B';
    file[1] = 'M';
    setLe(file, 10, quint32(file.size()), 4);
    file += data;
    setLe(file, 2, quint32(file.size()), 4);
    setLe(file, 14, 40, 4);
    setLe(file, 18, quint32(width), 4);
    setLe(file, 22, quint32(height), 4);
    setLe(file, 26, 1, 2);
    setLe(file, 28, quint32(bits), 2);
    setLe(file, 30, quint32(compression), 4);
    setLe(file, 46, 4, 4);
    return file;
}

TEST(PictureDamage, RunLengthBmpsCutShortAreRefused) {
    struct Case {
        const char* name;
        int bits;
        int compression;
        QByteArray data; // three rows of six pixels, bottom row first
    };
    const Case cases[] = {
        // A run of three red, three pixels one by one (blue, black, green; padded to an even
        // count of bytes), end of line; ...; end of bitmap.
        {"RLE8", 8, 1,
         QByteArray::fromHex("0301"
                             "0003030002"
                             "00"
                             "0000"
                             "0602"
                             "0000"
                             "0303"
                             "0003010203"
                             "00"
                             "0001")},
        // Runs of alternating colours and pixels given in pairs of nibbles.
        {"RLE4", 4, 2,
         QByteArray::fromHex("0612"
                             "0000"
                             "0004"
                             "1230"
                             "0000"
                             "0233"
                             "0433"
                             "0001")},
    };
    for (const Case& c : cases) {
        const QByteArray whole = bmp(6, 3, c.bits, c.compression, c.data);
        const QImage loaded = vexa::picture::loadPictureData(whole);
        ASSERT_EQ(loaded.size(), QSize(6, 3)) << c.name;
        const qsizetype dataStart = whole.size() - c.data.size();
        for (qsizetype cut = dataStart; cut < whole.size(); ++cut)
            EXPECT_TRUE(vexa::picture::loadPictureData(whole.left(cut)).isNull())
                << c.name << " cut at " << cut - dataStart << " of " << c.data.size();
    }
    // A writer that ends every row, the last one too, with an end of line and leaves out the
    // end of bitmap has coded every row.
    const QByteArray rowsClosed = bmp(2, 2, 8, 1,
                                      QByteArray::fromHex("0201"
                                                          "0000"
                                                          "0202"
                                                          "0000"));
    const QImage closed = vexa::picture::loadPictureData(rowsClosed);
    ASSERT_EQ(closed.size(), QSize(2, 2));
    EXPECT_EQ(closed.pixel(0, 1), qRgb(255, 0, 0)); // the bottom row, stored first
}

TEST(PictureDamage, BmpMissingItsLastRowsPaddingIsRefused) {
    // Three 24-bit pixels a row: 9 bytes, padded to 12.
    const QByteArray rows =
        QByteArray(9, '\x40') + QByteArray(3, '\0') + QByteArray(9, '\x80') + QByteArray(3, '\0');
    const QByteArray whole = bmp(3, 2, 24, 0, rows);
    ASSERT_EQ(vexa::picture::loadPictureData(whole).size(), QSize(3, 2));
    EXPECT_TRUE(vexa::picture::loadPictureData(whole.chopped(3)).isNull());
}

// cjpeg's output for a flat picture of `width` x `height` (its PPM streamed in, so that no
// picture of that size is held here).
QByteArray flatJpegByCjpeg(int width, int height, const QStringList& options) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("flat.jpg"));
    QProcess cjpeg;
    cjpeg.start(QStringLiteral("cjpeg"), options + QStringList{"-outfile", out});
    EXPECT_TRUE(cjpeg.waitForStarted(30000));
    cjpeg.write("P6\n" + QByteArray::number(width) + ' ' + QByteArray::number(height) + "\n255\n");
    QByteArray row;
    for (int x = 0; x < width; ++x) row += QByteArray("\x5a\x78\xc8", 3); // 90, 120, 200
    for (int y = 0; y < height; ++y) {
        cjpeg.write(row);
        while (cjpeg.bytesToWrite() > (1 << 22)) cjpeg.waitForBytesWritten(30000);
    }
    cjpeg.closeWriteChannel();
    EXPECT_TRUE(cjpeg.waitForFinished(120000));
    EXPECT_EQ(cjpeg.exitCode(), 0) << cjpeg.readAllStandardError().toStdString();
    return vexa::test::fileBytes(out);
}

// A TIFF of RGB pixels in tiles of 1 x 1 (tile sides should be multiples of 16; other readers
// take any): uncompressed, each pixel a tile of its own.
QByteArray onePixelTiles(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const auto pixels = quint32(rgb.width() * rgb.height());
    QByteArray data;
    for (int y = 0; y < rgb.height(); ++y)
        data.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    const auto putLe = [&data](quint32 value, int size) {
        for (int i = 0; i < size; ++i) data += char((value >> (8 * i)) & 255);
    };
    const auto offsets = quint32(8 + data.size());
    for (quint32 i = 0; i < pixels; ++i) putLe(8 + 3 * i, 4);
    const auto counts = quint32(8 + data.size());
    for (quint32 i = 0; i < pixels; ++i) putLe(3, 4);
    const auto bits = quint32(8 + data.size());
    for (int i = 0; i < 3; ++i) putLe(8, 2);
    return vexa::test::littleEndianTiff(data, {{256, 4, 1, quint32(rgb.width())},
                                               {257, 4, 1, quint32(rgb.height())},
                                               {258, 3, 3, bits},
                                               {259, 3, 1, 1},
                                               {262, 3, 1, 2},
                                               {277, 3, 1, 3},
                                               {284, 3, 1, 1},
                                               {322, 4, 1, 1},
                                               {323, 4, 1, 1},
                                               {324, 4, pixels, offsets},
                                               {325, 4, pixels, counts}});
}

QImage readPpm(const QByteArray& ppm) {
    return QImage::fromData(ppm, "PPM");
}

// Valid files that other readers take, and that VEXA refused: each loads as a second program
// decodes it (djpeg, ImageMagick), or as the whole file does.
TEST(PictureDamage, FilesOtherReadersTakeLoad) {
    const QImage photo = vexa::test::photoLike(120, 80);
    const auto decoded = [](const char* program, const QStringList& arguments,
                            const QByteArray& bytes, const char* suffix) {
        return readPpm(vexa::test::runProgram(program, arguments, bytes, suffix, ".ppm").output);
    };
    struct Case {
        std::string name;
        QByteArray bytes;
        QImage expected; // null: a flat picture of 90, 120, 200
        QSize size;
    };
    std::vector<Case> cases;
    // Arithmetic coding of a flat picture of any size takes a few bytes: the coder leaves out
    // the zero bytes it ends with.
    for (const int side : {10000, 12000}) {
        const QByteArray flat = flatJpegByCjpeg(side, side, {"-arithmetic"});
        EXPECT_LT(flat.size(), 300);
        cases.push_back({"flat " + std::to_string(side), flat, QImage(), QSize(side, side)});
    }
    // A progressive file whose scans leave coefficients 34 to 63 uncoded (they are zeros).
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("scans.txt"));
    vexa::test::writeFileBytes(script, "0,1,2: 0-0, 0, 0;\n0: 1-33, 0, 0;\n1: 1-33, 0, 0;\n"
                                       "2: 1-33, 0, 0;\n");
    const QByteArray partial =
        vexa::test::madeBy(photo, "cjpeg", {"-scans", script, "-outfile", "{out}", "{in}"}, ".jpg");
    cases.push_back({"coefficients 34 to 63 uncoded", partial,
                     decoded("djpeg", {"-outfile", "{out}", "{in}"}, partial, ".jpg"),
                     photo.size()});
    // A GIF without its last block terminator and trailer.
    const QByteArray gif =
        vexa::test::madeBy(photo, "convert", {"{in}", "-colors", "200", "gif:{out}"}, ".gif");
    ASSERT_TRUE(gif.endsWith(QByteArray("\0;", 2)));
    cases.push_back({"GIF without terminator and trailer", gif.chopped(2),
                     vexa::picture::loadPictureData(gif), photo.size()});
    // A TIFF of 1-pixel tiles.
    const QByteArray tiles = onePixelTiles(photo.copy(0, 0, 37, 23));
    cases.push_back({"TIFF of 1-pixel tiles", tiles,
                     decoded("convert", {"{in}", "ppm:{out}"}, tiles, ".tif"), QSize(37, 23)});
    // A TIFF of 32-bit floating-point samples, which libtiff's RGBA reading does not take:
    // samples of n / 5 are 51 n in 8 bits.
    const float samples[] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0.2f, 0.4f, 0.6f, 0.8f, 1, 0, 0, 0, 0};
    QByteArray floatData(reinterpret_cast<const char*>(samples), sizeof samples); // little-endian
    const auto floatFields = quint32(8 + floatData.size());
    floatData += QByteArray("\x20\0\x20\0\x20\0\x03\0\x03\0\x03\0", 12);
    QImage floatPixels(3, 2, QImage::Format_RGB32);
    const QRgb floatColours[] = {qRgb(255, 0, 0),    qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                 qRgb(51, 102, 153), qRgb(204, 255, 0), qRgb(0, 0, 0)};
    for (int i = 0; i < 6; ++i) floatPixels.setPixel(i % 3, i / 3, floatColours[i]);
    cases.push_back({"TIFF of floating-point samples",
                     vexa::test::littleEndianTiff(floatData, {{256, 4, 1, 3},
                                                              {257, 4, 1, 2},
                                                              {258, 3, 3, floatFields},
                                                              {259, 3, 1, 1},
                                                              {262, 3, 1, 2},
                                                              {273, 4, 1, 8},
                                                              {277, 3, 1, 3},
                                                              {278, 4, 1, 2},
                                                              {279, 4, 1, sizeof samples},
                                                              {284, 3, 1, 1},
                                                              {339, 3, 3, floatFields + 6}}),
                     floatPixels, QSize(3, 2)});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage loaded = vexa::picture::loadPictureData(c.bytes);
        ASSERT_EQ(loaded.size(), c.size);
        if (c.expected.isNull()) {
            for (const QPoint at : {QPoint(0, 0), QPoint(c.size.width() - 1, c.size.height() - 1),
                                    QPoint(c.size.width() / 2, c.size.height() / 3)}) {
                const QRgb pixel = loaded.pixel(at);
                EXPECT_NEAR(qRed(pixel), 90, 2);
                EXPECT_NEAR(qGreen(pixel), 120, 2);
                EXPECT_NEAR(qBlue(pixel), 200, 2);
            }
            continue;
        }
        ASSERT_EQ(c.expected.size(), c.size);
        EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32),
                  c.expected.convertToFormat(QImage::Format_RGB32));
    }
}

} // namespace
