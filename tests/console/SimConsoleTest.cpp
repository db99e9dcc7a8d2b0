// The simulated module and console on the lines, driven by CIOModul as the printer.

#include "../link/LinkFakes.h"
#include "console/CSimConsole.h"
#include "console/ConsolePicture.h"
#include "console/DefaultPicture.h"
#include "bitmap/CDib.h"

#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr uint16_t STATUS_379 = 0x379;

std::shared_ptr<CSimConsole> MakeSim(const std::string& strOptions, std::vector<CPacket> packets = {})
{
    CSimOptions options;
    std::string strError;
    // Without ticks of a program the console starts at a fixed time.
    options.nStart = 1000;
    EXPECT_TRUE(ParseSimOptions(strOptions, options, strError)) << strError;
    if (packets.empty()) {
        auto pSim = CreateSimConsole(options, strError);
        EXPECT_NE(pSim, nullptr) << strError;
        return pSim;
    }
    return std::make_shared<CSimConsole>(options, std::vector<uint8_t>{}, std::move(packets));
}

struct Printer {
    explicit Printer(std::shared_ptr<CSimConsole> p)
        : pSim(std::move(p)), pPlatform(std::make_shared<CFakePlatform>()), modul(pSim, pPlatform)
    {
        modul->FindModulPort();
        modul->GetModulVersion();
    }
    // Plays the printer for the console's packets: 0x81 in the first trailer exchange.
    void PlayPackets(const std::vector<CPacket>& packets)
    {
        for (const CPacket& packet : packets)
            for (size_t n = 0; n < packet.size(); ++n) {
                const uint8_t b = modul->GetSetByteExtern(n + 2 == packet.size() ? 0x81 : 0x00, 30000);
                EXPECT_EQ(b, packet[n]);
                EXPECT_EQ(modul->GetLastMark(), 0);
            }
    }
    std::shared_ptr<CSimConsole> pSim;
    std::shared_ptr<CFakePlatform> pPlatform;
    CTestModul modul;
};

TEST(SimConsole, ModuleAnswersTheProbeAndTheVersionTest)
{
    struct Case {
        const char* pszOptions;
        uint16_t nBase;
        int32_t nVersion;
    };
    for (const Case& c : {Case{"", 0x378, 3}, Case{"version=4", 0x378, 4}, Case{"version=2,base=0x3BC", 0x3BC, 2},
                          Case{"version=3,base=0x278", 0x278, 3}, Case{"version=0", 0, 0}}) {
        Printer p(MakeSim(c.pszOptions));
        EXPECT_EQ(p.modul->GetPortBase(), c.nBase) << c.pszOptions;
        EXPECT_EQ(p.modul->GetVersion(), c.nVersion) << c.pszOptions;
        EXPECT_EQ(p.modul->GetPort().GetKind(), ELinkKind::Simulated);
        // The module alone, with nothing on its cable, answers the same.
        const CSimOptions& o = p.pSim->GetOptions();
        CTestModul bare(std::make_shared<CSimModule>(o.nVersion, o.nBase), std::make_shared<CFakePlatform>());
        EXPECT_EQ(bare->FindModulPort(), c.nBase) << c.pszOptions;
        EXPECT_EQ(bare->GetModulVersion(), c.nVersion) << c.pszOptions;
    }
    auto pAbsent = MakeSim("version=0");
    CSimModule absent(0, 0x378);
    for (uint16_t a : {0x378, 0x379, 0x37A, 0x278}) {
        EXPECT_EQ(pAbsent->In(a), 0xFF);
        EXPECT_EQ(absent.In(a), 0xFF);
    }
}

