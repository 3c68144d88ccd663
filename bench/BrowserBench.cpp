// The picture browser's 10-second refresh on a folder of 5,000 pictures, every one of them
// selected (Ctrl+A in the file list): unchanged, and with one file come or gone each time.
#include "app/PictureBrowser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 5000;

struct SelectedFolder {
    QTemporaryDir dir;
    vexa::app::PictureBrowser browser;

    SelectedFolder() {
        for (int i = 0; i < kFiles; ++i) {
            QFile file(dir.filePath(QStringLiteral("cover%1.jpg").arg(i, 4, 10, QLatin1Char('0'))));
            if (!file.open(QIODevice::WriteOnly)) std::abort();
        }
        if (!browser.setFolder(dir.path())) std::abort();
        browser.fileSelect()->selectAll();
    }
};

void refreshUnchanged(benchmark::State& state) {
    SelectedFolder folder;
    for (auto _ : state) folder.browser.refreshFiles();
    if (folder.browser.fileSelect()->selectedItems().size() != kFiles)
        state.SkipWithError("selection lost");
}

void refreshChanged(benchmark::State& state) {
    SelectedFolder folder;
    const QString shown = folder.dir.filePath(QStringLiteral("extra.jpg"));
    const QString hidden = folder.dir.filePath(QStringLiteral("extra.txt"));
    QFile(shown).open(QIODevice::WriteOnly);
    bool present = true;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::rename(present ? shown : hidden, present ? hidden : shown);
        present = !present;
        state.ResumeTiming();
        folder.browser.refreshFiles();
    }
    if (folder.browser.fileSelect()->selectedItems().size() < kFiles)
        state.SkipWithError("selection lost");
}

BENCHMARK(refreshUnchanged)
    ->Name("browser/refresh_5000_selected/unchanged")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(refreshChanged)
    ->Name("browser/refresh_5000_selected/one_changed")
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
