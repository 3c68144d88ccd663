// What moving a Fill crop costs the window's thread: one repaint of a cover slot holding a
// 6000 x 4000 picture after each step of a drag, against the slot's repaint when nothing
// moved. The smooth copy is made on a worker meanwhile, as in the program.
#include "core/cover/CoverFormats.h"
#include "widgets/PictureHolder.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

QImage photo() {
    QImage picture(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb(x * 255 / 6000, y * 255 / 4000,
                           static_cast<int>(127 + 120 * std::sin(x * 0.05 + y * 0.031)));
    }
    return picture;
}

// A square CD front slot: the 3 : 2 photo overflows across.
void holderOf(vexa::widgets::PictureHolder& holder, const QImage& picture) {
    holder.resize(465, 465);
    holder.setPictureShape(vexa::cover::coverShape(vexa::cover::CoverKind::Front));
    holder.setPicture(picture);
    holder.setFraming({vexa::cover::CoverFit::Fill, {0.5, 0.5}});
    holder.grab();
}

void repaintAfterDragStep(benchmark::State& state) {
    const QImage picture = photo();
    vexa::widgets::PictureHolder holder;
    holderOf(holder, picture);
    int step = 0;
    for (auto _ : state) {
        // Back and forth across the overflow, a hundredth at a time.
        const double crop = 0.3 + 0.01 * (step++ % 40);
        holder.setFraming({vexa::cover::CoverFit::Fill, {crop, 0.5}});
        benchmark::DoNotOptimize(holder.grab());
    }
}

void repaintUnmoved(benchmark::State& state) {
    const QImage picture = photo();
    vexa::widgets::PictureHolder holder;
    holderOf(holder, picture);
    for (auto _ : state) benchmark::DoNotOptimize(holder.grab());
}

BENCHMARK(repaintAfterDragStep)
    ->Name("slot/fill_24mp/repaint_after_drag_step")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(repaintUnmoved)
    ->Name("slot/fill_24mp/repaint_unmoved")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
