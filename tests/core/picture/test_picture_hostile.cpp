// The picture loader against what careless users and attackers hand it: files that never end
// or are not files, decompression bombs, damaged JPEGs; and every valid coding still loads.

#include "core/picture/PictureFile.h"
#include "core/picture/PictureIntegrity.h"
#include "core/picture/PictureIntegrityJpeg.h"
#include "support/JpegEncoder.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vexa;

namespace {

using vexa::test::encodeJpeg;
using vexa::test::JpegCoding;

QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] =
                qRgb(x * 255 / width, y * 255 / height, 255 - (x + y) * 255 / (width + height));
    }
    return image;
}

// The loaded picture matches the encoder's input within JPEG's loss at a grid of points.
void expectCloseTo(const QImage& loaded, const QImage& input, bool gray) {
    // A gray file holds what the encoder was given: the picture converted to gray.
    const QImage original = gray ? input.convertToFormat(QImage::Format_Grayscale8) : input;
    ASSERT_EQ(loaded.size(), original.size());
    for (int y = 0; y < original.height(); y += original.height() / 7 + 1)
        for (int x = 0; x < original.width(); x += original.width() / 7 + 1) {
            const QRgb want = original.pixel(x, y);
            const QRgb got = loaded.pixel(x, y);
            const int wantGray = qGray(want);
            const auto near = [](int a, int b) { return std::abs(a - b) <= 24; };
            if (gray)
                EXPECT_TRUE(near(qGray(got), wantGray)) << x << "," << y;
            else
                EXPECT_TRUE(near(qRed(got), qRed(want)) && near(qGreen(got), qGreen(want)) &&
                            near(qBlue(got), qBlue(want)))
                    << x << "," << y;
        }
}

struct Coding {
    const char* name;
    JpegCoding coding;
};

TEST(PictureLoader, EveryJpegCodingLoads) {
    const Coding codings[] = {
        {"4:4:4", {.lumaH = 1, .lumaV = 1}},
        {"4:2:2", {.lumaH = 2, .lumaV = 1}},
        {"4:2:0", {.lumaH = 2, .lumaV = 2}},
        {"4:4:0", {.lumaH = 1, .lumaV = 2}},
        {"4:1:1", {.lumaH = 4, .lumaV = 1}},
        {"1x4", {.lumaH = 1, .lumaV = 4}},
        {"4x2", {.lumaH = 4, .lumaV = 2}},
        {"2x4", {.lumaH = 2, .lumaV = 4}},
        {"grayscale", {.gray = true}},
        {"progressive", {.progressive = true}},
        {"progressive grayscale", {.gray = true, .progressive = true}},
        {"progressive 4:4:4", {.lumaH = 1, .lumaV = 1, .progressive = true}},
        {"arithmetic", {.arithmetic = true}},
        {"arithmetic progressive", {.progressive = true, .arithmetic = true}},
        {"restart markers", {.restartRows = 1}},
        {"progressive restart markers", {.progressive = true, .restartRows = 2}},
        {"low quality", {.quality = 25}},
    };
    const QImage original = gradient(203, 131);
    QTemporaryDir dir;
    for (const Coding& c : codings) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("p.jpg");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeJpeg(original, c.coding));
        file.close();
        expectCloseTo(vexa::picture::loadPictureFile(path), original, c.coding.gray);
    }
}

TEST(PictureLoader, ThirtySixMegapixelPhotoLoads) {
    const QImage photo = gradient(7360, 4912);
    const QImage loaded = vexa::picture::loadPictureData(encodeJpeg(photo, {.quality = 92}));
    expectCloseTo(loaded, photo, false);
}

qsizetype lastScanStart(const QByteArray& jpeg) {
    return jpeg.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
}

