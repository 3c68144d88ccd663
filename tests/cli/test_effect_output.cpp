// `vexa-cli effect` writes its result through the picture writer: every format it lists,
// JPEG at quality 85, and nothing at all for an extension no encoder lists.
#include "cli/EffectCommand.h"

#include "support/JpegTables.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class EffectOutput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vexa::test::solidImage(16, 12, qRgb(10, 100, 200)).save(input, "PNG"));
    }
    int run(const QString& effect, const QString& output) {
        return vexa::cli::runEffectCommand({effect, input, output});
    }

    QTemporaryDir folder;
    const QString input = folder.filePath("in.png");
};

TEST_F(EffectOutput, WritesEveryFormatOfThePictureWriter) {
    for (const char* name : {"out.bmp", "out.gif", "out.jpg", "out.png", "out.tif"}) {
        ASSERT_EQ(run("negative", folder.filePath(name)), 0) << name;
        QImageReader reader(folder.filePath(name));
        reader.setDecideFormatFromContent(true);
        const QImage result = reader.read();
        ASSERT_EQ(result.size(), QSize(16, 12)) << name;
        if (QByteArray(name) != "out.jpg") { // lossless, or a GIF of one colour
            EXPECT_EQ(result.pixel(3, 3), qRgb(245, 155, 55)) << name;
        }
    }
}

TEST_F(EffectOutput, JpegAtQuality85) {
    ASSERT_EQ(run("grayscale", folder.filePath("out.JPEG")), 0);
    QFile file(folder.filePath("out.JPEG"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(vexa::test::jpegQuantTables(file.readAll()).at(0),
              vexa::test::libjpegLuminanceTable(85));
}

TEST_F(EffectOutput, AnExtensionNoEncoderListsIsRefused) {
    for (const char* name : {"out.xyz", "out.webp", "out"}) {
        EXPECT_EQ(run("negative", folder.filePath(name)), 1) << name;
        EXPECT_FALSE(QFile::exists(folder.filePath(name))) << name;
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"in.png"});
}

} // namespace