TEST(SimConsole, BytesCrossInBothDirectionsOverASweepOfPortSpeeds)
{
    std::vector<uint8_t> data(96);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 53 + 7);
    const CPacket packet = MakePacket(PRINTER_CMD_DATA, 0, data);
    for (int nVersion : {3, 4})
        for (int nHalf : {3, 4, 8, 30, 300, 3000}) {
            const std::string strOptions = "version=" + std::to_string(nVersion) + ",half=" + std::to_string(nHalf) +
                                           ",gap=" + std::to_string(2 * nHalf + 5) + ",reprints=0";
            Printer p(MakeSim(strOptions, {packet}));
            std::vector<uint8_t> sent;
            for (size_t n = 0; n < packet.size(); ++n) {
                const uint8_t nSend = n + 2 == packet.size() ? 0x81 : static_cast<uint8_t>(n * 29 + 3);
                sent.push_back(nSend);
                ASSERT_EQ(p.modul->GetSetByteExtern(nSend, 30000), packet[n]) << strOptions << " byte " << n;
                ASSERT_EQ(p.modul->GetLastMark(), 0) << strOptions << " byte " << n;
                ASSERT_EQ(p.modul->GetModulStatus() & (MODUL_TIMEOUT | MODUL_SYNC_ERROR | MODUL_BAD_VERSION), 0u);
            }
            EXPECT_EQ(p.pSim->GetLastPacketReplies(), sent) << strOptions;
            EXPECT_EQ(p.pSim->GetPacketCount(), 1);
            EXPECT_FALSE(p.pSim->WasGivenUp());
            EXPECT_TRUE(p.pSim->IsFinished());
            // Afterwards the console is silent: the next exchange runs out of polls.
            p.modul->GetSetByteExtern(0, 1000);
            EXPECT_EQ(p.modul->GetModulStatus() & MODUL_TIMEOUT, MODUL_TIMEOUT);
        }
}

TEST(SimConsole, AWholePrintWithThePrintersAcknowledgements)
{
    const std::vector<uint8_t> photo = BuildDefaultPicture();
    const std::vector<uint8_t> card = BuildTestCard();
    const struct {
        const char* pszOptions;
        const std::vector<uint8_t>& picture;
    } cases[] = {{"", photo}, {"picture=card,compress", card}, {"version=4,compress", photo}};
    for (const auto& [pszOptions, picture] : cases) {
        Printer p(MakeSim(pszOptions));
        p.PlayPackets(p.pSim->GetPackets());
        EXPECT_TRUE(p.pSim->IsFinished()) << pszOptions;
        EXPECT_FALSE(p.pSim->WasGivenUp());
        EXPECT_EQ(p.pSim->GetPrintCount(), 1);
        // Init, status, nine data packets with a status poll each, the empty one, the print
        // packet, and the 100 status polls of a console waiting for a busy printer.
        EXPECT_EQ(p.pSim->GetPacketCount(), 22 + 100);
        for (const auto& reply : p.pSim->GetReplies())
            EXPECT_EQ(reply, (std::pair<uint8_t, uint8_t>{0x81, 0x00}));
        EXPECT_EQ(p.pSim->GetTileStream(), picture) << pszOptions;
        EXPECT_EQ(TilesOfPackets(p.pSim->GetPackets()), picture) << pszOptions;
    }
}

TEST(SimConsole, WithoutTheAcknowledgementTheConsoleGivesUpAndTheUserPrintsAgain)
{
    Printer p(MakeSim("reprints=1,delay=5000"));
    const CPacket& init = p.pSim->GetPackets()[0];
    // The console checks the answer to the first trailer byte and stops there.
    for (size_t n = 0; n + 1 < init.size(); ++n)
        EXPECT_EQ(p.modul->GetSetByteExtern(0x00, 30000), init[n]); // never 0x81
    EXPECT_TRUE(p.pSim->WasGivenUp());
    EXPECT_EQ(p.pSim->GetGiveUpCount(), 1);
    EXPECT_EQ(p.pSim->GetPacketCount(), 0);
    EXPECT_FALSE(p.pSim->IsFinished());
    // The silence before the re-print is longer than a few exchanges' poll limits...
    p.modul->GetSetByteExtern(0, 4000);
    EXPECT_EQ(p.modul->GetModulStatus() & MODUL_TIMEOUT, MODUL_TIMEOUT);
    // ...then the second print begins, and this time it is answered.
    p.PlayPackets(p.pSim->GetPackets());
    EXPECT_EQ(p.pSim->GetPrintCount(), 2);
    EXPECT_FALSE(p.pSim->WasGivenUp());
    EXPECT_TRUE(p.pSim->IsFinished());
}

