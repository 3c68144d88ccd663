#include "imageio/PictureWriter.h"

#include "core/picture/PictureFile.h"

#include "support/JpegTables.h"
#include "support/ObeyFilePermissions.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using vexa::base::FilePath;
using vexa::imageio::PictureWriter;
using vexa::imageio::WriteResult;
using vexa::imageio::WriteStatus;

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage readBack(const QString& path, QByteArray* format = nullptr) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (format) *format = reader.format();
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The mean difference of the channels of all pixels.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

class PictureWriterTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QStringList filesInDir() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    PictureWriter m_pictureWriter;
    // Smooth enough for JPEG to stay close, varied enough that a wrong channel order shows.
    QImage picture = vexa::test::patternImage(64, 48);
};

TEST_F(PictureWriterTest, ListsTheFiveFormats) {
    EXPECT_EQ(m_pictureWriter.encoderCount(), 5);
}

TEST_F(PictureWriterTest, EveryPatternOfEveryFormatReadsBack) {
    // Smooth, so that the lossy formats stay close; a channel mix-up would not.
    QImage smooth(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) smooth.setPixel(x, y, qRgb(x * 4, y * 5, 255 - x * 2));
    const struct {
        const char* name;
        const char* format;
        double tolerance; // mean difference: JPEG is lossy, a GIF is dithered
    } cases[] = {{"a.bmp", "bmp", 0},   {"b.DIB", "bmp", 0},   {"c.rle", "bmp", 0},
                 {"d.png", "png", 0},   {"e.tif", "tiff", 0},  {"f.TIFF", "tiff", 0},
                 {"g.jpg", "jpeg", 3},  {"h.JPEG", "jpeg", 3}, {"i.jpe", "jpeg", 3},
                 {"j.jfif", "jpeg", 3}, {"k.gif", "gif", 6}};
    for (const auto& c : cases) {
        const WriteResult written = m_pictureWriter.write(smooth, path(c.name), 85);
        ASSERT_TRUE(written) << c.name;
        EXPECT_EQ(written.status, WriteStatus::Written) << c.name;
        QByteArray format;
        const QImage back = readBack(path(c.name), &format);
        EXPECT_EQ(format, c.format) << c.name;
        ASSERT_EQ(back.size(), smooth.size()) << c.name;
        EXPECT_LE(meanDifference(back, smooth), c.tolerance) << c.name;
    }
}

TEST_F(PictureWriterTest, QualityReachesTheJpegEncoderForEveryJExtension) {
    for (const char* name : {"a.jpg", "b.JPG", "c.Jpeg"}) {
        ASSERT_TRUE(m_pictureWriter.write(picture, path(name), 85)) << name;
        const auto tables = vexa::test::jpegQuantTables(contentsOf(path(name)));
        ASSERT_TRUE(tables.count(0)) << name;
        EXPECT_EQ(tables.at(0), vexa::test::libjpegLuminanceTable(85)) << name;
    }
    ASSERT_TRUE(m_pictureWriter.write(picture, path("low.jpg"), 20));
    EXPECT_EQ(vexa::test::jpegQuantTables(contentsOf(path("low.jpg"))).at(0),
              vexa::test::libjpegLuminanceTable(20));
}

TEST_F(PictureWriterTest, OtherFormatsTakeNoQuality) {
    // Qt's PNG writer would turn a quality into a compression level: the bytes would differ.
    for (const char* extension : {"png", "gif", "tif", "bmp"}) {
        const QString low = path(QStringLiteral("low.") + extension);
        const QString high = path(QStringLiteral("high.") + extension);
        ASSERT_TRUE(m_pictureWriter.write(picture, low, 0)) << extension;
        ASSERT_TRUE(m_pictureWriter.write(picture, high, 100)) << extension;
        EXPECT_EQ(contentsOf(low), contentsOf(high)) << extension;
    }
}

TEST_F(PictureWriterTest, JpegQualityOutsideItsRangeFailsAndSaysSo) {
    for (int quality : {-1, 101}) {
        const WriteResult written = m_pictureWriter.write(picture, path("q.jpg"), quality);
        EXPECT_FALSE(written);
        EXPECT_EQ(written.status, WriteStatus::InvalidQuality);
    }
    EXPECT_TRUE(filesInDir().isEmpty());
}

TEST_F(PictureWriterTest, NamesWithoutAKnownExtensionWriteNothing) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("covers.png"));
    const QString names[] = {
        path("noextension"),
        path("covers.png/scan"), // the only dot is in the folder's name
        path("trailingdot."),    path("picture.xyz"),
        path("picture.webp"), // Qt could write it, but it is none of our encoders
        path("picture.png.bak"),
    };
    for (const QString& name : names) {
        const WriteResult written = m_pictureWriter.write(picture, name, 85);
        EXPECT_FALSE(written) << name.toStdString();
        EXPECT_EQ(written.status, WriteStatus::UnknownFormat) << name.toStdString();
    }
    EXPECT_TRUE(filesInDir().isEmpty());
    EXPECT_TRUE(QDir(path("covers.png")).isEmpty());
}

