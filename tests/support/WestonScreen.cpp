#include "support/WestonScreen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace vexa::test {

namespace {

constexpr QRgb kColourBits = 0x00ffffff; // red, green and blue; not the alpha byte

} // namespace

QImage westonScreenshot() {
    QTemporaryDir folder;
    if (!folder.isValid()) return {};
    QProcess shooter;
    // It writes wayland-screenshot-<time>.png into the current folder.
    shooter.setWorkingDirectory(folder.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    // Waited for with the event loop running: the compositor asks this client to draw.
    if (!QTest::qWaitFor([&shooter] { return shooter.state() == QProcess::NotRunning; }, 20000)) {
        shooter.kill();
        shooter.waitForFinished();
    }
    const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")});
    if (shooter.exitStatus() != QProcess::NormalExit || shooter.exitCode() != 0 ||
        shots.size() != 1) {
        std::fprintf(stderr, "weston-screenshooter failed: %s\n",
                     shooter.readAllStandardError().constData());
        return {};
    }
    return QImage(folder.filePath(shots.front())).convertToFormat(QImage::Format_RGB32);
}

std::optional<QPoint> findPicture(const QImage& screen, const QImage& picture) {
    const QImage haystack = screen.convertToFormat(QImage::Format_RGB32);
    const QImage needle = picture.convertToFormat(QImage::Format_RGB32);
    const int w = needle.width();
    const int h = needle.height();
    if (w == 0 || h == 0 || w > haystack.width() || h > haystack.height()) return std::nullopt;
    const auto rowMatches = [&](int x, int y, int row) {
        const auto* a = reinterpret_cast<const QRgb*>(haystack.constScanLine(y + row)) + x;
        const auto* b = reinterpret_cast<const QRgb*>(needle.constScanLine(row));
        for (int i = 0; i < w; ++i)
            if (((a[i] ^ b[i]) & kColourBits) != 0) return false;
        return true;
    };
    for (int y = 0; y + h <= haystack.height(); ++y)
        for (int x = 0; x + w <= haystack.width(); ++x) {
            int row = 0;
            while (row < h && rowMatches(x, y, row)) ++row;
            if (row == h) return QPoint(x, y);
        }
    return std::nullopt;
}

QRect boundsOfColour(const QImage& screen, QRgb colour) {
    const QImage image = screen.convertToFormat(QImage::Format_RGB32);
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (((line[x] ^ colour) & kColourBits) == 0) bounds |= QRect(x, y, 1, 1);
    }
    return bounds;
}

QImage screenshotWhen(const std::function<bool(const QImage&)>& found, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QImage shot;
    do {
        shot = westonScreenshot();
        if (!shot.isNull() && found(shot)) break;
        QTest::qWait(100);
    } while (clock.elapsed() < timeoutMs);
    return shot;
}

} // namespace vexa::test
