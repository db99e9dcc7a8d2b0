#include "effects/RowBands.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace {
// Below this much work (in channel values or pixels) a band is not worth a thread of its own.
constexpr uint64_t MIN_BAND_COST = 32 * 1024;
constexpr int MAX_BANDS = 16;
}  // namespace

int RowBandCount(int32_t nRows, uint64_t nRowCost, int nThreads) {
    const int64_t nRowsAtLeastOne = std::max(nRows, 1);
    if (nThreads > 0)
        return int(std::min<int64_t>({nThreads, MAX_BANDS, nRowsAtLeastOne}));
    const int64_t nCores = std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(MAX_BANDS));
    const uint64_t nTotal = uint64_t(std::max(nRows, 0)) * nRowCost;
    const int64_t nWorth = int64_t(std::clamp<uint64_t>(nTotal / MIN_BAND_COST, 1, MAX_BANDS));
    return int(std::min<int64_t>({nCores, nWorth, nRowsAtLeastOne}));
}

int32_t RowBandStart(int32_t nRows, int nBands, int k) {
    return int32_t(int64_t(nRows) * k / nBands);
}

void RunRowBands(int nBands, const std::function<void(int k)>& fn) {
    std::vector<std::thread> threads;
    std::vector<int> leftOver;
    threads.reserve(size_t(std::max(nBands - 1, 0)));
    for (int k = 1; k < nBands; ++k) {
        try {
            threads.emplace_back(fn, k);
        } catch (const std::system_error&) {
            leftOver.push_back(k);
        }
    }
    if (nBands > 0)
        fn(0);
    for (int k : leftOver)
        fn(k);
    for (std::thread& t : threads)
        t.join();
}
