// The link: the cost of one poll inside the byte exchange, and bytes exchanged per second
// against the simulated console.

#include "console/CSimConsole.h"
#include "link/CIOModul.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

constexpr size_t PACKET_BYTES = 60000;

class CQuietPlatform final : public IPlatform {
public:
    void SetPriorityClass(uint32_t) override {}
    void SetThreadTimeCritical(bool) override {}
    int64_t MilliClock() override { return 0; }
};

std::shared_ptr<CSimConsole> Sim(int64_t nHalf, int64_t nGap)
{
    CSimOptions options;
    options.nHalf = nHalf;
    options.nGap = nGap;
    options.nPause = nGap;
    options.nStart = 0;
    options.nReprints = 0;
    // One long packet that the console keeps sending; the benchmark never answers its trailer.
    std::vector<uint8_t> data(PACKET_BYTES);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 131 + 17);
    return std::make_shared<CSimConsole>(options, std::vector<uint8_t>{},
                                         std::vector<CPacket>{MakePacket(PRINTER_CMD_DATA, 0, data)});
}

struct Link {
    Link(int64_t nHalf, int64_t nGap)
        : pSim(Sim(nHalf, nGap)),
          path(std::filesystem::temp_directory_path() / ("quillomat_link_bench_" + std::to_string(::getpid()) + ".log")),
          pModul(std::make_unique<CIOModul>(pSim, std::make_shared<CQuietPlatform>()))
    {
        pModul->SetLogfilePath(path);
        pModul->InitLog();
        pModul->FindModulPort();
        pModul->GetModulVersion();
    }
    ~Link()
    {
        pModul.reset();
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    // The console's one packet is nearly through.
    bool NearEnd() const { return pSim->GetByteCount() + 10 >= static_cast<int64_t>(PACKET_BYTES); }

    std::shared_ptr<CSimConsole> pSim;
    std::filesystem::path path;
    std::unique_ptr<CIOModul> pModul;
};

// Time per status read inside GetSetByteExtern: a slow clock, so nearly all the time is polling.
void BM_PollThroughPortIo(benchmark::State& state)
{
    auto pLink = std::make_unique<Link>(state.range(0), 2 * state.range(0));
    double dPolls = 0;
    uint64_t nStart = pLink->pSim->GetTime();
    for (auto _ : state) {
        benchmark::DoNotOptimize(pLink->pModul->GetSetByteExtern(0x00, 30000));
        if (pLink->NearEnd()) {
            state.PauseTiming();
            dPolls += static_cast<double>(pLink->pSim->GetTime() - nStart);
            pLink = std::make_unique<Link>(state.range(0), 2 * state.range(0));
            nStart = pLink->pSim->GetTime();
            state.ResumeTiming();
        }
    }
    const auto nPolls = dPolls + static_cast<double>(pLink->pSim->GetTime() - nStart);
    state.counters["polls"] = benchmark::Counter(nPolls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PollThroughPortIo)->Arg(1000);

// Whole exchanges against the simulator at a few port speeds (reads per half-period).
void BM_ExchangedBytes(benchmark::State& state)
{
    auto pLink = std::make_unique<Link>(state.range(0), 4 * state.range(0));
    int64_t nBytes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pLink->pModul->GetSetByteExtern(0x00, 30000));
        ++nBytes;
        if (pLink->NearEnd()) {
            state.PauseTiming();
            pLink = std::make_unique<Link>(state.range(0), 4 * state.range(0));
            state.ResumeTiming();
        }
    }
    state.counters["bytes"] = benchmark::Counter(static_cast<double>(nBytes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExchangedBytes)->Arg(4)->Arg(30)->Arg(300);

} // namespace