TEST(SimConsole, ReplayIsOpenLoop)
{
    const CPacket a = MakePacket(PRINTER_CMD_INIT, 0, {});
    const CPacket b = MakePacket(PRINTER_CMD_STATUS, 0, {});
    CSimOptions options;
    options.strReplay = "recorded.txt";
    options.nReprints = 0;
    options.nStart = 1000;
    auto pSim = std::make_shared<CSimConsole>(options, std::vector<uint8_t>{}, std::vector<CPacket>{a, b});
    Printer p(pSim);
    for (const CPacket& packet : {a, b})
        for (uint8_t nExpected : packet)
            EXPECT_EQ(p.modul->GetSetByteExtern(0x00, 30000), nExpected);
    EXPECT_FALSE(pSim->WasGivenUp());
    EXPECT_EQ(pSim->GetPacketCount(), 2);
}

TEST(SimConsole, ACutPacketEndsThePrintAndEachFaultyPrintIsRepeated)
{
    auto pSim = MakeSim("faults=cut:1,reprints=2,delay=100,pause=10,start=0");
    while (!pSim->IsFinished() && pSim->GetTime() < 100000000)
        pSim->In(STATUS_379);
    EXPECT_TRUE(pSim->IsFinished());
    EXPECT_EQ(pSim->GetPrintCount(), 3);
    EXPECT_EQ(pSim->GetCutCount(), 3);
    EXPECT_EQ(pSim->GetPacketCount(), 0);
    EXPECT_LT(pSim->GetByteCount(), 3 * 10);
}

TEST(SimConsole, FlippedBitsArriveInvertedWhileTheChecksumStaysTheConsoles)
{
    std::vector<uint8_t> data(200, 0x00);
    const CPacket packet = MakePacket(PRINTER_CMD_DATA, 0, data);
    Printer p(MakeSim("faults=flip:0.2,seed=3,reprints=0", {packet}));
    int nDiffering = 0;
    for (size_t n = 0; n < packet.size(); ++n) {
        const uint8_t b = p.modul->GetSetByteExtern(n + 2 == packet.size() ? 0x81 : 0, 30000);
        const uint8_t nDiff = b ^ packet[n];
        EXPECT_TRUE(nDiff == 0 || (nDiff & (nDiff - 1)) == 0) << "more than one bit flipped in byte " << n;
        nDiffering += nDiff != 0;
    }
    EXPECT_EQ(nDiffering, p.pSim->GetFlipCount());
    EXPECT_GT(nDiffering, 10);
}

TEST(SimConsole, AStallThatSwallowsTwoBitsMarksThisByteAndCutsTheNext)
{
    // half 30, gap 120: the receiver learns a high threshold near 35 and a low one near 39.
    std::vector<uint8_t> data(40);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(0x5B + i * 17);
    const CPacket packet = MakePacket(PRINTER_CMD_DATA, 0, data);
    Printer p(MakeSim("half=30,gap=120,reprints=0", {packet}));
    size_t n = 0;
    for (; n < 20; ++n)
        ASSERT_EQ(p.modul->GetSetByteExtern(0, 30000), packet[n]);
    ASSERT_GT(p.modul->GetHighThreshold(), 0);

    // The last exchange returned one read after the final rising edge; byte n starts a gap
    // later. Stall in the middle of bit 2's low phase for two whole bit periods.
    const uint64_t nEdge = p.pSim->GetTime() - 1;
    p.pSim->ScheduleStall(nEdge + 120 + 2 * 60 + 15, 2 * 60);
    const uint8_t a = packet[n];
    const uint8_t b = packet[n + 1];

    // Bits 2 and 3 are lost; the gap shows up before our bit 6, which is then the next byte's bit 0.
    const uint8_t nFirst = p.modul->GetSetByteExtern(0, 30000);
    EXPECT_EQ(nFirst, static_cast<uint8_t>((a & 0xC0) | ((a & 0x0F) << 2) | (b >> 6)));
    EXPECT_EQ(p.modul->GetLastMark(), 70);
    EXPECT_EQ(p.modul->GetModulStatus() & (MODUL_SYNC_ERROR | MODUL_TIMEOUT), 0u);

    // The next exchange meets the gap again at bit 6: cut there, six bits received.
    const uint8_t nSecond = p.modul->GetSetByteExtern(0, 30000);
    EXPECT_EQ(nSecond, b & 0x3F);
    EXPECT_EQ(p.modul->GetLastMark(), 134);
    EXPECT_EQ(p.modul->GetModulStatus() & MODUL_SYNC_ERROR, MODUL_SYNC_ERROR);

    // Cut in the gap, the receiver is back in step with the following byte.
    EXPECT_EQ(p.modul->GetSetByteExtern(0, 30000), packet[n + 2]);
    EXPECT_EQ(p.modul->GetLastMark(), 0);
    EXPECT_EQ(p.modul->GetSetByteExtern(0, 30000), packet[n + 3]);
}

