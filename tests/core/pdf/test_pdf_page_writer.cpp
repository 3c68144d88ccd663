// Pages written by the page writer, read back by second programs: pdfimages gives back the
// pictures (JPEG data byte for byte, other pictures pixel for pixel), pdftoppm shows where
// they land, pdfinfo reads the page boxes and qpdf checks the file's structure. The preview's
// drawing of the same page is measured the same way.
#include "support/JpegEncoder.h"
#include "support/JpegMarkers.h"
#include "support/PdfProbe.h"
#include "support/TestSupport.h"

#include "core/cover/PageContent.h"
#include "core/pdf/PagePainter.h"
#include "core/pdf/PdfPageWriter.h"
#include "core/picture/PictureFile.h"

#include <QBuffer>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace vexa {
namespace {

using test::JpegCoding;

class PdfPageWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // The pages written into a file of the test's folder; its name.
    QString written(const std::vector<cover::PageContent>& pages) {
        const QString path = folder.filePath(QStringLiteral("page%1.pdf").arg(++files));
        EXPECT_TRUE(pdf::writePdfFile(path, pages));
        EXPECT_EQ(test::qpdfProblems(path), QString());
        return path;
    }

    // One page of 200 x 150 points holding the whole picture at (10, 20), 120 x 90.
    QString writtenAlone(const cover::PageImage& image) {
        cover::PageContent page{QSizeF(200, 150)};
        page.addPicture(image, QRectF(10, 20, 120, 90));
        return written({page});
    }

    QTemporaryDir folder;
    int files = 0;
};

picture::LoadedPicture loaded(const QByteArray& bytes) {
    const picture::LoadedPicture picture = picture::readPictureData(bytes);
    EXPECT_FALSE(picture.isNull());
    return picture;
}

cover::PageImage pageImageOf(const picture::LoadedPicture& picture) {
    return cover::PageImage::fromPicture(picture.pixels, picture.bytes, picture.format,
                                         picture.changed);
}

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// A photo-like picture: smooth changes that JPEG keeps well.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) % 256));
    return image;
}

TEST_F(PdfPageWriterTest, AnUnchangedJpegGoesInAsItsOwnBytes) {
    const struct {
        const char* name;
        JpegCoding coding;
        const char* colour;
    } cases[] = {
        {"baseline grey", JpegCoding{.gray = true}, "gray"},
        {"baseline YCbCr", JpegCoding{}, "rgb"},
        {"progressive", JpegCoding{.progressive = true}, "rgb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray jpeg = test::encodeJpeg(photo(64, 48), c.coding);
        const QString pdf = writtenAlone(pageImageOf(loaded(jpeg)));
        const auto images = test::pdfImageList(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].encoding, "jpeg");
        EXPECT_EQ(images[0].colour, c.colour);
        EXPECT_EQ(images[0].size, QSize(64, 48));
        EXPECT_EQ(test::firstPdfJpeg(pdf), jpeg);
    }
}

TEST_F(PdfPageWriterTest, OtherPicturesComeBackPixelForPixel) {
    const QImage pattern = test::patternImage(64, 48);
    QImage greyPattern = pattern.convertToFormat(QImage::Format_Grayscale8);
    const struct {
        const char* name;
        std::function<cover::PageImage()> image;
        QImage expected;
        const char* colour;
    } cases[] = {
        {"edited JPEG",
         [&] {
             picture::LoadedPicture edited = loaded(test::encodeJpeg(pattern, JpegCoding{}));
             edited.pixels = pattern;
             edited.changed = true;
             return pageImageOf(edited);
         },
         pattern, "rgb"},
        {"CMYK JPEG",
         [&] { return pageImageOf(loaded(test::encodeJpeg(pattern, JpegCoding{.cmyk = true}))); },
         loaded(test::encodeJpeg(pattern, JpegCoding{.cmyk = true})).pixels, "rgb"},
        {"RGB-coded JPEG",
         [&] {
             return pageImageOf(loaded(test::encodeJpeg(pattern, JpegCoding{.rgbCoded = true})));
         },
         loaded(test::encodeJpeg(pattern, JpegCoding{.rgbCoded = true})).pixels, "rgb"},
        {"PNG", [&] { return pageImageOf(loaded(test::encodeWithQt(pattern, "png"))); }, pattern,
         "rgb"},
        {"grey pixels", [&] { return cover::PageImage(greyPattern); }, greyPattern, "gray"},
        {"grey pixels held as RGB",
         [&] { return cover::PageImage(greyPattern.convertToFormat(QImage::Format_RGB32)); },
         greyPattern, "gray"},
        {"16-bit pixels",
         [&] { return cover::PageImage(pattern.convertToFormat(QImage::Format_RGBX64)); }, pattern,
         "rgb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString pdf = writtenAlone(c.image());
        const auto images = test::pdfImageList(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].encoding, "image"); // Flate-compressed pixels
        EXPECT_EQ(images[0].colour, c.colour);
        const QImage back = test::firstPdfImage(pdf);
        ASSERT_EQ(back.size(), c.expected.size());
        EXPECT_EQ(rgb(back), rgb(c.expected));
    }
}

