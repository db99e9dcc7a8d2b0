// Softening and colouring: ns per pixel per pass at the console's 160 × 144 and at a large
// 4000 × 3000 picture, by row path and thread count; and the desktop command with its snapshot.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "bitmap/CDib.h"
#include "effects/Colorize.h"
#include "effects/Soften.h"
#include "effects/UndoSnapshot.h"

namespace {

void MakeReceived(CDib& dib, int32_t w = 160, int32_t h = 144) {
    static const uint8_t levels[4] = {0xFF, 0xCC, 0xAA, 0x00};
    dib.Create(w, h);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = dib.GetRowBits(y);
        for (int32_t x = 0; x < w; ++x)
            std::memset(p + 3 * x, levels[(x / 3 + y / 5) % 4], 3);
    }
}

// A photograph-like picture: smooth ramps with noise on top.
void MakePhoto(CDib& dib, int32_t w, int32_t h) {
    dib.Create(w, h);
    std::mt19937 rng(5);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = dib.GetRowBits(y);
        for (int32_t i = 0; i < 3 * w; ++i)
            p[i] = uint8_t((i / 3 * 255 / w + y * 255 / h) / 2 + rng() % 32);
    }
}

void ReportPerPixelPass(benchmark::State& state, const CDib& dib, int64_t nPasses) {
    const CSize size = dib.GetDimensions();
    // Inverted rate: seconds per pixel and pass, shown with an SI prefix (n = nanoseconds).
    state.counters["per_pixel_pass"] = benchmark::Counter(
        double(state.iterations()) * double(size.cx) * double(size.cy) * double(nPasses),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Arguments: width, height, row path (-1: the fastest), threads (0: one per core).
void BM_SoftenPass(benchmark::State& state) {
    CDib dib;
    MakePhoto(dib, int32_t(state.range(0)), int32_t(state.range(1)));
    const std::vector<SoftenPath> paths = SoftenPathsAvailable();
    CSoftenRun run;
    run.nThreads = int(state.range(3));
    if (state.range(2) >= 0) {
        if (size_t(state.range(2)) >= paths.size()) {
            state.SkipWithError("this processor has no such path");
            return;
        }
        run.path = paths[size_t(state.range(2))];
    }
    state.SetLabel(run.path ? SoftenPathName(*run.path) : "fastest");
    const CSoftenSettings s{25, 8, 8, 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(SoftenDib(dib, s, {}, run).Ok());
    ReportPerPixelPass(state, dib, 1);
}
BENCHMARK(BM_SoftenPass)
    ->ArgNames({"w", "h", "path", "threads"})
    ->Args({160, 144, -1, 0})
    ->Args({160, 144, 0, 1})
    ->Args({4000, 3000, -1, 0})
    ->Args({4000, 3000, 0, 1})
    ->Args({4000, 3000, 1, 1})
    ->Args({4000, 3000, 2, 1})
    ->Args({4000, 3000, 2, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Colorize(benchmark::State& state) {
    CDib dib;
    MakePhoto(dib, int32_t(state.range(0)), int32_t(state.range(1)));
    for (auto _ : state)
        ColorizeDib(dib, 33);
    ReportPerPixelPass(state, dib, 1);
}
BENCHMARK(BM_Colorize)->ArgNames({"w", "h"})->Args({160, 144})->Args({4000, 3000})->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The desktop command: state.range(0) passes, including the snapshot and its restore.
void BM_SoftenCommand(benchmark::State& state) {
    CDib dib;
    MakeReceived(dib);
    CSoftenSettings s;
    s.m_nSoftCentre = 25;
    s.m_nSoftSize = s.m_nSoftSizeEntered = 8;
    s.m_nSoftPasses = int32_t(state.range(0));
    CUndoSnapshot undo;
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplySoften(dib, undo, s, {}).Ok());
    ReportPerPixelPass(state, dib, state.range(0));
}
BENCHMARK(BM_SoftenCommand)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ColorizeCommand(benchmark::State& state) {
    CDib dib;
    MakeReceived(dib);
    CUndoSnapshot undo;
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplyColorize(dib, undo, 33).Ok());
}
BENCHMARK(BM_ColorizeCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SoftenKernel(benchmark::State& state) {
    const CSoftenWeights w = SoftenWeights(CSoftenSettings{25, 8, 8, 1});
    uint8_t v = 0;
    for (auto _ : state) {
        v = SoftenKernel(w, v, 255, 204, 170, v, 0, 255, 204, 170);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_SoftenKernel);

}  // namespace