TEST(SimConsole, RandomStallsGiveMarksAndSynchronisationErrorsOnlyAsTheRulesAllow)
{
    std::vector<uint8_t> data(640);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 13 + (i >> 3));
    const CPacket packet = MakePacket(PRINTER_CMD_DATA, 0, data);
    std::vector<CPacket> packets(6, packet);
    Printer p(MakeSim("faults=stall:0.03,seed=11,reprints=0", packets));
    int nMarked = 0;
    int nSync = 0;
    int nPrevious = 0;
    for (int n = 0; n < 6 * 650; ++n) {
        p.modul->GetSetByteExtern(0, 30000);
        const int nMark = p.modul->GetLastMark();
        if (nMark >= 129) {
            ++nSync;
            // Only right after a marked exchange, and flagged.
            EXPECT_TRUE(nPrevious >= 65 && nPrevious <= 71) << "exchange " << n << " after mark " << nPrevious;
            EXPECT_EQ(p.modul->GetModulStatus() & MODUL_SYNC_ERROR, MODUL_SYNC_ERROR);
            EXPECT_LE(nMark, 135);
        } else if (nMark != 0) {
            ++nMarked;
            EXPECT_GE(nMark, 65);
            EXPECT_LE(nMark, 71);
        }
        nPrevious = nMark;
    }
    EXPECT_GT(p.pSim->GetStallCount(), 20);
    EXPECT_GT(nMarked, 5);
    EXPECT_GT(nSync, 5);
}

} // namespace

namespace {

TEST(SimConsole, ARecordedSessionIsSentAsRecorded)
{
    const std::string strFile = std::string(QUILLOMAT_CAPTURES_DIR) + "/pokemon_tcg_compressed.txt";
    if (!std::filesystem::exists(strFile))
        GTEST_SKIP() << "recorded sessions not found: " << strFile;
    auto pSim = MakeSim("replay=" + strFile + ",reprints=0");
    ASSERT_NE(pSim, nullptr);
    ASSERT_EQ(pSim->GetPackets().size(), 255u);
    EXPECT_EQ(pSim->GetTileStream().size(), 13u * 640);
    Printer p(pSim);
    p.PlayPackets(pSim->GetPackets());
    EXPECT_EQ(pSim->GetPacketCount(), 255);
    EXPECT_TRUE(pSim->IsFinished());
}

} // namespace

