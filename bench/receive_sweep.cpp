// Receptions through the simulated console with seeded line faults, many seeds per fault mix,
// in both modes: how often the picture comes out exact, and whether a reception ever calls a
// wrong or short picture good (what quillomat-cli receive would exit 0 for).
//
//   quillomat_receive_sweep [--first SEED] [--seeds N] [--reprints N] [--compress] [--dump]
//                           [--all-prints] [--picture LIST] [--packets LIST [--ack]] [--normal]
//                           FAULTS...
//   FAULTS as in the sim option, e.g. stall:0.002+flip:0.001; LIST as in picture=, e.g.
//   card+a.bmp+card for a series of three prints (with --all-prints: the whole series, whose
//   console checks every answer and gives the rest up when one is missing)
//
// --packets 1+6+30 replays a recorded-style session of one print of that many data packets
// (16 rows each, cut from the picture: the default photo, or the first of --picture) instead of letting the console print: a replay
// does not wait for the printer's answers, so a packet the line damaged is simply gone, unless
// --ack makes it give the print up as a real console does. One row per fault mix and size.
// --normal leaves strict mode out.
//
// --dump prints, for every wrong picture a reception took as good, the differing bytes of each
// block with the marks the line left around them.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "console/CSimConsole.h"
#include "console/PrintSession.h"
#include "console/SimOptions.h"
#include "reception/PrintSeries.h"
#include "reception/ReceiveSession.h"
#include "reception/ReceptionState.h"

