// Runs every effect through applyEffect on a 6000 x 4000 picture (a 600-dpi scan of a DVD
// cover), on one thread and on --threads=N (default: one per processor core), and copies the
// same 96 MB with memcpy as the yardstick. Each effect writes a new picture from the same
// source, as the picture editor's effects do (the editor keeps the picture it started from),
// into a picture allocated once. The memcpy also runs split over the N threads, which gives
// the most N threads can gain on work that the memory bounds. Each case reports its time and, as
// the counter "x_memcpy", that time as a multiple of the memcpy. A summary goes to stderr, so
// --benchmark_format=json keeps stdout clean: per effect the median time on one thread, as a
// multiple of the memcpy, the median on N threads and how many times faster that is. On a
// machine that other work keeps busy the wall times count the time the benchmark waited for a
// core; the summary also gives the medians of the processor time the calling thread used
// (all of the work on one thread), as a figure that load changes far less.

#include "effects/Effects.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

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

// Seconds of every timed call, by case, on the clock and of the calling thread's processor
// time; the summary takes their medians.
std::vector<double> memcpyCalls, memcpyCpu, memcpyManyCalls;
std::map<std::pair<int, int>, std::vector<double>> effectCalls, effectCpu; // (id, threads)
std::map<int, int> bandsOnMany; // id: bands of the last call

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void memcpyCase(benchmark::State& state) {
    const std::vector<std::uint8_t>& from = original();
    std::vector<std::uint8_t> to(kBytes, 1);
    for (auto _ : state) {
        const double cpu = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::ClobberMemory();
        memcpyCalls.push_back(secondsSince(start));
        memcpyCpu.push_back(threadCpuSeconds() - cpu);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}

// The same copy, its rows split evenly over `threads` threads.
void memcpyOnThreadsCase(benchmark::State& state, int threads) {
    const std::vector<std::uint8_t>& from = original();
    std::vector<std::uint8_t> to(kBytes, 1);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> copies;
        for (int k = 0; k < threads; ++k) {
            const std::size_t begin = kBytes / 4 * std::size_t(k) / std::size_t(threads) * 4;
            const std::size_t end = kBytes / 4 * std::size_t(k + 1) / std::size_t(threads) * 4;
            copies.emplace_back([&, begin, end] {
                std::memcpy(to.data() + begin, from.data() + begin, end - begin);
            });
        }
        for (std::thread& copy : copies) copy.join();
        benchmark::ClobberMemory();
        memcpyManyCalls.push_back(secondsSince(start));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}

void effectCase(benchmark::State& state, int id, int threads) {
    const vexa::effects::SourceView source{original().data(), kWidth, kHeight,
                                           std::ptrdiff_t(kWidth) * 4};
    std::vector<std::uint8_t> picture(kBytes);
    const vexa::effects::PictureView view{picture.data(), kWidth, kHeight,
                                          std::ptrdiff_t(kWidth) * 4};
    // The parameter the program passes, or a typical one for effects it does not offer.
    const std::int32_t usual = vexa::effects::effectTable()[std::size_t(id - 1)].usualParameter;
    std::int32_t progress = 0;
    vexa::effects::EffectEngine engine(threads);
    // One untimed call first: the first touches of fresh memory in a new process cost many
    // times what they cost a program that has been running for a while, and the engine
    // starts its threads.
    std::memcpy(picture.data(), original().data(), kBytes);
    vexa::effects::applyEffect(engine, id, source, view, usual, progress);
    std::vector<double>& calls = effectCalls[{id, threads}];
    std::vector<double>& cpuTimes = effectCpu[{id, threads}];
    for (auto _ : state) {
        const double cpu = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const auto result = vexa::effects::applyEffect(engine, id, source, view, usual, progress);
        const double s = secondsSince(start);
        cpuTimes.push_back(threadCpuSeconds() - cpu);
        if (result.status != vexa::effects::EffectStatus::Done) {
            state.SkipWithError(("effect refused: " + result.reason).c_str());
            return;
        }
        calls.push_back(s);
    }
    if (threads > 1) bandsOnMany[id] = engine.lastBands();
    const double memcpySeconds = median(memcpyCalls);
    if (memcpySeconds > 0) state.counters["x_memcpy"] = median(calls) / memcpySeconds;
}

// Takes --threads=N out of the arguments; 0 when it is not there.
int takeThreadsArgument(int& argc, char** argv) {
    int threads = 0;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--threads=", 10) == 0)
            threads = std::atoi(argv[i] + 10);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return threads;
}

} // namespace

int main(int argc, char** argv) {
    int threads = takeThreadsArgument(argc, argv);
    if (threads <= 0) threads = std::max(1, int(std::thread::hardware_concurrency()));
    // Plain names ("memcpy", "effect/17/threads:1"): manual or real-time modes would append a
    // suffix that scripts reading the JSON would have to know about.
    benchmark::RegisterBenchmark("memcpy", memcpyCase)->Unit(benchmark::kMillisecond);
    if (threads > 1)
        benchmark::RegisterBenchmark(("memcpy/threads:" + std::to_string(threads)).c_str(),
                                     memcpyOnThreadsCase, threads)
            ->Unit(benchmark::kMillisecond);
    std::vector<int> counts = {1};
    if (threads > 1) counts.push_back(threads);
    for (const auto& info : vexa::effects::effectTable())
        for (const int count : counts)
            benchmark::RegisterBenchmark(
                ("effect/" + std::to_string(info.id) + "/threads:" + std::to_string(count)).c_str(),
                effectCase, info.id, count)
                ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double memcpySeconds = median(memcpyCalls);
    if (memcpySeconds <= 0 || effectCalls.empty()) return 0;
    const double memcpyCpuSeconds = median(memcpyCpu);
    std::fprintf(stderr, "\nmemcpy of %zu MB: %.1f ms, processor time %.1f ms (medians of %zu)\n",
                 kBytes / 1000000, memcpySeconds * 1e3, memcpyCpuSeconds * 1e3, memcpyCalls.size());
    if (!memcpyManyCalls.empty()) {
        const double many = median(memcpyManyCalls);
        std::fprintf(stderr, "memcpy split over %d threads: %.1f ms, %.2fx faster than one\n",
                     threads, many * 1e3, memcpySeconds / many);
    }
    std::fprintf(stderr, "%-35s %9s %9s %9s %9s %9s %8s\n", "effect (medians)", "1 thread",
                 "x memcpy", "cpu 1 th.", "x memcpy",
                 (std::to_string(threads) + " threads").c_str(), "1 vs N");
    for (const auto& info : vexa::effects::effectTable()) {
        const auto one = effectCalls.find({info.id, 1});
        if (one == effectCalls.end() || one->second.empty()) continue;
        const double single = median(one->second);
        const double cpu = median(effectCpu[{info.id, 1}]);
        std::fprintf(stderr, "effect/%-2d %-25s %6.1f ms %9.1f %6.1f ms %9.1f", info.id, info.name,
                     single * 1e3, single / memcpySeconds, cpu * 1e3,
                     memcpyCpuSeconds > 0 ? cpu / memcpyCpuSeconds : 0.0);
        const auto many = effectCalls.find({info.id, threads});
        if (threads > 1 && many != effectCalls.end() && !many->second.empty()) {
            const double multi = median(many->second);
            std::fprintf(stderr, " %6.1f ms %7.2fx%s", multi * 1e3, single / multi,
                         bandsOnMany[info.id] > 1 ? "" : "  (runs in order on one thread)");
        }
        std::fprintf(stderr, "\n");
    }
    return 0;
}
