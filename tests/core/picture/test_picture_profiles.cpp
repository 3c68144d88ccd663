// Pictures with colour profiles read into sRGB, against ImageMagick's conversion through the
// same profiles and, for CMYK, lcms2's tificc (perceptual intent).

#include "core/picture/ColourProfile.h"
#include "core/picture/PictureFile.h"
#include "support/TestProfiles.h"
#include "support/TestSupport.h"

#include <QColorSpace>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vexa::picture {
namespace {

bool run(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("convert"), arguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        ADD_FAILURE() << "convert did not run";
        return false;
    }
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    EXPECT_TRUE(ok) << process.readAllStandardError().toStdString();
    return ok;
}

// Saturated flat blocks, where the colour spaces differ most, and greys: 8 x 8 blocks, which
// JPEG keeps flat.
QImage swatches() {
    static const QRgb kColours[8] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),    qRgb(0, 0, 255),
                                     qRgb(250, 200, 0), qRgb(0, 180, 200),  qRgb(128, 128, 128),
                                     qRgb(30, 30, 30),  qRgb(235, 235, 235)};
    QImage picture(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) picture.setPixel(x, y, kColours[(y / 8) * 4 + x / 8]);
    return picture;
}

// The largest difference of a colour channel at the blocks' centres.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 4; y < a.height(); y += 8)
        for (int x = 4; x < a.width(); x += 8) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

class PictureProfilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(swatches().save(path("swatches.ppm")));
        test::writeTestProfile(test::TestProfile::Srgb, path("srgb.icc"));
        test::writeTestProfile(test::TestProfile::DisplayP3, path("p3.icc"));
        test::writeTestProfile(test::TestProfile::AdobeRgb, path("adobe.icc"));
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // What ImageMagick shows of `file` in sRGB.
    QImage inSrgb(const QString& file) {
        const QString out = dir.filePath(QStringLiteral("expected.ppm"));
        QFile::remove(out);
        run({file, QStringLiteral("-intent"), QStringLiteral("Perceptual"),
             QStringLiteral("-profile"), path("srgb.icc"), out});
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    }
    // What lcms2's tificc makes of a CMYK JPEG's samples (taken out by ImageMagick into an
    // uncompressed TIFF with their profile, or `assumed` when the file has none) in sRGB.
    // (ImageMagick's own conversion, in 16 bits, differs from lcms2's 8-bit tables by up to 5
    // levels near the gamut's edge.)
    QImage cmykInSrgb(const QString& file, const QString& assumed) {
        const QString tiff = dir.filePath(QStringLiteral("cmyk.tif"));
        const QString out = dir.filePath(QStringLiteral("expected.tif"));
        QFile::remove(tiff);
        QFile::remove(out);
        QStringList assign;
        if (!assumed.isEmpty()) assign << QStringLiteral("-profile") << assumed;
        run(QStringList{file} + assign +
            QStringList{QStringLiteral("-compress"), QStringLiteral("none"), tiff});
        QProcess tificc;
        tificc.start(QStringLiteral("tificc"),
                     {QStringLiteral("-t0"), QStringLiteral("-o"), path("srgb.icc"), tiff, out});
        EXPECT_TRUE(tificc.waitForStarted(30000) && tificc.waitForFinished(120000) &&
                    tificc.exitCode() == 0)
            << tificc.readAllStandardError().toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    }
    QTemporaryDir dir;
};

