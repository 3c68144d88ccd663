// A 6000 x 4000 JPEG (24 megapixels) clicked in the browser until it is in the cover slot,
// against Qt decoding the same file and nothing else.
#include "app/MainWindow.h"
#include "app/PictureBrowser.h"
#include "app/PictureLoader.h"
#include "core/picture/PictureFile.h"
#include "support/MainWindowParts.h"
#include "widgets/PictureHolder.h"

#include <QApplication>
#include <QImageReader>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A photo-like picture: gradients with fine detail, so the JPEG is of a camera's size.
struct PhotoFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("photo.jpg"));
    PhotoFile() {
        QImage picture(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = qRgb(x * 255 / 6000, y * 255 / 4000,
                               static_cast<int>(127 + 120 * std::sin(x * 0.05 + y * 0.031)));
        }
        if (!picture.save(path, "JPG", 90)) std::abort();
    }
};

const PhotoFile& photo() {
    static const PhotoFile file;
    return file;
}

void qtDecode(benchmark::State& state) {
    for (auto _ : state) {
        QImageReader reader(photo().path);
        QImage picture = reader.read();
        if (picture.isNull()) state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(picture);
    }
}

// The program's file loader alone, on this thread: what the worker spends per load.
void loaderOnly(benchmark::State& state) {
    for (auto _ : state) {
        QImage picture = vexa::picture::loadPictureFile(photo().path);
        if (picture.isNull()) state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(picture);
    }
}

void loadIntoSlot(benchmark::State& state) {
    vexa::app::MainWindow window;
    if (!vexa::test::browser(window)->setFolder(photo().dir.path())) std::abort();
    vexa::test::browser(window)->fileSelect()->item(0)->setSelected(true);
    vexa::app::PictureLoader* loader = vexa::test::pictureLoader(window);
    for (auto _ : state) {
        window.loadSelectedFiles();
        while (loader->isBusy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (vexa::test::slotHolder(window, 1)->picture().width() != 6000)
            state.SkipWithError("not loaded");
        state.PauseTiming();
        vexa::test::slotHolder(window, 1)->clear();
        state.ResumeTiming();
    }
}

// Not part of the load: the slot's first paint after it, which shrinks the picture to the
// slot's size on the GUI thread.
void firstPaintOfSlot(benchmark::State& state) {
    const QImage picture = QImageReader(photo().path).read();
    vexa::widgets::PictureHolder holder;
    holder.resize(465, 331);
    for (auto _ : state) {
        holder.setPicture(picture);
        benchmark::DoNotOptimize(holder.grab());
    }
}

BENCHMARK(qtDecode)->Name("load/jpeg_24mp/qt_decode")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(loaderOnly)
    ->Name("load/jpeg_24mp/file_loader")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(loadIntoSlot)
    ->Name("load/jpeg_24mp/into_slot")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(firstPaintOfSlot)
    ->Name("load/jpeg_24mp/first_paint_of_slot")
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    photo();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
