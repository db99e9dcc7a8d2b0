// How fast the log takes entries: one "GS NT" entry per byte exchanged with the console,
// while the process runs at real-time priority.
#include "log/CLogStore.h"
#include "log/LogReader.h"
#include "log/SystemHandles.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>

namespace {

std::unique_ptr<CLogStore> MakeStore()
{
    auto pStore = std::make_unique<CLogStore>();
    pStore->SetLogDefaults();
    pStore->ClearLog();
    return pStore;
}

// Entries into a freshly cleared ring, cleared again before the write position comes round.
void BM_WriteLogGsNtBeforeWrap(benchmark::State& state)
{
    auto pStore = MakeStore();
    int32_t nValue = 0;
    int32_t nSinceClear = 0;
    for (auto _ : state) {
        pStore->WriteLog(LOG_HANDLE_GS_NT, nValue++);
        if (++nSinceClear == 33000) {
            state.PauseTiming();
            pStore->ClearLog();
            nSinceClear = 0;
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(pStore->GetWritePos());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteLogGsNtBeforeWrap);

// Entries into a ring that has wrapped: each one drops the oldest entry it reaches.
void BM_WriteLogGsNtWrapping(benchmark::State& state)
{
    auto pStore = MakeStore();
    for (int i = 0; i < 50000; ++i)
        pStore->WriteLog(LOG_HANDLE_GS_NT, i);
    int32_t nValue = 0;
    for (auto _ : state)
        pStore->WriteLog(LOG_HANDLE_GS_NT, nValue++);
    benchmark::DoNotOptimize(pStore->GetWritePos());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteLogGsNtWrapping);

// A wrapped ring of mixed entries: short ones over long ones and back.
void BM_WriteLogMixedWrapping(benchmark::State& state)
{
    auto pStore = MakeStore();
    for (int i = 0; i < 50000; ++i)
        pStore->WriteLog(LOG_HANDLE_PORT_IOS, i);
    int32_t nValue = 0;
    for (auto _ : state) {
        pStore->WriteLog(LOG_HANDLE_GS_NT, nValue++);
        pStore->WriteLog(LOG_HANDLE_CC);
        pStore->WriteLog(LOG_HANDLE_PORT_IOS, nValue);
    }
    benchmark::DoNotOptimize(pStore->GetWritePos());
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_WriteLogMixedWrapping);

// The whole store to file bytes and back, without the disk.
void BM_SerializeAndReadLog(benchmark::State& state)
{
    auto pStore = MakeStore();
    for (int i = 0; i < 50000; ++i)
        pStore->WriteLog(LOG_HANDLE_GS_NT, i);
    auto pTarget = MakeStore();
    for (auto _ : state) {
        std::istringstream in(pStore->SerializeLog());
        benchmark::DoNotOptimize(pTarget->ReadLog(in));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pStore->SerializeLog().size()));
}
BENCHMARK(BM_SerializeAndReadLog);

// Walking a full ring of "GS NT" entries, as the CLI does before it formats them.
void BM_ReadRetainedLog(benchmark::State& state)
{
    auto pStore = MakeStore();
    for (int i = 0; i < 50000; ++i)
        pStore->WriteLog(LOG_HANDLE_GS_NT, i);
    for (auto _ : state) {
        CLogReader reader(*pStore);
        LogEntry entry;
        uint32_t nSum = 0;
        while (reader.Next(entry))
            nSum += entry.nValue;
        benchmark::DoNotOptimize(nSum);
    }
}
BENCHMARK(BM_ReadRetainedLog);

}  // namespace