TEST_F(PictureProfilesTest, TaggedPicturesReadAsImageMagickConvertsThem) {
    const QString swatchFile = path("swatches.ppm");
    const QStringList jpegOptions = {QStringLiteral("-quality"), QStringLiteral("98"),
                                     QStringLiteral("-sampling-factor"), QStringLiteral("1x1")};
    const auto tagged = [&](const char* target, const char* name, const QStringList& options) {
        run(QStringList{swatchFile, QStringLiteral("-profile"), path("srgb.icc"),
                        QStringLiteral("-intent"), QStringLiteral("Perceptual"),
                        QStringLiteral("-profile"), path(target)} +
            options + QStringList{path(name)});
        return path(name);
    };
    const QString cmykProfile = standardCmykProfilePath();
    ASSERT_TRUE(QFile::exists(cmykProfile)) << "libgs-common is missing";
    const QString p3Jpeg = tagged("p3.icc", "p3.jpg", jpegOptions);
    const QString adobeJpeg = tagged("adobe.icc", "adobe.jpg", jpegOptions);
    const QString adobePng = tagged("adobe.icc", "adobe.png", {});
    run(QStringList{swatchFile, QStringLiteral("-profile"), path("srgb.icc"),
                    QStringLiteral("-intent"), QStringLiteral("Perceptual"),
                    QStringLiteral("-profile"), cmykProfile} +
        jpegOptions + QStringList{path("cmyk.jpg")});
    // The same CMYK data without its profile: read through the standard one.
    run({path("cmyk.jpg"), QStringLiteral("-strip"), path("bare-cmyk.jpg")});

    const struct {
        const char* name;
        QString file;
        QImage expected;
    } cases[] = {
        {"Display P3 JPEG", p3Jpeg, inSrgb(p3Jpeg)},
        {"Adobe RGB JPEG", adobeJpeg, inSrgb(adobeJpeg)},
        {"PNG with iCCP", adobePng, inSrgb(adobePng)},
        {"CMYK JPEG with its profile", path("cmyk.jpg"), cmykInSrgb(path("cmyk.jpg"), {})},
        {"CMYK JPEG without a profile", path("bare-cmyk.jpg"),
         cmykInSrgb(path("bare-cmyk.jpg"), cmykProfile)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage& expected = c.expected;
        ASSERT_EQ(expected.size(), swatches().size());
        const LoadedPicture read = readPictureFile(base::FilePath::fromText(c.file));
        ASSERT_FALSE(read.isNull());
        const QImage pixels = read.pixels.convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(largestDifference(pixels, expected), 3);
        // Not the stored numbers taken as sRGB, nor (CMYK) their complement.
        EXPECT_FALSE(read.pixels.colorSpace().isValid());
        const QImage stored = QImage(c.file).convertToFormat(QImage::Format_RGB32);
        EXPECT_GE(largestDifference(stored, expected), 20);
    }
}

// A picture without a profile, and a PNG whose gAMA and cHRM chunks only restate sRGB (as
// ImageMagick writes them), keep their numbers exactly.
TEST_F(PictureProfilesTest, UntaggedPicturesKeepTheirNumbers) {
    run({path("swatches.ppm"), path("plain.png")});
    const QByteArray png = test::fileBytes(path("plain.png"));
    ASSERT_TRUE(png.contains("gAMA") && png.contains("cHRM"));
    const LoadedPicture read = readPictureData(png);
    EXPECT_EQ(read.pixels.convertToFormat(QImage::Format_RGB32), swatches());
}

// A PNG whose gAMA chunk says linear (1.0) is read as Qt's own PNG reader tags it and Qt
// converts it into sRGB.
TEST_F(PictureProfilesTest, PngGammaOtherThanSrgbsIsConvertedAsQtReadsIt) {
    run({path("swatches.ppm"), path("plain.png")});
    QByteArray png = test::fileBytes(path("plain.png"));
    const qsizetype gamma = png.indexOf("gAMA");
    ASSERT_GT(gamma, 4);
    png.replace(gamma + 4, 4, QByteArray::fromHex("000186a0")); // 100000: 1.0
    const quint32 crc = test::pngCrc(png.mid(gamma, 8));
    for (int k = 0; k < 4; ++k) png[gamma + 8 + k] = char((crc >> (24 - 8 * k)) & 0xFF);
    test::writeFileBytes(path("linear.png"), png);

    QImage expected = QImage(path("linear.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(expected.colorSpace().isValid());
    expected.convertToColorSpace(QColorSpace::SRgb);
    const LoadedPicture read = readPictureData(png);
    EXPECT_LE(largestDifference(read.pixels.convertToFormat(QImage::Format_RGB32), expected), 2);
    EXPECT_GE(largestDifference(swatches(), expected), 20);
}

} // namespace
} // namespace vexa::picture
