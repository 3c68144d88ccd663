#include "core/base/FilePath.h"
#include "core/picture/PictureFile.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace vexa {
namespace {

struct NameCase {
    const char* bytes;
    const char16_t* text; // what the name reads as
};

// Names as bytes and as text, both ways: valid UTF-8 reads as itself, every byte that is not
// part of a well-formed sequence as U+DC80 + (byte - 0x80).
TEST(FilePath, BytesAndTextRoundTrip) {
    const NameCase cases[] = {
        {"plain.png", u"plain.png"},
        {"caf\xc3\xa9.png", u"caf\u00e9.png"},
        {"caf\xe9.png", u"caf\xdce9.png"},                 // Latin-1 é
        {"\xff\xfe", u"\xdcff\xdcfe"},                     // never UTF-8
        {"\xc0\xaf", u"\xdcc0\xdcaf"},                     // overlong "/"
        {"\xed\xb2\x80", u"\xdced\xdcb2\xdc80"},           // an encoded surrogate
        {"\xe2\x82", u"\xdce2\xdc82"},                     // cut short
        {"\xf0\x9f\x98\x80!", u"\U0001F600!"},             // outside the BMP
        {"\xf4\x90\x80\x80", u"\xdcf4\xdc90\xdc80\xdc80"}, // above U+10FFFF
    };
    for (const NameCase& c : cases) {
        const base::FilePath path = base::FilePath::fromBytes(QByteArray(c.bytes));
        EXPECT_EQ(path.text(), QString::fromUtf16(c.text)) << c.bytes;
        EXPECT_EQ(base::FilePath::fromText(path.text()).bytes(), QByteArray(c.bytes)) << c.bytes;
    }
    // A lone surrogate that no name can have written becomes U+FFFD, not a stray byte.
    EXPECT_EQ(base::FilePath::fromText(QString(QChar(0xD800))).bytes(), QByteArray("\xef\xbf\xbd"));
}

TEST(FilePath, ANameThatIsNoUtf8ReachesTheLoader) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray name = QFile::encodeName(dir.path()) + "/caf\xe9.png";
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "png").write(picture));
    // Written by the bytes, as a shell would.
    FILE* file = std::fopen(name.constData(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(png.constData(), 1, size_t(png.size()), file), size_t(png.size()));
    std::fclose(file);

    const base::FilePath path = base::FilePath::fromBytes(name);
    EXPECT_EQ(picture::loadPictureFile(path).size(), QSize(3, 2));
    // The same name handed around as text still opens the file.
    EXPECT_EQ(picture::loadPictureFile(path.text()).size(), QSize(3, 2));
    // What QFile makes of it is another file.
    EXPECT_TRUE(picture::loadPictureFile(
                    base::FilePath::fromBytes(QFile::encodeName(QFile::decodeName(name))))
                    .isNull());
}

} // namespace
} // namespace vexa
