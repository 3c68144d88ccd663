// JPEG data that goes into a page as stored: placed upright through its EXIF orientation and
// carrying its colour profile, as poppler renders it against ImageMagick's reading.

#include "core/cover/PageContent.h"
#include "core/cover/PageImage.h"
#include "core/pdf/PdfPageWriter.h"
#include "core/picture/PictureFile.h"
#include "support/PdfProbe.h"
#include "support/TestProfiles.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vexa::pdf {
namespace {

QByteArray run(const QString& program, const QStringList& arguments, QByteArray* errors = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return {};
    }
    const QByteArray said = process.readAllStandardError();
    if (errors) *errors = said;
    EXPECT_TRUE(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << ": " << said.toStdString();
    return process.readAllStandardOutput();
}

// Flat 8 x 8 blocks of strong colours, three across, two down.
QImage blocks() {
    static const QRgb kColours[6] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),  qRgb(0, 0, 255),
                                     qRgb(250, 200, 0), qRgb(20, 20, 20), qRgb(0, 180, 200)};
    QImage picture(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) picture.setPixel(x, y, kColours[(y / 8) * 3 + x / 8]);
    return picture;
}

// The largest difference of a colour channel at the centres of `expected`'s 8 x 8 blocks,
// `rendered` being a multiple of its size.
int blockDifference(const QImage& rendered, const QImage& expected) {
    const int scale = rendered.width() / expected.width();
    int largest = 0;
    for (int y = 4; y < expected.height(); y += 8)
        for (int x = 4; x < expected.width(); x += 8) {
            const QRgb p = rendered.pixel(x * scale, y * scale), q = expected.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

class UprightColourPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(blocks().save(path("blocks.ppm")));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString path(const char* name) const { return path(QString::fromLatin1(name)); }

    // The picture as a page of its upright size (a point a pixel), rendered at 288 dpi, with
    // what pdftoppm said.
    QImage pagePicture(const QString& file, QByteArray* pdfJpeg, QByteArray* said) {
        const picture::LoadedPicture read = picture::readPictureFile(
            base::FilePath::fromText(file), nullptr, picture::Decoding::NotForPassThrough);
        EXPECT_FALSE(read.isDecoded()) << "not taken as stored data";
        const cover::PageImage image = cover::PageImage::fromPicture(read);
        EXPECT_TRUE(image.passesJpegThrough());
        cover::PageContent page;
        page.size = QSizeF(image.size());
        page.addPicture(image, QRectF(QPointF(0, 0), page.size));
        const QString pdf = path("page.pdf");
        EXPECT_TRUE(writePdfFile(pdf, {page}));
        EXPECT_EQ(test::qpdfProblems(pdf), QString());
        const std::vector<QByteArray> jpegs = test::pdfJpegData(pdf);
        *pdfJpeg = jpegs.empty() ? QByteArray() : jpegs.front();
        run(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, path("rendered")},
            said);
        return QImage(path("rendered.png")).convertToFormat(QImage::Format_RGB32);
    }

    QImage imageMagick(const QStringList& arguments) {
        const QString out = path("expected.ppm");
        QFile::remove(out);
        run(QStringLiteral("convert"), arguments + QStringList{out});
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir;
};

TEST_F(UprightColourPagesTest, StoredJpegOfEveryOrientationPrintsUprightAsItsOwnBytes) {
    const QString jpeg = path("blocks.jpg");
    run(QStringLiteral("cjpeg"),
        {QStringLiteral("-quality"), QStringLiteral("98"), QStringLiteral("-sample"),
         QStringLiteral("1x1"), QStringLiteral("-outfile"), jpeg, path("blocks.ppm")});
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString turned = path(QStringLiteral("o%1.jpg").arg(orientation));
        run(QStringLiteral("exiftool"), {QStringLiteral("-q"), QStringLiteral("-n"),
                                         QStringLiteral("-Orientation=%1").arg(orientation),
                                         QStringLiteral("-o"), turned, jpeg});
        const QImage expected = imageMagick({turned, QStringLiteral("-auto-orient")});
        QByteArray data, said;
        const QImage rendered = pagePicture(turned, &data, &said);
        EXPECT_EQ(data, test::fileBytes(turned));
        ASSERT_EQ(rendered.size(), expected.size() * 4);
        EXPECT_LE(blockDifference(rendered, expected), 8);
        EXPECT_EQ(said, QByteArray());
    }
}

// A Display P3 photo passed through carries its profile; poppler converts it as ImageMagick
// does, far from the numbers taken as sRGB.
TEST_F(UprightColourPagesTest, StoredJpegCarriesItsProfile) {
    test::writeTestProfile(test::TestProfile::Srgb, path("srgb.icc"));
    test::writeTestProfile(test::TestProfile::DisplayP3, path("p3.icc"));
    const QString p3 = path("p3.jpg");
    run(QStringLiteral("convert"),
        {path("blocks.ppm"), QStringLiteral("-profile"), path("srgb.icc"),
         QStringLiteral("-profile"), path("p3.icc"), QStringLiteral("-quality"),
         QStringLiteral("98"), QStringLiteral("-sampling-factor"), QStringLiteral("1x1"), p3});
    const QImage expected = imageMagick({p3, QStringLiteral("-profile"), path("srgb.icc")});
    QByteArray data, said;
    const QImage rendered = pagePicture(p3, &data, &said);
    EXPECT_EQ(data, test::fileBytes(p3));
    ASSERT_EQ(rendered.size(), expected.size() * 4);
    EXPECT_LE(blockDifference(rendered, expected), 4);
    EXPECT_GE(blockDifference(rendered, QImage(p3).convertToFormat(QImage::Format_RGB32)), 20);
    EXPECT_EQ(said, QByteArray());
    const std::vector<test::PdfImageEntry> images = test::pdfImageList(path("page.pdf"));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].colour, QStringLiteral("icc"));
}

} // namespace
} // namespace vexa::pdf