TEST_F(PictureWriterTest, NoPictureWritesNothing) {
    const WriteResult written = m_pictureWriter.write(QImage(), path("empty.png"), 85);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.status, WriteStatus::NoPicture);
    EXPECT_FALSE(QFile::exists(path("empty.png")));
}

TEST_F(PictureWriterTest, DropsTransparency) {
    QImage translucent(8, 8, QImage::Format_ARGB32);
    translucent.fill(qRgba(10, 200, 30, 40));
    ASSERT_TRUE(m_pictureWriter.write(translucent, path("a.png"), 85));
    QImageReader reader(path("a.png"));
    const QImage back = reader.read();
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(back.pixel(3, 3), qRgb(10, 200, 30));
}

TEST_F(PictureWriterTest, ReplacesAnExistingFileCompletely) {
    QFile old(path("cover.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x')); // longer than the new file
    old.close();
    ASSERT_TRUE(m_pictureWriter.write(picture, path("cover.png"), 85));
    EXPECT_EQ(readBack(path("cover.png")), picture);
    EXPECT_EQ(filesInDir(), QStringList{"cover.png"});
}

TEST_F(PictureWriterTest, UnwritableFolderKeepsTheOldFile) {
    const QString target = path("cover.png");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old picture");
    old.close();
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    WriteResult written;
    {
        vexa::test::ObeyFilePermissions obey;
        written = m_pictureWriter.write(picture, target, 85);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(contentsOf(target), "old picture");
    EXPECT_EQ(filesInDir(), QStringList{"cover.png"});
    EXPECT_EQ(written.status, WriteStatus::FolderNotWritable);
}

// What a failed write reports, each with the old file, if any, left as it was.
TEST_F(PictureWriterTest, AFailedWriteSaysWhyAndLeavesTheOldFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
    QFile locked(path("locked.png"));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.write("old picture");
    locked.close();
    ASSERT_TRUE(QFile::setPermissions(locked.fileName(), QFile::ReadOwner));
    const struct {
        QString name;
        WriteStatus status;
        int systemError;
    } cases[] = {
        {path("no/such/folder/a.png"), WriteStatus::FolderMissing, ENOENT},
        {path("locked.png/a.png"), WriteStatus::FolderMissing, ENOTDIR},
        {path("folder.png"), WriteStatus::WriteFailed, EISDIR},
        {path("locked.png"), WriteStatus::FileNotWritable, EACCES},
    };
    vexa::test::ObeyFilePermissions obey;
    for (const auto& c : cases) {
        const WriteResult written = m_pictureWriter.write(picture, c.name, 85);
        EXPECT_EQ(written.status, c.status) << c.name.toStdString();
        EXPECT_EQ(written.systemError, c.systemError) << c.name.toStdString();
    }
    EXPECT_EQ(contentsOf(path("locked.png")), "old picture");
    EXPECT_EQ(filesInDir(), QStringList{"locked.png"});
}

// A name is bytes: one that is not UTF-8 is written under exactly those bytes.
TEST_F(PictureWriterTest, WritesUnderTheExactBytesOfItsName) {
    const QByteArray name = QFile::encodeName(dir.path()) + "/caf\xe9 \xff.png";
    ASSERT_TRUE(m_pictureWriter.write(picture, FilePath::fromBytes(name), 85));
    struct stat info {};
    EXPECT_EQ(::stat(name.constData(), &info), 0);
    QList<QByteArray> entries;
    DIR* folder = ::opendir(QFile::encodeName(dir.path()).constData());
    ASSERT_NE(folder, nullptr);
    while (const dirent* entry = ::readdir(folder))
        if (entry->d_name[0] != '.') entries << QByteArray(entry->d_name);
    ::closedir(folder);
    EXPECT_EQ(entries, QList<QByteArray>{"caf\xe9 \xff.png"});
    EXPECT_EQ(vexa::picture::loadPictureFile(FilePath::fromBytes(name)), picture);
}

// Replacing a file goes through a link to the file it names and keeps that file's mode; a new
// file gets what the umask leaves of rw-rw-rw-, as any program's new file does.
TEST_F(PictureWriterTest, ReplacesThroughALinkAndKeepsTheMode) {
    const QByteArray target = QFile::encodeName(path("target.png"));
    ASSERT_TRUE(m_pictureWriter.write(picture, path("target.png"), 85));
    ASSERT_EQ(::chmod(target.constData(), 0640), 0);
    ASSERT_TRUE(QFile::link("target.png", path("link.png")));
    ASSERT_TRUE(
        m_pictureWriter.write(vexa::test::solidImage(5, 5, qRgb(1, 2, 3)), path("link.png"), 85));
    EXPECT_TRUE(QFileInfo(path("link.png")).isSymLink());
    EXPECT_EQ(readBack(path("target.png")).size(), QSize(5, 5));
    struct stat info {};
    ASSERT_EQ(::stat(target.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    const mode_t before = ::umask(027);
    const WriteResult fresh = m_pictureWriter.write(picture, path("fresh.png"), 85);
    ::umask(before);
    ASSERT_TRUE(fresh);
    ASSERT_EQ(::stat(QFile::encodeName(path("fresh.png")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({"fresh.png", "link.png", "target.png"}));
}

} // namespace
