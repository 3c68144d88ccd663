#include "support/SecondProgram.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace vexa::test {

ProgramRun runProgram(const QString& program, const QStringList& arguments, const QByteArray& input,
                      const QString& inputSuffix, const QString& outputSuffix) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in") + inputSuffix);
    const QString out = dir.filePath(QStringLiteral("out") + outputSuffix);
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size()) {
        ADD_FAILURE() << "cannot write " << in.toStdString();
        return {};
    }
    file.close();
    QStringList filled;
    for (QString argument : arguments)
        filled
            << argument.replace(QStringLiteral("{in}"), in).replace(QStringLiteral("{out}"), out);
    QProcess process;
    process.start(program, filled);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return {};
    }
    ProgramRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError();
    QFile written(out);
    if (written.open(QIODevice::ReadOnly)) run.output = written.readAll();
    return run;
}

QByteArray ppmOf(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes = "P6\n" + QByteArray::number(rgb.width()) + ' ' +
                       QByteArray::number(rgb.height()) + "\n255\n";
    for (int y = 0; y < rgb.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return bytes;
}

QByteArray madeBy(const QImage& picture, const QString& program, const QStringList& arguments,
                  const QString& outputSuffix) {
    const ProgramRun run =
        runProgram(program, arguments, ppmOf(picture), QStringLiteral(".ppm"), outputSuffix);
    EXPECT_EQ(run.status, 0) << program.toStdString() << ": " << run.errors.toStdString();
    EXPECT_FALSE(run.output.isEmpty()) << program.toStdString() << " wrote nothing";
    return run.output;
}

QImage shownWithoutChecks(const QByteArray& bytes) {
    // Qt's readers name what they skip over; damaged files are what these tests are about.
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.*=false"));
        return true;
    }();
    (void)quiet;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

bool visiblyDamaged(const QImage& shown, const QImage& undamaged) {
    if (shown.size() != undamaged.size()) return true;
    const QImage a = shown.convertToFormat(QImage::Format_RGB32);
    const QImage b = undamaged.convertToFormat(QImage::Format_RGB32);
    qint64 far = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qRed(p[x]) - qRed(q[x])) > 64 ||
                std::abs(qGreen(p[x]) - qGreen(q[x])) > 64 ||
                std::abs(qBlue(p[x]) - qBlue(q[x])) > 64)
                ++far;
    }
    return far * 20 > qint64(a.width()) * a.height();
}

QImage photoLike(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / width, y * 255 / height,
                           int(127 + 100 * std::sin(x * 0.3 + y * 0.2)));
    }
    return picture;
}

} // namespace vexa::test
