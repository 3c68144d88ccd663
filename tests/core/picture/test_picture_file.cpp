#include "core/picture/PictureFile.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Qt keeps its decode size limit in one plain variable for the whole process. Loads run on a
// worker while the window's thread decodes its own pictures (icons, notices), so the limit
// has to be in place before either starts, not written by the first load.
TEST(PictureFile, TheDecodeSizeLimitIsInPlaceBeforeTheFirstLoad) {
    EXPECT_EQ(QImageReader::allocationLimit(), 2048); // MB: the 2 GiB pictures may reach
}

class PictureFileTest : public ::testing::TestWithParam<const char*> {
protected:
    QTemporaryDir dir;
    QString save(const QByteArray& bytes) {
        const QString path = dir.filePath("picture");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
};

TEST_P(PictureFileTest, WholeFileLoadsAndTruncatedFileIsRefused) {
    const QImage picture = vexa::test::patternImage(97, 61);
    const QByteArray bytes = vexa::test::encodeWithQt(picture, GetParam());
    const QImage loaded = vexa::picture::loadPictureFile(save(bytes));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.size(), picture.size());
    for (double share : {0.3, 0.7, 0.95})
        EXPECT_TRUE(
            vexa::picture::loadPictureFile(save(bytes.left(qsizetype(bytes.size() * share))))
                .isNull())
            << GetParam() << " cut at " << share;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFileTest, ::testing::Values("bmp", "jpg", "png"));

TEST(PictureFile, TruncatedGifIsRefused) {
    // A 3 x 2 GIF: header, screen descriptor with a 2-colour table, a control extension,
    // one image, trailer.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396103000200f00000ff00000000ff21f90400000000002c0000000003000200000203841150003b");
    QTemporaryDir dir;
    auto saved = [&](const QByteArray& bytes) {
        QFile file(dir.filePath("p.gif"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    EXPECT_EQ(vexa::picture::loadPictureFile(saved(gif)).size(), QSize(3, 2));
    // (Without its last two bytes, the block terminator and the trailer, the frame is whole.)
    for (qsizetype cut = 6; cut < gif.size() - 2; ++cut)
        EXPECT_TRUE(vexa::picture::loadPictureFile(saved(gif.left(cut))).isNull()) << cut;
}

TEST(PictureFile, MissingFileAndNonPictureGiveNothing) {
    QTemporaryDir dir;
    EXPECT_TRUE(vexa::picture::loadPictureFile(dir.filePath("gone.jpg")).isNull());
    QFile text(dir.filePath("notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a picture");
    text.close();
    EXPECT_TRUE(vexa::picture::loadPictureFile(text.fileName()).isNull());
    EXPECT_TRUE(vexa::picture::loadPictureFile(dir.path()).isNull());
}

TEST(PictureFile, LargePicturesLoadPastQtsDefaultLimit) {
    // 8000 x 5000 x 4 bytes = 160 MB decoded, over Qt's default 128 MB.
    QImage big(8000, 5000, QImage::Format_RGB32);
    big.fill(qRgb(10, 200, 30));
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bmp");
    ASSERT_TRUE(big.save(path, "BMP"));
    big = QImage();
    const QImage loaded = vexa::picture::loadPictureFile(path);
    ASSERT_EQ(loaded.size(), QSize(8000, 5000));
    EXPECT_EQ(loaded.pixel(7999, 4999), qRgb(10, 200, 30));
}

} // namespace

namespace {

// A print job may pass a picture's own bytes through only while they are what was read.
TEST(PictureFile, TheRecordKeepsTheBytesAsReadAndTheirFormat) {
    const QImage image = vexa::test::patternImage(24, 16);
    for (const char* format : {"jpeg", "png", "bmp"}) {
        const QByteArray bytes = vexa::test::encodeWithQt(image, format);
        const vexa::picture::LoadedPicture picture = vexa::picture::readPictureData(bytes);
        ASSERT_FALSE(picture.isNull()) << format;
        EXPECT_EQ(picture.bytes, bytes) << format;
        EXPECT_EQ(picture.format, QByteArray(format));
        EXPECT_FALSE(picture.changed) << format;
    }
    const vexa::picture::LoadedPicture made = vexa::picture::LoadedPicture::made(image);
    EXPECT_TRUE(made.changed);
    EXPECT_TRUE(made.bytes.isEmpty());
    EXPECT_TRUE(vexa::picture::readPictureData("no picture").isNull());
}

} // namespace