// Every damage libjpeg reports, and progressive files cut before a later scan.
TEST(PictureLoader, DamagedJpegsAreRefused) {
    const QImage picture = vexa::test::patternImage(256, 192);
    const QByteArray baseline = encodeJpeg(picture, {});
    const QByteArray progressive = encodeJpeg(picture, {.progressive = true});
    const QByteArray restarts = encodeJpeg(picture, {.restartRows = 1});
    const QByteArray eoi("\xFF\xD9", 2);
    std::vector<std::pair<std::string, QByteArray>> damaged;

    // Premature end of the data segment: the file cut inside its coded data, the end marker
    // appended so that only the decoder can tell.
    for (double share : {0.4, 0.8, 0.97})
        damaged.emplace_back("cut at " + std::to_string(share),
                             baseline.left(qsizetype(baseline.size() * share)) + eoi);
    // A bad Huffman code: a run of one-bits no code table holds.
    QByteArray badCode = baseline;
    for (qsizetype i = baseline.size() / 2; i < baseline.size() / 2 + 40; i += 2)
        badCode.replace(i, 2, QByteArray("\xFF\x00", 2));
    damaged.emplace_back("bad Huffman code", badCode);
    // A restart marker out of sequence.
    QByteArray resync = restarts;
    const qsizetype firstRestart =
        resync.indexOf(QByteArrayView("\xFF\xD0", 2), lastScanStart(restarts));
    ASSERT_GT(firstRestart, 0);
    resync[firstRestart + 1] = char(0xD3);
    damaged.emplace_back("restart marker out of sequence", resync);
    // A progressive file cut before each of its later scans: some coefficients are coded
    // only in part or not at all.
    qsizetype scan = progressive.indexOf(QByteArrayView("\xFF\xDA", 2));
    int later = 0;
    while ((scan = progressive.indexOf(QByteArrayView("\xFF\xDA", 2), scan + 2)) > 0)
        damaged.emplace_back("progressive cut before scan " + std::to_string(++later + 1),
                             progressive.left(scan) + eoi);
    ASSERT_GE(later, 5);

    for (const auto& [name, bytes] : damaged)
        EXPECT_TRUE(vexa::picture::loadPictureData(bytes).isNull()) << name;
}

TEST(PictureLoader, ExtraneousBytesBeforeAMarkerStillLoad) {
    const QImage picture = gradient(64, 48);
    QByteArray padded = encodeJpeg(picture, {});
    padded.insert(padded.size() - 2, QByteArray(7, '\0')); // before the end marker
    expectCloseTo(vexa::picture::loadPictureData(padded), picture, false);
}

// Sets a big-endian 16-bit value, as JPEG headers hold them.
void setBe16(QByteArray& bytes, qsizetype at, int value) {
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 255);
}

void setLe(QByteArray& bytes, qsizetype at, quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = char((value >> (8 * i)) & 255);
}

// A grey progressive JPEG of 499 scans, its DC and each of its first 44 AC coefficients coded
// bit by bit (from bit 10, libjpeg's deepest, down), the rest in four bands.
QByteArray manyScanJpeg(int width, int height) {
    std::vector<vexa::test::JpegScan> scans;
    for (int k = 0; k <= 44; ++k) {
        scans.push_back({{0}, k, k, 0, 10});
        for (int bit = 9; bit >= 0; --bit) scans.push_back({{0}, k, k, bit + 1, bit});
    }
    for (const auto& [first, last] : {std::pair{45, 50}, {51, 56}, {57, 60}, {61, 63}})
        scans.push_back({{0}, first, last, 0, 0});
    EXPECT_EQ(scans.size(), 499u);
    // Arithmetic coding, which has no bound of data per block: only the scans refuse it.
    QByteArray jpeg = encodeJpeg(vexa::test::solidImage(64, 48, qRgb(90, 90, 90)),
                                 {.gray = true, .arithmetic = true, .scans = scans});
    const qsizetype frame = jpeg.indexOf(QByteArrayView("\xFF\xCA", 2));
    EXPECT_GT(frame, 0);
    setBe16(jpeg, frame + 5, height);
    setBe16(jpeg, frame + 7, width);
    return jpeg;
}

