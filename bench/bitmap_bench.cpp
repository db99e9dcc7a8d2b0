// Pixel access over a received picture, and loading and storing it.
#include <benchmark/benchmark.h>

#include <sstream>

#include "bitmap/CDib.h"

namespace {

void BM_GetPixelOverPicture(benchmark::State& state) {
    CDib dib;
    dib.Create(160, 144);
    for (auto _ : state) {
        uint32_t nSum = 0;
        for (int32_t y = 0; y < 144; ++y)
            for (int32_t x = 0; x < 160; ++x)
                nSum += dib.GetPixel({x, y});
        benchmark::DoNotOptimize(nSum);
    }
    state.SetItemsProcessed(state.iterations() * 160 * 144);
}
BENCHMARK(BM_GetPixelOverPicture);

void BM_SetPixelOverPicture(benchmark::State& state) {
    CDib dib;
    dib.Create(160, 144);
    uint32_t nValue = 0;
    for (auto _ : state) {
        for (int32_t y = 0; y < 144; ++y)
            for (int32_t x = 0; x < 160; ++x)
                dib.SetPixel({x, y}, nValue++);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 160 * 144);
}
BENCHMARK(BM_SetPixelOverPicture);

void BM_StoreAndLoadPicture(benchmark::State& state) {
    CDib dib;
    dib.Create(160, 144);
    for (auto _ : state) {
        std::ostringstream out;
        benchmark::DoNotOptimize(dib.Write(out).Ok());
        std::istringstream in(out.str());
        CDib back;
        benchmark::DoNotOptimize(back.Read(in).Ok());
    }
}
BENCHMARK(BM_StoreAndLoadPicture);

}  // namespace
