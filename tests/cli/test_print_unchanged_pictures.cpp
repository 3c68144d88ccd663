// A picture without an EXIF orientation or a colour profile prints as it always did: the PDF
// of `vexa-cli print` is, byte for byte, the one VEXA wrote before orientations and profiles
// were read. The digests were taken from that VEXA's output for the same two files (a cjpeg
// JPEG, passed through, and an ImageMagick PNG with gAMA and cHRM chunks restating sRGB).

#include "cli/PrintCommand.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

QByteArray sha256(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

TEST(PrintUnchangedPictures, PdfIsByteForByteWhatItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString jpeg = QStringLiteral(VEXA_TEST_DATA "/plain.jpg");
    const QString png = QStringLiteral(VEXA_TEST_DATA "/plain.png");
    const struct {
        QStringList options;
        QByteArray digest;
    } cases[] = {
        {{}, "e92c14d5f2cf8c17b6224e568a9a0e2f25edc15b31d29d73b15c9380830edf4f"},
        {{QStringLiteral("--bleed"), QStringLiteral("3"), QStringLiteral("--marks")},
         "5141f17fd4c2128e7e321a6e3a091778224f9cdbbd3aea57f4a1abbf48fd5a5e"},
    };
    for (const auto& c : cases) {
        const QString pdf = dir.filePath(QStringLiteral("covers.pdf"));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = vexa::cli::runPrintCommand(
            QStringList{QStringLiteral("--dvd"), jpeg, QStringLiteral("--front"), png} + c.options +
                QStringList{QStringLiteral("--pdf"), pdf},
            outStream, errStream);
        ASSERT_EQ(status, 0) << err.toStdString();
        EXPECT_EQ(sha256(pdf), c.digest) << c.options.join(' ').toStdString();
    }
}

} // namespace