namespace {

// The console's time runs on while the program does not poll: by default it waits for a
// program that has begun its ticks, then prints whether anyone listens or not.
TEST(SimConsole, TimeRunsOnWhileTheProgramDoesNotPoll)
{
    CSimOptions options;
    std::string strError;
    ASSERT_TRUE(ParseSimOptions("reprints=0", options, strError)) << strError;
    auto pSim = CreateSimConsole(options, strError);
    ASSERT_NE(pSim, nullptr) << strError;
    for (int n = 0; n < 100000; ++n)
        pSim->In(STATUS_379);
    EXPECT_EQ(pSim->GetPrintCount(), 0);  // nobody has opened a dialog yet
    pSim->Elapse(20);
    EXPECT_EQ(pSim->GetPrintCount(), 0);  // the user presses print once it listens
    for (int n = 0; n < 1001; ++n)
        pSim->In(STATUS_379);
    EXPECT_EQ(pSim->GetPrintCount(), 1);
    EXPECT_EQ(pSim->ReadsPerMillisecond(), 491);
    const uint64_t nBefore = pSim->GetTime();
    pSim->Elapse(100);  // no one answers: the init packet's acknowledgement is missing
    EXPECT_EQ(pSim->GetTime(), nBefore + 100 * 491);
    EXPECT_EQ(pSim->GetGiveUpCount(), 1);
    EXPECT_TRUE(pSim->IsFinished());
}

// The shape of a simulated session: two pictures, one print each, with their own palette and
// compression, the status polls after the last print, and a closing BREAK packet.
TEST(SimConsole, SeveralPicturesOnePrintEach)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("quillomat-sim-pictures-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const auto& [pName, nHeight] : {std::pair{"a.bmp", 16}, std::pair{"b.bmp", 8}}) {
        CDib dib;
        ASSERT_TRUE(dib.Create(160, nHeight));
        ASSERT_TRUE(dib.WriteFile(dir / pName).Ok());
    }
    CSimOptions options;
    std::string strError;
    ASSERT_TRUE(ParseSimOptions("picture=" + (dir / "a.bmp").string() + "+" + (dir / "b.bmp").string() +
                                    ",palette=D2+47,compress=1+0,polls=7,break",
                                options, strError))
        << strError;
    auto pSim = CreateSimConsole(options, strError);
    std::filesystem::remove_all(dir);
    ASSERT_NE(pSim, nullptr) << strError;
    EXPECT_EQ(pSim->GetTileStream().size(), 3u * 320);

    std::string strShape;  // one letter a packet
    std::vector<uint8_t> palettes;
    for (const CPacket& packet : pSim->GetPackets()) {
        const uint16_t nLength = static_cast<uint16_t>(packet[4] | packet[5] << 8);
        switch (packet[2]) {
        case PRINTER_CMD_INIT: strShape += 'I'; break;
        case PRINTER_CMD_STATUS: strShape += 's'; break;
        case PRINTER_CMD_DATA: strShape += nLength == 0 ? 'e' : packet[3] ? 'Z' : 'D'; break;
        case PRINTER_CMD_PRINT: strShape += 'P'; palettes.push_back(packet[8]); break;
        case PRINTER_CMD_BREAK: strShape += 'B'; break;
        default: strShape += '?';
        }
    }
    EXPECT_EQ(strShape, "IsZseP" + std::string(20, 's') + "IsDseP" + std::string(7, 's') + "B");
    EXPECT_EQ(palettes, (std::vector<uint8_t>{0xD2, 0x47}));
}

// A replay is sent open-loop unless told to listen for the printer's 0x81 like a console.
TEST(SimConsole, ReplayKeepsTheAcknowledgementCheckWhenAsked)
{
    const std::vector<CPacket> packets = {MakePacket(PRINTER_CMD_INIT, 0, {}), MakePacket(PRINTER_CMD_STATUS, 0, {})};
    for (const bool bAck : {false, true}) {
        auto pSim = MakeSim(std::string("replay=x.txt,reprints=0") + (bAck ? ",ack" : ""), packets);
        for (int n = 0; n < 100000 && !pSim->IsFinished(); ++n)
            pSim->In(STATUS_379);  // nobody answers
        EXPECT_TRUE(pSim->IsFinished());
        EXPECT_EQ(pSim->GetGiveUpCount(), bAck ? 1 : 0);
        EXPECT_EQ(pSim->GetPacketCount(), bAck ? 0 : 2);
    }
}

} // namespace
