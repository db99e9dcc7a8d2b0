#pragma once
// Picture-wide work shared out by rows: the rows are cut into bands, one thread per band.
#include <cstdint>
#include <functional>

// The number of bands for nRows rows of nRowCost units of work each: nThreads as asked (at
// most one per row), or with nThreads 0 one per processor core, fewer where a band would have
// less work than a thread costs to start.
int RowBandCount(int32_t nRows, uint64_t nRowCost, int nThreads);

// Band k of nBands holds the rows [RowBandStart(k), RowBandStart(k + 1)).
int32_t RowBandStart(int32_t nRows, int nBands, int k);

// Runs fn(k) for k in [0, nBands): band 0 on the calling thread, the others each on a thread of
// its own, and returns when all are done. A thread that cannot be started leaves its band to
// the calling thread.
void RunRowBands(int nBands, const std::function<void(int k)>& fn);
