// Reception: CPU time to take one standard print (160 x 144) off the simulated console through
// the whole receive session, and the work after the packet loop on its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bitmap/CDib.h"
#include "console/CSimConsole.h"
#include "console/SimOptions.h"
#include "reception/BlockRepair.h"
#include "reception/PictureAssembly.h"
#include "reception/ReceiveSession.h"
#include "reception/ReceptionState.h"
#include "reception/TileDecoder.h"

namespace {

class CBenchScreen : public IReceiveScreen {
public:
    std::string GetStatusText() const override { return m_strText; }
    void SetStatusText(const std::string& strUtf8) override { m_strText = strUtf8; }
    void ShowMessage(const std::string&) override {}
    unsigned SetTimer(unsigned nId, unsigned) override { return nId; }
    void KillTimer(unsigned) override {}
    void EndDialog(int) override {}

private:
    std::string m_strText;
};

std::filesystem::path BenchLog()
{
    return std::filesystem::temp_directory_path() / ("quillomat_reception_bench_" + std::to_string(::getpid()) + ".log");
}

// Opening, four idle ticks, the attempt (with the 19 silent searches that end it), the
// verification, assembly and the end; the console's reads are counted as polls.
void ReceivePrint(benchmark::State& state, const char* pOptions)
{
    int64_t nPolls = 0;
    for (auto _ : state) {
        CSimOptions options;
        std::string strError;
        ParseSimOptions(pOptions, options, strError);
        std::shared_ptr<CSimConsole> pConsole = CreateSimConsole(options, strError);
        CBenchScreen screen;
        CReceiveSession session(screen, pConsole, BenchLog());
        session.OnInitDialog();
        for (int i = 0; i < 20 && !session.HasEnded(); ++i)
            session.OnTimer(1);
        if (!session.IsPictureComplete())
            state.SkipWithError("the print did not arrive");
        benchmark::DoNotOptimize(session.GetReceivedPicture().m_nTileBytes);
        nPolls += static_cast<int64_t>(pConsole->GetTime());
    }
    state.counters["polls"] = benchmark::Counter(static_cast<double>(nPolls), benchmark::Counter::kAvgIterations);
    std::error_code ec;
    std::filesystem::remove(BenchLog(), ec);
}

void BM_ReceivePlainPrint(benchmark::State& state)
{
    ReceivePrint(state, "");
}
BENCHMARK(BM_ReceivePlainPrint)->Unit(benchmark::kMillisecond);

void BM_ReceiveCompressedPrint(benchmark::State& state)
{
    ReceivePrint(state, "compress");
}
BENCHMARK(BM_ReceiveCompressedPrint)->Unit(benchmark::kMillisecond);

// After the packet loop: nine blocks with one cut byte each, rebuilt, joined, expanded, and
// decoded by the view into a 24-bit picture.
void BM_VerifyAssembleDecode(benchmark::State& state)
{
    auto pState = std::make_unique<CReceptionState>();
    for (auto _ : state) {
        state.PauseTiming();
        pState->ClearKept();
        for (int j = 0; j < 9; ++j) {
            uint32_t nSum = 0;
            for (int k = 0; k < 640; ++k) {
                const uint8_t v = static_cast<uint8_t>(k * 7 + j);
                nSum += v;
                pState->m_Blocks[j].m_Entries[k] = v;
            }
            pState->m_Blocks[j].m_Entries[300] = static_cast<uint16_t>(130 << 8 | (pState->m_Blocks[j].m_Entries[300] & 0x3F));
            pState->m_Blocks[j].m_nLength = 640;
            pState->m_Blocks[j].m_nSum = static_cast<uint16_t>(nSum);
        }
        pState->m_nMaxBlockCount = 9;
        pState->m_nPackedCount = 9;
        pState->m_nPlainCount = 1;
        state.ResumeTiming();

        benchmark::DoNotOptimize(VerifyBlocks(*pState));
        AssemblePicture(*pState);
        CDib dib;
        CreateReceivedPicture(pState->m_PictureData, pState->m_nByteCount, dib);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VerifyAssembleDecode)->Unit(benchmark::kMicrosecond);

}  // namespace