// Files of a few hundred bytes that would take gigabytes, or minutes, to decode; each refused
// before its pixels are decoded (the sentence, where there is one, names why).
TEST(PictureLoader, BombsAreRefused) {
    struct Bomb {
        std::string name;
        QByteArray bytes;
        const char* reason = nullptr;
    };
    std::vector<Bomb> bombs;
    // JPEGs: a small picture whose frame header is made to declare more.
    for (const bool arithmetic : {false, true}) {
        QByteArray jpeg = encodeJpeg(vexa::test::solidImage(8, 8, qRgb(90, 90, 90)),
                                     {.gray = true, .arithmetic = arithmetic, .quality = 50});
        const qsizetype frame =
            jpeg.indexOf(QByteArrayView(arithmetic ? "\xFF\xC9" : "\xFF\xC0", 2));
        ASSERT_GT(frame, 0);
        const int side = arithmetic ? 20000 : 15000; // Huffman: within the pixel budget
        setBe16(jpeg, frame + 5, side);
        setBe16(jpeg, frame + 7, side);
        bombs.push_back({arithmetic ? "arithmetic JPEG" : "Huffman JPEG", jpeg,
                         arithmetic ? "20000 x 20000 pixels" : nullptr});
        if (!arithmetic) continue;
        // The same frame behind FF 00, which libjpeg skips as no marker, as it skips the two
        // bytes after it; read as a marker with a length, those two bytes jump over it to
        // the segments of an 8 x 8 picture.
        const QByteArray small = encodeJpeg(vexa::test::solidImage(8, 8, qRgb(90, 90, 90)),
                                            {.gray = true, .arithmetic = true});
        QByteArray hidden("\xFF\xD8\xFF\x00\0\0", 6);
        setBe16(hidden, 4, int(jpeg.size()) - 2);
        ASSERT_NE(hidden[4], char(0xFF));
        ASSERT_NE(hidden[5], char(0xFF));
        hidden += jpeg.mid(2, jpeg.size() - 4) + small.mid(2);
        bombs.push_back({"arithmetic JPEG behind FF 00", hidden, "20000 x 20000 pixels"});
    }
    // 499 scans: under the 500-scan cap, 4.5 billion scans times pixels at 3000 x 3000.
    bombs.push_back({"progressive JPEG of 499 scans", manyScanJpeg(3000, 3000), "499 scans"});
    // GIF: a 3 x 2 picture on a 15000 x 15000 screen, and one frame declared 15000 x 15000.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396103000200f00000ff00000000ff21f90400000000002c0000000003000200000203841150003b");
    QByteArray bigScreen = gif;
    setLe(bigScreen, 6, 15000, 2);
    setLe(bigScreen, 8, 15000, 2);
    bombs.push_back({"GIF screen", bigScreen});
    QByteArray bigFrame = bigScreen;
    setLe(bigFrame, 29, 15000, 2);
    setLe(bigFrame, 31, 15000, 2);
    bombs.push_back({"GIF frame", bigFrame});
    // 29 bytes: a screen of 65535 x 0 and a frame of 1 x 3800, a picture of 65535 x 3800.
    bombs.push_back({"GIF sized by its frame", QByteArray::fromHex("474946383961ffff0000000000"
                                                                   "2c000000000100d80e00"
                                                                   "02028401003b")});
    // BMP with run-length coding: 15000 x 15000 pixels, data "end of bitmap" only.
    QByteArray rle(54 + 8, '\0');
    rle[0] = 'B';
    rle[1] = 'M';
    setLe(rle, 2, quint32(rle.size() + 2), 4);
    setLe(rle, 10, 54 + 8, 4); // palette of two colours
    setLe(rle, 14, 40, 4);
    setLe(rle, 18, 15000, 4);
    setLe(rle, 22, 15000, 4);
    setLe(rle, 26, 1, 2);
    setLe(rle, 28, 8, 2);
    setLe(rle, 30, 1, 4); // RLE8
    setLe(rle, 46, 2, 4);
    setLe(rle, 58, 0xFFFFFF, 4); // colour 1 white, colour 0 black
    rle += QByteArray("\x00\x01", 2);
    bombs.push_back({"RLE8 BMP", rle});
    // TIFF: 4 KB of zeros in one Deflate strip of 140 bytes, declaring 12900 x 12900.
    bombs.push_back({"ZIP TIFF", vexa::test::zipTiffDeclaring(12900, 12900)});

    for (const Bomb& bomb : bombs) {
        EXPECT_LT(bomb.bytes.size(), 20000) << bomb.name;
        QString refusal;
        EXPECT_TRUE(vexa::picture::readPictureData(bomb.bytes, &refusal).isNull()) << bomb.name;
        if (bomb.reason) {
            EXPECT_TRUE(refusal.contains(QLatin1String(bomb.reason)))
                << bomb.name << ": " << refusal.toStdString();
        }
    }
    // The untouched GIF, and the same run-length BMP at 4 x 2 with its rows coded, load; so does
    // the 499-scan JPEG at its own size, whose scans take nothing to decode.
    EXPECT_EQ(vexa::picture::loadPictureData(gif).size(), QSize(3, 2));
    QByteArray smallRle = rle;
    setLe(smallRle, 18, 4, 4);
    setLe(smallRle, 22, 2, 4);
    smallRle.chop(2);
    smallRle += QByteArray("\x04\x01\x00\x00\x04\x00\x00\x01", 8);
    const QImage small = vexa::picture::loadPictureData(smallRle);
    ASSERT_EQ(small.size(), QSize(4, 2));
    EXPECT_NE(small.pixel(0, 0), small.pixel(0, 1)); // bottom row colour 1, top row colour 0
    EXPECT_EQ(vexa::picture::loadPictureData(manyScanJpeg(64, 48)).size(), QSize(64, 48));
}