namespace {

// The messages go unread here: the session hands each to the simulated console's user, who
// prints again.
class CSweepScreen : public IReceiveScreen {
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

struct CRun {
    bool bExact = false;     // the picture handed over is the console's, byte for byte
    bool bCalledGood = false;  // the reception would exit 0
    int32_t nPrints = 0;
};

struct CSweepArgs {
    int nSeeds = 50;
    int nFirst = 1;
    int nReprints = 8;
    bool bCompress = false;
    bool bDump = false;
    bool bAllPrints = false;
    std::string strPicture;
    std::vector<int> packets;  // replay: data packets of the one print, one row each
    bool bAck = false;         // replay: the console gives up without the printer's answer
    bool bNormalOnly = false;  // the default mode only, not strict
    std::vector<std::string> faults;
};

// A session of one print of nPackets data packets, written as a replay file: one packet a
// line in hex bytes.
std::filesystem::path WriteReplay(int nPackets, const CSweepArgs& args, const std::filesystem::path& folder)
{
    const bool bCompress = args.bCompress;
    CSimOptions options;
    std::string strError;
    if (!args.strPicture.empty() && !ParseSimOptions("picture=" + args.strPicture, options, strError)) {
        std::fprintf(stderr, "%s\n", strError.c_str());
        std::exit(2);
    }
    const std::vector<uint8_t> photo = CreateSimConsole(options, strError)->GetTileStream();
    std::vector<uint8_t> tiles(static_cast<size_t>(nPackets) * CONSOLE_DATA_PACKET_BYTES);
    for (size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = photo[i % photo.size()];
    const std::filesystem::path path =
        folder / ("quillomat_sweep_" + std::to_string(::getpid()) + "_" + std::to_string(nPackets) +
                  (bCompress ? "c" : "p") + ".txt");
    std::ofstream out(path);
    for (const CPacket& packet : BuildPrintSession(tiles, bCompress)) {
        for (size_t i = 0; i < packet.size(); ++i) {
            char szByte[4];
            std::snprintf(szByte, sizeof szByte, "%02X", packet[i]);
            out << (i ? " " : "") << szByte;
        }
        out << '\n';
    }
    return path;
}

void DumpBlocks(const CReceptionState& state, const std::vector<uint8_t>& tiles, int nSeed, bool bStrict)
{
    for (int32_t j = 0; j < state.m_nMaxBlockCount; ++j) {
        const int32_t nLength = state.m_Blocks[j].m_nLength;
        for (int32_t k = 0; k < nLength; ++k) {
            const size_t nAt = static_cast<size_t>(j) * 640 + static_cast<size_t>(k);
            const uint8_t nGot = static_cast<uint8_t>(state.m_Blocks[j].m_Entries[k]);
            if (nAt >= tiles.size() || nGot == tiles[nAt])
                continue;
            std::printf("  seed %d %s block %d how %d byte %d: got %02X want %02X; marks", nSeed,
                        bStrict ? "strict" : "normal", j, state.m_Blocks[j].m_nHow, k, nGot, tiles[nAt]);
            for (int32_t n = k - 3; n <= k + 3; ++n)
                if (n >= 0 && n < nLength)
                    std::printf(" %d:%d/%02X", n - k, state.m_Blocks[j].m_Entries[n] >> 8,
                                static_cast<uint8_t>(state.m_Blocks[j].m_Entries[n]));
            std::printf("\n");
        }
    }
}

CRun RunOnce(const std::string& strFaults, int nSeed, bool bStrict, const CSweepArgs& args,
             const std::filesystem::path& logPath, const std::filesystem::path& replay = {})
{
    CSimOptions options;
    std::string strError;
    const std::string strOptions = "faults=" + strFaults + ",seed=" + std::to_string(nSeed) +
                                   ",reprints=" + std::to_string(args.nReprints) +
                                   (args.bCompress ? ",compress" : "") +
                                   (args.strPicture.empty() || !replay.empty() ? "" : ",picture=" + args.strPicture) +
                                   (replay.empty() ? "" : ",replay=" + replay.string() + (args.bAck ? ",ack" : ""));
    if (!ParseSimOptions(strOptions, options, strError)) {
        std::fprintf(stderr, "%s\n", strError.c_str());
        std::exit(2);
    }
    std::shared_ptr<CSimConsole> pConsole = CreateSimConsole(options, strError);
    CSweepScreen screen;
    CReceiveSession session(screen, pConsole, logPath);
    session.SetStrict(bStrict);
    session.SetAllPrints(args.bAllPrints);
    session.SetQuietMilliseconds(0);
    session.OnInitDialog();
    // The user waits while the console still prints, then gives up with "Abbrechen"; a series
    // is judged once the console has been quiet for an attempt.
    int nQuietTicks = 0;
    for (int i = 0; i < 400 && !session.HasEnded(); ++i) {
        nQuietTicks = pConsole->IsFinished() && pConsole->GetTime() > 0 ? nQuietTicks + 1 : 0;
        if (nQuietTicks > (args.bAllPrints ? 2 : 0) && i > 8)
            break;
        session.OnTimer(CReceiveSession::RECEIVE_TIMER_ID);
    }
    if (!session.HasEnded())
        session.OnCancel();
    session.OnDestroy();

    CRun run;
    const CReceivedPicture picture = session.GetReceivedPicture();
    const std::vector<uint8_t>& tiles = pConsole->GetTileStream();
    // A compressed print ends in the grey padding band; a series adds none.
    const size_t nExpected = args.bCompress && !args.bAllPrints ? tiles.size() + 320 : tiles.size();
    // The picture the user gets: whole bands only.
    run.bExact = static_cast<size_t>(picture.m_nTileBytes / 320) == nExpected / 320 &&
                 std::equal(tiles.begin(), tiles.end(), picture.m_TileData.begin());
    run.bCalledGood = session.IsPictureComplete() && session.GetVerdict().IsExact();
    run.nPrints = pConsole->GetPrintCount();
    if (args.bDump && run.bCalledGood && !run.bExact) {
        const CReceptionState& state = session.GetState();
        std::printf("  seed %d %s: %d picture bytes from %d blocks (%d compressed, %d plain headers):", nSeed,
                    bStrict ? "strict" : "normal", picture.m_nTileBytes, state.m_nMaxBlockCount,
                    state.m_nPackedCount, state.m_nPlainCount);
        for (int32_t j = 0; j < state.m_nMaxBlockCount; ++j)
            std::printf(" %d", state.m_Blocks[j].m_nLength);
        std::printf("; the line flipped %lld bytes, stalled %lld times\n",
                    static_cast<long long>(pConsole->GetFlipCount()), static_cast<long long>(pConsole->GetStallCount()));
        if (args.bCompress) {
            // The blocks carry the packed stream: say which picture bytes differ.
            for (size_t i = 0; i < tiles.size() && i < static_cast<size_t>(picture.m_nTileBytes); ++i)
                if (picture.m_TileData[i] != tiles[i])
                    std::printf("  picture byte %zu (band %zu): got %02X want %02X\n", i, i / 320,
                                picture.m_TileData[i], tiles[i]);
        } else {
            DumpBlocks(state, tiles, nSeed, bStrict);
        }
    }
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    CSweepArgs args;
    for (int i = 1; i < argc; ++i) {
        const std::string strArg = argv[i];
        if (strArg == "--first" && i + 1 < argc)
            args.nFirst = std::atoi(argv[++i]);
        else if (strArg == "--seeds" && i + 1 < argc)
            args.nSeeds = std::atoi(argv[++i]);
        else if (strArg == "--reprints" && i + 1 < argc)
            args.nReprints = std::atoi(argv[++i]);
        else if (strArg == "--compress")
            args.bCompress = true;
        else if (strArg == "--dump")
            args.bDump = true;
        else if (strArg == "--all-prints")
            args.bAllPrints = true;
        else if (strArg == "--picture" && i + 1 < argc)
            args.strPicture = argv[++i];
        else if (strArg == "--packets" && i + 1 < argc) {
            for (char* p = argv[++i]; *p != '\0'; p += *p == '+') {
                const long nPackets = std::strtol(p, &p, 10);
                if (nPackets < 1 || nPackets > 60 || (*p != '\0' && *p != '+')) {
                    std::fprintf(stderr, "--packets wants counts 1..60 joined by +\n");
                    return 2;
                }
                args.packets.push_back(static_cast<int>(nPackets));
            }
        } else if (strArg == "--ack")
            args.bAck = true;
        else if (strArg == "--normal")
            args.bNormalOnly = true;
        else
            args.faults.push_back(strArg);
    }
    if (args.faults.empty() || args.nSeeds <= 0) {
        std::fprintf(stderr, "usage: quillomat_receive_sweep [--first SEED] [--seeds N] [--reprints N] [--compress] [--dump] "
                             "[--all-prints] [--picture LIST] [--packets LIST [--ack]] [--normal] FAULTS...\n");
        return 2;
    }
    const std::filesystem::path logPath =
        std::filesystem::temp_directory_path() / ("quillomat_sweep_" + std::to_string(::getpid()) + ".log");

    std::vector<int> sizes = args.packets;
    if (sizes.empty())
        sizes.push_back(0);  // the console prints its picture
    std::printf("| faults | packets | mode | exact | wrong or short picture, exit 0 | prints (mean) |\n");
    std::printf("|---|---|---|---|---|---|\n");
    int nCalledWrong = 0;
    for (const std::string& strFaults : args.faults) {
      for (const int nPackets : sizes) {
        const std::filesystem::path replay =
            nPackets > 0 ? WriteReplay(nPackets, args, logPath.parent_path()) : std::filesystem::path();
        for (const bool bStrict : {false, true}) {
            if (bStrict && args.bNormalOnly)
                break;
            int nExact = 0, nWrongGood = 0;
            int64_t nPrints = 0;
            for (int nSeed = args.nFirst; nSeed < args.nFirst + args.nSeeds; ++nSeed) {
                const CRun run = RunOnce(strFaults, nSeed, bStrict, args, logPath, replay);
                nExact += run.bExact;
                nWrongGood += run.bCalledGood && !run.bExact;
                nPrints += run.nPrints;
            }
            nCalledWrong += nWrongGood;
            const char* pMode = args.bAllPrints ? (bStrict ? "all prints, strict" : "all prints")
                                                : (bStrict ? "strict" : "normal");
            const std::string strPackets =
                nPackets > 0 ? std::to_string(nPackets) + (args.bAck ? ", ack" : ", no ack") : "console";
            std::printf("| %s | %s | %s | %d/%d | %d | %.2f |\n", strFaults.c_str(), strPackets.c_str(), pMode,
                        nExact, args.nSeeds, nWrongGood, static_cast<double>(nPrints) / args.nSeeds);
            std::fflush(stdout);
        }
        std::error_code ec;
        if (!replay.empty())
            std::filesystem::remove(replay, ec);
      }
    }
    std::error_code ec;
    std::filesystem::remove(logPath, ec);
    return nCalledWrong == 0 ? 0 : 1;
}
