// Softening (per pass) and colouring a received 160 × 144 picture.
#include <benchmark/benchmark.h>

#include "bitmap/CDib.h"
#include "effects/Colorize.h"
#include "effects/Soften.h"
#include "effects/UndoSnapshot.h"

namespace {

void MakeReceived(CDib& dib) {
    static const uint32_t levels[4] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000};
    dib.Create(160, 144);
    for (int32_t y = 0; y < 144; ++y)
        for (int32_t x = 0; x < 160; ++x)
            dib.SetPixel({x, y}, levels[(x / 3 + y / 5) % 4]);
}

// One softening of state.range(0) passes, including the snapshot and its restore.
void BM_Soften(benchmark::State& state) {
    CDib dib;
    MakeReceived(dib);
    CSoftenSettings s;
    s.m_nSoftCentre = 25;
    s.m_nSoftSize = s.m_nSoftSizeEntered = 8;
    s.m_nSoftPasses = int32_t(state.range(0));
    CUndoSnapshot undo;
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplySoften(dib, undo, s, {}));
    state.SetItemsProcessed(state.iterations() * state.range(0));  // passes
}
BENCHMARK(BM_Soften)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

void BM_Colorize(benchmark::State& state) {
    CDib dib;
    MakeReceived(dib);
    CUndoSnapshot undo;
    for (auto _ : state)
        benchmark::DoNotOptimize(ApplyColorize(dib, undo, 33));
}
BENCHMARK(BM_Colorize)->Unit(benchmark::kMicrosecond);

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
