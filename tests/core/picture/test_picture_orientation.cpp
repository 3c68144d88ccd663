// Pictures stood upright by their EXIF orientation, in every format that carries one, against
// ImageMagick's -auto-orient; and JPEG data that stays as stored for a page.

#include "core/picture/PictureFile.h"
#include "core/picture/PictureOrientation.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vexa::picture {
namespace {

// Runs a second program to its end; the test fails when it cannot.
bool run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return false;
    }
    if (out) *out = process.readAllStandardOutput();
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    EXPECT_TRUE(ok) << program.toStdString() << ": "
                    << process.readAllStandardError().toStdString();
    return ok;
}

// Six flat 8 x 8 blocks of different colours: every turn and mirror shows, and JPEG keeps
// flat blocks within a level or two.
QImage blocks() {
    static const QRgb kColours[6] = {qRgb(220, 30, 30),  qRgb(30, 200, 40), qRgb(40, 50, 210),
                                     qRgb(240, 230, 40), qRgb(20, 20, 20),  qRgb(250, 250, 250)};
    QImage picture(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) picture.setPixel(x, y, kColours[(y / 8) * 3 + x / 8]);
    return picture;
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

class PictureOrientationTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    QImage autoOriented(const QString& file) {
        const QString out = path(QStringLiteral("expected.ppm"));
        QFile::remove(out);
        run(QStringLiteral("convert"), {file, QStringLiteral("-auto-orient"), out});
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    }

    QString withOrientation(const QString& file, int orientation, const QString& suffix) {
        const QString out = path(QStringLiteral("o%1.%2").arg(orientation).arg(suffix));
        QFile::remove(out);
        run(QStringLiteral("exiftool"),
            {QStringLiteral("-q"), QStringLiteral("-n"),
             QStringLiteral("-Orientation=%1").arg(orientation), QStringLiteral("-o"), out, file});
        return out;
    }
};

TEST_F(PictureOrientationTest, EveryOrientationOfEveryFormatStandsAsImageMagickStandsIt) {
    ASSERT_TRUE(dir.isValid());
    const QString ppm = path(QStringLiteral("blocks.ppm"));
    ASSERT_TRUE(blocks().save(ppm));
    const QString jpeg = path(QStringLiteral("blocks.jpg"));
    const QString png = path(QStringLiteral("blocks.png"));
    const QString tiff = path(QStringLiteral("blocks.tif"));
    const QString webp = path(QStringLiteral("blocks.webp"));
    ASSERT_TRUE(run(QStringLiteral("cjpeg"),
                    {QStringLiteral("-quality"), QStringLiteral("98"), QStringLiteral("-sample"),
                     QStringLiteral("1x1"), QStringLiteral("-outfile"), jpeg, ppm}));
    ASSERT_TRUE(run(QStringLiteral("convert"), {ppm, png}));
    ASSERT_TRUE(run(QStringLiteral("convert"), {ppm, tiff}));
    ASSERT_TRUE(run(QStringLiteral("cwebp"), {QStringLiteral("-quiet"), QStringLiteral("-lossless"),
                                              png, QStringLiteral("-o"), webp}));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString turnedJpeg = withOrientation(jpeg, orientation, QStringLiteral("jpg"));
        const QString turnedTiff = withOrientation(tiff, orientation, QStringLiteral("tif"));
        const QString turnedPng = withOrientation(png, orientation, QStringLiteral("png"));
        // WebP takes its EXIF block through webpmux (exiftool does not write WebP here).
        QByteArray exif;
        ASSERT_TRUE(run(QStringLiteral("exiftool"),
                        {QStringLiteral("-b"), QStringLiteral("-exif"), turnedJpeg}, &exif));
        const QString exifFile = path(QStringLiteral("exif.bin"));
        test::writeFileBytes(exifFile, exif);
        const QString turnedWebp = path(QStringLiteral("o%1.webp").arg(orientation));
        ASSERT_TRUE(
            run(QStringLiteral("webpmux"), {QStringLiteral("-set"), QStringLiteral("exif"),
                                            exifFile, webp, QStringLiteral("-o"), turnedWebp}));

        // ImageMagick stands JPEG and TIFF upright itself; PNG and WebP hold the same pixels.
        const QImage expectedJpeg = autoOriented(turnedJpeg);
        const QImage expected = autoOriented(turnedTiff);
        ASSERT_EQ(expected.size(), uprightSize(QSize(24, 16), orientation));
        // The expected pictures differ from the stored one unless the orientation is 1.
        if (orientation != 1) {
            EXPECT_TRUE(expected.size() != blocks().size() ||
                        largestDifference(expected, blocks()) > 100);
        }

        const struct {
            const char* name;
            QString file;
            const QImage& expected;
            int tolerance;
        } cases[] = {{"jpeg", turnedJpeg, expectedJpeg, 2},
                     {"tiff", turnedTiff, expected, 0},
                     {"png", turnedPng, expected, 0},
                     {"webp", turnedWebp, expected, 0}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            const LoadedPicture read = readPictureFile(base::FilePath::fromText(c.file));
            ASSERT_FALSE(read.isNull());
            EXPECT_EQ(read.orientation, orientation);
            ASSERT_EQ(read.pixels.size(), c.expected.size());
            EXPECT_LE(
                largestDifference(read.pixels.convertToFormat(QImage::Format_RGB32), c.expected),
                c.tolerance);
        }

        // Checked without decoding for a page that takes the data as stored: the upright size.
        const LoadedPicture checked = readPictureFile(base::FilePath::fromText(turnedJpeg), nullptr,
                                                      Decoding::NotForPassThrough);
        EXPECT_FALSE(checked.isDecoded());
        EXPECT_EQ(checked.size(), expected.size());
        EXPECT_EQ(checked.orientation, orientation);
    }
}

} // namespace
} // namespace vexa::picture