// The size, the limits and the coded data are checked on the frame VEXA's walk over the
// markers finds; should libjpeg read another frame, nothing is decoded.
TEST(PictureLoader, AJpegIsDecodedOnlyAsTheFrameItsChecksMeasured) {
    const QByteArray jpeg = encodeJpeg(vexa::test::patternImage(64, 48), {});
    std::optional<vexa::picture::JpegLayout> layout = vexa::picture::jpegStructure(jpeg);
    ASSERT_TRUE(layout);
    EXPECT_EQ(vexa::picture::decodeJpegPicture(jpeg, *layout).size(), QSize(64, 48));
    EXPECT_TRUE(vexa::picture::jpegDecodesCleanly(jpeg, *layout));
    layout->height = 16;
    EXPECT_TRUE(vexa::picture::decodeJpegPicture(jpeg, *layout).isNull());
    EXPECT_FALSE(vexa::picture::jpegDecodesCleanly(jpeg, *layout));
}

TEST(PictureLoader, BmpHeaderOfHugeSizeIsRefusedWithoutOverflow) {
    // Row size times row count passes 2^64 here; the check must not overflow.
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    setLe(bmp, 10, 54, 4);
    setLe(bmp, 14, 40, 4);
    setLe(bmp, 18, 0x7FFFFFFF, 4);
    setLe(bmp, 22, 0x80000000u, 4);
    setLe(bmp, 26, 1, 2);
    setLe(bmp, 28, 32, 2);
    EXPECT_FALSE(vexa::picture::isPictureDataComplete(bmp));
}

TEST(PictureLoader, OnlyRegularFilesUpToOneGibibyteAreRead) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.jpg");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString random = dir.filePath("random.jpg");
    ASSERT_TRUE(QFile::link("/dev/urandom", random));
    const QString huge = dir.filePath("huge.bmp"); // sparse: costs no disk
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BM");
        ASSERT_TRUE(file.resize((qint64(1) << 30) + 1));
    }
    for (const QString& path : {fifo, zero, random, huge, dir.path()})
        EXPECT_TRUE(vexa::picture::loadPictureFile(path).isNull()) << path.toStdString();

    // A link to a picture is followed.
    const QString real = dir.filePath("real.png");
    ASSERT_TRUE(vexa::test::patternImage(5, 4).save(real));
    ASSERT_TRUE(QFile::link(real, dir.filePath("link.png")));
    EXPECT_EQ(vexa::picture::loadPictureFile(dir.filePath("link.png")).size(), QSize(5, 4));
}

TEST(PictureLoader, WhatIsNoRegularFileIsNotEvenOpened) {
    // Opening a device can act on it: a tape rewinds, a serial line resets the board on it, a
    // watchdog arms. A FIFO stands in for such a device; inotify reports each open of it.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("device.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, dir.filePath("link.jpg")));
    const int watcher = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watcher, 0);
    ASSERT_GE(::inotify_add_watch(watcher, QFile::encodeName(fifo).constData(), IN_OPEN), 0);
    EXPECT_TRUE(vexa::picture::loadPictureFile(fifo).isNull());
    EXPECT_TRUE(vexa::picture::loadPictureFile(dir.filePath("link.jpg")).isNull());
    char events[4096];
    EXPECT_LT(::read(watcher, events, sizeof events), 0) << "the FIFO was opened";
    ::close(watcher);
}

} // namespace
