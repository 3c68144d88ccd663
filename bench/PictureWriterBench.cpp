// Speed of the picture writer on a 6-megapixel picture with smooth gradients, per format.
// GIF is the slow one: the palette and the dithering look at every pixel.
#include "imageio/PictureWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

QImage photoLike() {
    QImage picture(3000, 2000, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb(x * 255 / 3000, y * 255 / 2000,
                           static_cast<int>(127 + 120 * std::sin(x * 0.01 + y * 0.013)));
    }
    return picture;
}

void writePicture(benchmark::State& state, const char* name) {
    static const QImage picture = photoLike();
    QTemporaryDir folder;
    vexa::imageio::PictureWriter writer;
    const QString path = QDir(folder.path()).filePath(QString::fromLatin1(name));
    for (auto _ : state)
        if (!writer.write(picture, path, 85)) state.SkipWithError("not written");
}

BENCHMARK_CAPTURE(writePicture, bmp, "cover.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writePicture, jpg, "cover.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writePicture, png, "cover.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writePicture, tif, "cover.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writePicture, gif, "cover.gif")->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