TEST_F(PdfPageWriterTest, TransparentPixelsAreStoredOverWhite) {
    QImage picture(4, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 10, 10, 255));
    picture.setPixel(1, 0, qRgba(200, 10, 10, 0));
    picture.setPixel(2, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(3, 0, qRgba(0, 0, 0, 51)); // 20 % black: 255 * 0.8 = 204
    const QImage back = rgb(test::firstPdfImage(writtenAlone(cover::PageImage(picture))));
    ASSERT_EQ(back.size(), QSize(4, 1));
    EXPECT_EQ(back.pixel(0, 0), qRgb(200, 10, 10));
    EXPECT_EQ(back.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(back.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_NEAR(qRed(back.pixel(3, 0)), 204, 1);
}

// A picture file of 16 bits a sample as ImageMagick's convert writes it ("png" or "tif")
// from a PGM (one sample a pixel) or PPM (three) made here: big-endian samples up to 65535.
QByteArray sixteenBitFile(const QTemporaryDir& folder, QSize size, int channels,
                          const std::vector<int>& samples, const QString& type) {
    QByteArray netpbm = QByteArray(channels == 1 ? "P5\n" : "P6\n") +
                        QByteArray::number(size.width()) + ' ' + QByteArray::number(size.height()) +
                        "\n65535\n";
    for (const int v : samples) {
        netpbm += char(v >> 8);
        netpbm += char(v & 0xFF);
    }
    const QString in = folder.filePath(channels == 1 ? "in.pgm" : "in.ppm");
    const QString out = folder.filePath("sixteen." + type);
    test::writeFileBytes(in, netpbm);
    QProcess convert;
    convert.start("convert", {in, "-depth", "16", "-compress", "zip", out});
    EXPECT_TRUE(convert.waitForFinished(60000));
    EXPECT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    QProcess identify; // the file holds 16 bits a sample, or the test proves nothing
    identify.start("identify", {"-format", "%z", out});
    EXPECT_TRUE(identify.waitForFinished(60000));
    EXPECT_EQ(identify.readAllStandardOutput(), "16");
    return test::fileBytes(out);
}

// VEXA prints 8 bits a channel: a 16-bit PNG or TIFF goes in at the nearest of the 256 levels,
// v / 257 rounded, and as grey when its colours differ only below that.
TEST_F(PdfPageWriterTest, SixteenBitPicturesGoInAtTheNearestLevelOfEightBits) {
    // Both ends, either side of halfway between two levels (128 is 0.498 of a level, 129 is
    // 0.502; 385, 65406 and 65407 likewise) and values between.
    const std::vector<int> values = {0, 128, 129, 385, 1000, 32767, 40000, 65406, 65407, 65535};
    std::vector<int> grey = values, colours;
    for (std::size_t p = 0; p < values.size(); ++p)
        colours.insert(colours.end(), {values[p], values[9 - p], values[(p + 3) % 10]});
    const std::vector<int> nearlyGrey = {128, 0, 127, 65535, 65407, 65408};
    const struct {
        const char* name;
        QSize size;
        int channels;
        const std::vector<int>& samples;
        const char* type;
        const char* colour;
    } cases[] = {
        {"RGB PNG", QSize(5, 2), 3, colours, "png", "rgb"},
        {"grey PNG", QSize(5, 2), 1, grey, "png", "gray"},
        {"RGB TIFF", QSize(5, 2), 3, colours, "tif", "rgb"},
        {"grey TIFF", QSize(5, 2), 1, grey, "tif", "gray"},
        {"RGB differing below 8 bits", QSize(2, 1), 3, nearlyGrey, "png", "gray"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray file = sixteenBitFile(folder, c.size, c.channels, c.samples, c.type);
        const QString pdf = writtenAlone(pageImageOf(loaded(file)));
        const auto images = test::pdfImageList(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].bits, 8);
        EXPECT_EQ(images[0].colour, c.colour);
        const QImage back = rgb(test::firstPdfImage(pdf));
        ASSERT_EQ(back.size(), c.size);
        const auto level = [](int v) { return int(std::lround(v / 257.0)); };
        for (int p = 0; p < c.size.width() * c.size.height(); ++p) {
            const std::size_t at = std::size_t(p * c.channels);
            const int last = c.channels - 1;
            EXPECT_EQ(back.pixel(p % c.size.width(), p / c.size.width()),
                      qRgb(level(c.samples[at]), level(c.samples[at + last / 2]),
                           level(c.samples[at + last])))
                << "pixel " << p;
        }
    }
}

// Quarters of distinct colours, to tell where each corner of the picture went.
const QRgb kTopLeft = qRgb(220, 0, 0), kTopRight = qRgb(0, 160, 0), kBottomLeft = qRgb(0, 0, 220),
           kBottomRight = qRgb(0, 0, 0);

QImage quarters(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           y < height / 2 ? (x < width / 2 ? kTopLeft : kTopRight)
                                          : (x < width / 2 ? kBottomLeft : kBottomRight));
    return image;
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

// The page as paintPageContent draws it at one pixel per point on white paper.
QImage painted(const cover::PageContent& page) {
    QImage image(page.size.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    pdf::paintPageContent(painter, page, 1.0);
    return image;
}

TEST_F(PdfPageWriterTest, APictureLandsTurnedWhereItsRectangleIs) {
    // A landscape picture turned onto a portrait rectangle; the corners it lands in follow
    // from the turn: counter-clockwise brings the top-left corner to the bottom-left, the
    // top-right to the top-left; clockwise the top-left to the top-right.
    const QRectF target(30, 40, 80, 120);
    const struct {
        const char* name;
        cover::QuarterTurn turn;
        QRectF target;
        QRgb topLeft, topRight, bottomLeft, bottomRight; // of the rectangle on the page
    } cases[] = {
        {"none", cover::QuarterTurn::None, QRectF(30, 40, 120, 80), kTopLeft, kTopRight,
         kBottomLeft, kBottomRight},
        {"counter-clockwise", cover::QuarterTurn::CounterClockwise, target, kTopRight, kBottomRight,
         kTopLeft, kBottomLeft},
        {"clockwise", cover::QuarterTurn::Clockwise, target, kBottomLeft, kTopLeft, kBottomRight,
         kTopRight},
        {"half", cover::QuarterTurn::Half, QRectF(30, 40, 120, 80), kBottomRight, kBottomLeft,
         kTopRight, kTopLeft},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cover::PageContent page{QSizeF(200, 250)};
        page.addPicture(cover::PageImage(quarters(60, 40)), c.target, c.turn);
        const QImage pdfPage = test::renderPdfPage(written({page}), 1, 72);
        for (const QImage& drawn : {pdfPage, painted(page)}) {
            ASSERT_EQ(drawn.size(), QSize(200, 250));
            const QRect box = test::inkBox(drawn);
            EXPECT_NEAR(box.left(), c.target.left(), 1);
            EXPECT_NEAR(box.top(), c.target.top(), 1);
            EXPECT_NEAR(box.right() + 1, c.target.right(), 1);
            EXPECT_NEAR(box.bottom() + 1, c.target.bottom(), 1);
            const QRectF inner = c.target.adjusted(5, 5, -5, -5);
            EXPECT_TRUE(near(drawn.pixel(inner.topLeft().toPoint()), c.topLeft));
            EXPECT_TRUE(near(drawn.pixel(inner.topRight().toPoint()), c.topRight));
            EXPECT_TRUE(near(drawn.pixel(inner.bottomLeft().toPoint()), c.bottomLeft));
            EXPECT_TRUE(near(drawn.pixel(inner.bottomRight().toPoint()), c.bottomRight));
        }
    }
}

TEST_F(PdfPageWriterTest, ALandscapePageTurnedOntoPortraitPaperTakesEverythingAlong) {
    // A 250 x 200 page with a picture at (30, 40), 120 x 80, a line under it and a trim box.
    cover::PageContent landscape(QSizeF(250, 200));
    landscape.addPicture(cover::PageImage(quarters(60, 40)), QRectF(30, 40, 120, 80));
    landscape.addLine(QLineF(30, 150, 150, 150), 2);
    landscape.trimBox = QRectF(20, 30, 200, 150);
    // Counter-clockwise the page's (x, y) lands at (y, 250 - x) of the 200 x 250 paper;
    // clockwise at (200 - y, x).
    const struct {
        const char* name;
        cover::QuarterTurn turn;
        QRectF picture;
        QRgb topLeft, topRight, bottomLeft, bottomRight; // of the picture's rectangle
        QRectF line;
        QRectF trim; // as pdfinfo gives it: from the bottom of the 250 pt paper
    } cases[] = {
        {"counter-clockwise", cover::QuarterTurn::CounterClockwise, QRectF(40, 100, 80, 120),
         kTopRight, kBottomRight, kTopLeft, kBottomLeft, QRectF(149, 100, 2, 120),
         QRectF(QPointF(30, 20), QPointF(180, 220))},
        {"clockwise", cover::QuarterTurn::Clockwise, QRectF(80, 30, 80, 120), kBottomLeft, kTopLeft,
         kBottomRight, kTopRight, QRectF(49, 30, 2, 120),
         QRectF(QPointF(20, 30), QPointF(170, 230))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const cover::PageContent paper = cover::turnedPage(landscape, c.turn);
        const QString pdf = written({paper});
        EXPECT_EQ(test::pdfPageSizes(pdf), std::vector<QSizeF>{QSizeF(200, 250)});
        EXPECT_EQ(test::pdfPageBox(pdf, "TrimBox"), c.trim);
        const QImage drawn = test::renderPdfPage(pdf, 1, 72);
        ASSERT_EQ(drawn.size(), QSize(200, 250));
        const QRect box = test::inkBox(drawn.copy(c.picture.adjusted(-5, -5, 5, 5).toRect()));
        EXPECT_NEAR(box.width(), c.picture.width(), 1);
        EXPECT_NEAR(box.height(), c.picture.height(), 1);
        const QRectF inner = c.picture.adjusted(5, 5, -5, -5);
        EXPECT_TRUE(near(drawn.pixel(inner.topLeft().toPoint()), c.topLeft));
        EXPECT_TRUE(near(drawn.pixel(inner.topRight().toPoint()), c.topRight));
        EXPECT_TRUE(near(drawn.pixel(inner.bottomLeft().toPoint()), c.bottomLeft));
        EXPECT_TRUE(near(drawn.pixel(inner.bottomRight().toPoint()), c.bottomRight));
        // Nothing of the picture outside its rectangle; the line where it was turned to.
        QImage outside = drawn;
        QPainter(&outside).fillRect(c.picture.adjusted(-1, -1, 1, 1), Qt::white);
        const QRect line = test::inkBox(outside);
        EXPECT_NEAR(line.left(), c.line.left(), 1);
        EXPECT_NEAR(line.right() + 1, c.line.right(), 1);
        EXPECT_NEAR(line.top(), c.line.top(), 1);
        EXPECT_NEAR(line.bottom() + 1, c.line.bottom(), 1);
    }
}

TEST_F(PdfPageWriterTest, LinesAndPageBoxes) {
    cover::PageContent page{QSizeF(300, 200)};
    page.addLine(QLineF(20, 30, 120, 30), 2);   // across
    page.addLine(QLineF(250, 60, 250, 160), 4); // down
    page.trimBox = QRectF(10, 15, 250, 150);
    page.bleedBox = QRectF(5, 10, 260, 160);
    const QString pdf = written({page});
    // pdfinfo answers PDF's way up: y from the bottom of the 200 pt page.
    EXPECT_EQ(test::pdfPageBox(pdf, "MediaBox"), QRectF(QPointF(0, 0), QPointF(300, 200)));
    EXPECT_EQ(test::pdfPageBox(pdf, "TrimBox"), QRectF(QPointF(10, 35), QPointF(260, 185)));
    EXPECT_EQ(test::pdfPageBox(pdf, "BleedBox"), QRectF(QPointF(5, 30), QPointF(265, 190)));

    const QImage rendered = test::renderPdfPage(pdf, 1, 144); // two pixels per point
    for (const QImage& drawn : {rendered, painted(page).scaled(600, 400)}) {
        const QRect across = test::inkBox(drawn.copy(0, 0, 400, 400));
        EXPECT_NEAR(across.left(), 40, 1.5);
        EXPECT_NEAR(across.right() + 1, 240, 1.5);
        EXPECT_NEAR(across.top(), 58, 1.5);
        EXPECT_NEAR(across.bottom() + 1, 62, 1.5);
        const QRect down = test::inkBox(drawn.copy(400, 0, 200, 400)).translated(400, 0);
        EXPECT_NEAR(down.left(), 496, 1.5);
        EXPECT_NEAR(down.right() + 1, 504, 1.5);
        EXPECT_NEAR(down.top(), 120, 1.5);
        EXPECT_NEAR(down.bottom() + 1, 320, 1.5);
        EXPECT_EQ(qGray(drawn.pixel(down.center())), 0);
    }
}

TEST_F(PdfPageWriterTest, APictureOnSeveralPagesIsStoredOnce) {
    const picture::LoadedPicture jpeg = loaded(test::encodeJpeg(photo(64, 48), JpegCoding{}));
    const QImage pixels = test::patternImage(30, 20);
    std::vector<cover::PageContent> pages;
    for (const QSizeF& size : {QSizeF(612, 792), QSizeF(1008, 612), QSizeF(612, 792)}) {
        cover::PageContent page{size};
        page.addPicture(pageImageOf(jpeg), QRectF(18, 36, 300, 200));
        page.addPicture(cover::PageImage(pixels), QRectF(18, 300, 60, 40));
        pages.push_back(page);
    }
    const QString pdf = written(pages);
    EXPECT_EQ(test::pdfPageSizes(pdf),
              (std::vector<QSizeF>{QSizeF(612, 792), QSizeF(1008, 612), QSizeF(612, 792)}));
    const auto images = test::pdfImageList(pdf);
    ASSERT_EQ(images.size(), 6u);
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].page, int(i / 2) + 1);
        EXPECT_EQ(images[i].object, images[i % 2].object);
    }
    EXPECT_NE(images[0].object, images[1].object);
}

TEST_F(PdfPageWriterTest, AWriteThatFailsIsReported) {
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    pdf::PdfPageWriter writer(readOnly);
    cover::PageContent page{QSizeF(100, 100)};
    page.addPicture(cover::PageImage(test::patternImage(8, 8)), QRectF(0, 0, 50, 50));
    EXPECT_FALSE(writer.addPage(page));
    EXPECT_FALSE(writer.finish());

    QBuffer empty;
    empty.open(QIODevice::WriteOnly);
    EXPECT_FALSE(pdf::PdfPageWriter(empty).finish()); // no page: no file
}

// VEXA shows a JPEG's pixels as its data stores them, not turned by an EXIF orientation, as
// PDF readers show the data: the page shows what the cover showed.
TEST_F(PdfPageWriterTest, AJpegWithAnExifOrientationLooksOnThePageAsItWasShown) {
    const QByteArray jpeg = test::withJpegSegment(test::encodeJpeg(quarters(60, 40), JpegCoding{}),
                                                  0xE1, test::exifOrientationPayload(3));
    const picture::LoadedPicture picture = loaded(jpeg);
    ASSERT_EQ(picture.pixels.size(), QSize(60, 40));
    ASSERT_TRUE(near(picture.pixels.pixel(5, 5), kTopLeft)); // as stored, not upside down

    cover::PageContent page{QSizeF(200, 150)};
    page.addPicture(pageImageOf(picture), QRectF(20, 20, 120, 80));
    const QString pdf = written({page});
    EXPECT_EQ(test::firstPdfJpeg(pdf), jpeg);
    const QImage rendered = test::renderPdfPage(pdf, 1, 72);
    EXPECT_TRUE(near(rendered.pixel(25, 25), kTopLeft));
    EXPECT_TRUE(near(rendered.pixel(135, 95), kBottomRight));
}

} // namespace
} // namespace vexa
