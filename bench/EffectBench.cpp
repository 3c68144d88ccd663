// Runs every effect through applyEffect on a 6000 x 4000 picture (a 600-dpi scan of a DVD
// cover) and copies the same 96 MB with memcpy as the yardstick. Each case reports its time
// and, as the counter "x_memcpy", that time as a multiple of the memcpy; a summary of the
// multiples goes to stderr so --benchmark_format=json keeps stdout clean.

#include "effects/Effects.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr std::size_t kBytes = std::size_t(kWidth) * kHeight * 4;

// A photo-like picture: smooth gradients with fine detail and some noise, so that
// branches in the effects meet a realistic mix of values.
const std::vector<std::uint8_t>& original() {
    static const std::vector<std::uint8_t> pixels = [] {
        std::vector<std::uint8_t> p(kBytes);
        std::uint32_t noise = 12345;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const std::size_t i = (std::size_t(y) * kWidth + std::size_t(x)) * 4;
                const int n = int(noise >> 28) - 8;
                p[i] = std::uint8_t((x / 24 + y / 40 + n) & 255);
                p[i + 1] = std::uint8_t(((x ^ y) / 16 + n) & 255);
                p[i + 2] = std::uint8_t((128 + (x - y) / 30 + n) & 255);
                p[i + 3] = 0xFF;
            }
        return p;
    }();
    return pixels;
}

double memcpySeconds = 0.0;
std::map<int, double> effectSeconds;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void memcpyCase(benchmark::State& state) {
    const std::vector<std::uint8_t>& from = original();
    std::vector<std::uint8_t> to(kBytes, 1);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::ClobberMemory();
        total += secondsSince(start);
    }
    memcpySeconds = total / double(state.iterations());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}

void effectCase(benchmark::State& state, int id) {
    std::vector<std::uint8_t> picture(kBytes);
    const vexa::effects::PictureView view{picture.data(), kWidth, kHeight,
                                          std::ptrdiff_t(kWidth) * 4};
    // The parameter the program passes, or a typical one for effects it does not offer.
    const std::int32_t usual = vexa::effects::effectTable()[std::size_t(id - 1)].usualParameter;
    std::int32_t progress = 0;
    vexa::effects::EffectEngine engine;
    // One untimed call first: the first touches of fresh memory in a new process cost many
    // times what they cost a program that has been running for a while.
    std::memcpy(picture.data(), original().data(), kBytes);
    vexa::effects::applyEffect(engine, id, view, usual, progress);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming(); // a fresh picture for every call, not part of the time
        std::memcpy(picture.data(), original().data(), kBytes);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const auto result = vexa::effects::applyEffect(engine, id, view, usual, progress);
        const double s = secondsSince(start);
        if (result.status != vexa::effects::EffectStatus::Done) {
            state.SkipWithError(("effect refused: " + result.reason).c_str());
            return;
        }
        total += s;
    }
    const double mean = total / double(state.iterations());
    effectSeconds[id] = mean;
    if (memcpySeconds > 0) state.counters["x_memcpy"] = mean / memcpySeconds;
}

} // namespace

int main(int argc, char** argv) {
    // Plain names ("memcpy", "effect/17"): manual or real-time modes would append a suffix
    // that scripts reading the JSON would have to know about.
    benchmark::RegisterBenchmark("memcpy", memcpyCase)->Unit(benchmark::kMillisecond);
    for (const auto& info : vexa::effects::effectTable())
        benchmark::RegisterBenchmark(("effect/" + std::to_string(info.id)).c_str(), effectCase,
                                     info.id)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (memcpySeconds > 0 && !effectSeconds.empty()) {
        std::fprintf(stderr, "\nmemcpy of %zu MB: %.1f ms\n", kBytes / 1000000,
                     memcpySeconds * 1e3);
        for (const auto& [id, seconds] : effectSeconds) {
            const char* name = vexa::effects::effectTable()[std::size_t(id - 1)].name;
            std::fprintf(stderr, "effect/%-2d %-24s %7.1f ms  %5.1f x memcpy\n", id, name,
                         seconds * 1e3, seconds / memcpySeconds);
        }
    }
    return 0;
}
