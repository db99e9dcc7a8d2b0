// Whole receptions through the simulated console and link module.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <fstream>

#include "console/CSimConsole.h"
#include "console/ConsolePicture.h"
#include "console/PrintSession.h"
#include "console/SimOptions.h"
#include "reception/ReceptionState.h"
#include "reception/SessionDriver.h"
#include "support/TestFiles.h"

namespace {

std::shared_ptr<CSimConsole> MakeConsole(const std::string& strOptions)
{
    CSimOptions options;
    std::string strError;
    EXPECT_TRUE(ParseSimOptions(strOptions, options, strError)) << strError;
    std::shared_ptr<CSimConsole> pConsole = CreateSimConsole(options, strError);
    EXPECT_TRUE(pConsole) << strError;
    return pConsole;
}

std::vector<uint8_t> Bytes(const CReceivedPicture& picture, size_t nCount)
{
    return std::vector<uint8_t>(picture.m_TileData.begin(), picture.m_TileData.begin() + nCount);
}

std::string HexByte(uint8_t b)
{
    char szText[4];
    std::snprintf(szText, sizeof(szText), "%02X", b);
    return szText;
}

int Count(const std::vector<std::string>& texts, const std::string& strText)
{
    return static_cast<int>(std::count(texts.begin(), texts.end(), strText));
}

class ReceiveSimTest : public ::testing::Test {
protected:
    CScratchFolder m_Dir{"quillomat-sim"};
};

TEST_F(ReceiveSimTest, PlainTestCardArrivesExactly)
{
    auto pConsole = MakeConsole("");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log");
    EXPECT_TRUE(outcome.bEndedByItself);
    EXPECT_TRUE(outcome.bComplete);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(outcome.nAttemptsWithData, 1);
    ASSERT_EQ(pConsole->GetTileStream().size(), 5760u);
    ASSERT_EQ(outcome.picture.m_nTileBytes, 5760);
    EXPECT_EQ(Bytes(outcome.picture, 5760), pConsole->GetTileStream());
    EXPECT_EQ(Count(outcome.texts, RECEIVE_TEXT_CONNECT), 1);
    EXPECT_EQ(Count(outcome.texts, RECEIVE_TEXT_CHECKING), 1);
    EXPECT_TRUE(std::filesystem::exists(m_Dir / "Tarvo.log"));
}

TEST_F(ReceiveSimTest, CompressedTestCardGainsTheGreyBand)
{
    auto pConsole = MakeConsole("compress");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log");
    EXPECT_TRUE(outcome.bComplete);
    ASSERT_EQ(outcome.picture.m_nTileBytes, 6080);
    EXPECT_EQ(Bytes(outcome.picture, 5760), pConsole->GetTileStream());
    for (size_t i = 5760; i < 6080; i += 2) {
        EXPECT_EQ(outcome.picture.m_TileData[i], 0x00) << i;
        EXPECT_EQ(outcome.picture.m_TileData[i + 1], 0xFF) << i;
    }
}

struct CFaultOutcome {
    bool bComplete = false;          // the session ended by itself
    bool bCalledGood = false;        // ... and would let quillomat-cli exit 0
    bool bExact = false;             // the picture's bands are the console's
    bool bChecksumBlindOnly = true;  // every differing block has the console's 16-bit sum
    bool bRepaired = false;          // a good, exact block holds a byte cut on lost sync
    int nPrints = 0;
    int nMessages = 0;
    int nAttemptsWithData = 0;
    int32_t nBytes = 0;
};

// A whole reception with seeded faults; the user prints again after a print he saw go wrong
// and whenever the session's messages ask him to.
CFaultOutcome RunFaulted(const std::string& strOptions, bool bStrict, const std::filesystem::path& logPath)
{
    CFaultOutcome out;
    auto pConsole = MakeConsole(strOptions);
    CFakeScreen screen;
    CReceiveSession session(screen, pConsole, logPath);
    session.SetStrict(bStrict);
    session.OnInitDialog();
    for (int i = 0; i < 100 && !session.HasEnded() && !(i > 8 && pConsole->IsFinished()); ++i)
        session.OnTimer(1);
    if (!session.HasEnded())
        session.OnCancel();
    session.OnDestroy();

    const std::vector<uint8_t>& tiles = pConsole->GetTileStream();
    const CReceivedPicture picture = session.GetReceivedPicture();
    const CReceptionState& state = session.GetState();
    out.bComplete = session.IsPictureComplete();
    out.bCalledGood = out.bComplete && session.GetTableVerdict().IsExact();
    out.nPrints = pConsole->GetPrintCount();
    out.nMessages = static_cast<int>(screen.m_Messages.size());
    out.nAttemptsWithData = session.GetReceptionCount();
    out.nBytes = picture.m_nTileBytes;
    out.bExact = picture.m_nTileBytes / 320 == 18 && Bytes(picture, 5760) == tiles;
    for (int j = 0; j < 9 && out.nBytes / 320 == 18; ++j) {
        uint32_t nOurs = 0, nTheirs = 0;
        bool bSame = true, bCut = false;
        for (int k = 0; k < 640; ++k) {
            nOurs += picture.m_TileData[j * 640 + k];
            nTheirs += tiles[j * 640 + k];
            bSame = bSame && picture.m_TileData[j * 640 + k] == tiles[j * 640 + k];
            bCut = bCut || (state.m_Blocks[j].m_Entries[k] >> 8) > 0x80;
        }
        if (!bSame && (nOurs & 0xFFFF) != (nTheirs & 0xFFFF))
            out.bChecksumBlindOnly = false;
        if (bSame && bCut && state.m_Blocks[j].IsGood())
            out.bRepaired = true;
    }
    return out;
}

// Receiver stalls on the line: the rebuild passes and the re-prints have to bring the picture
// home. The console prints again 30 M reads after a faulty print, beyond the longest an
// attempt can take to give up (a misread header of 1999 data bytes waits 2003 x 5000 reads,
// then 19 x 20 searches of 30000).
constexpr const char* STALL_OPTIONS = "faults=stall:0.001,reprints=6,delay=30000000,seed=";
constexpr int STALL_SEEDS = 16;

TEST_F(ReceiveSimTest, StallsAreRepairedOrReprintedUntilExact)
{
    int nExact = 0, nReprinted = 0, nRepaired = 0;
    for (int nSeed = 1; nSeed <= STALL_SEEDS; ++nSeed) {
        SCOPED_TRACE("seed " + std::to_string(nSeed));
        const CFaultOutcome out = RunFaulted(STALL_OPTIONS + std::to_string(nSeed), false, m_Dir / "Tarvo.log");
        // Never a short picture taken as whole: a print the console gave up on for a missed
        // acknowledgement has no print packet after its data.
        if (out.bComplete) {
            EXPECT_EQ(out.nBytes, 5760);
            // Each message was answered by another print that the session read.
            EXPECT_EQ(out.nMessages, out.nAttemptsWithData - 1);
        }
        EXPECT_FALSE(out.bCalledGood && !out.bExact);
        // What remains wrong is what a 16-bit sum cannot see: bits moved between two
        // neighbouring bytes at the same place values.
        EXPECT_TRUE(out.bChecksumBlindOnly);
        nExact += out.bExact;
        nReprinted += out.bExact && out.nAttemptsWithData > 1;
        nRepaired += out.bExact && out.bRepaired;
    }
    EXPECT_GE(nExact, STALL_SEEDS / 2 + 2);
    EXPECT_GE(nReprinted, 3);
    EXPECT_GE(nRepaired, 1);
}

// Faults of every kind, a seed or two each, both modes, the user printing again whenever asked:
// no reception takes a wrong or short picture for good, and at the rates strict mode promises
// it brings the exact picture within eight re-prints. Two flipped bits that cancel keep a
// block's sum, and one print holds no other witness: on a line that shows such damage, normal
// mode does not call a block good on its sum alone.
struct CFaultRow {
    const char* pFaults;
    int nFirstSeed;
    int nSeeds;
    bool bStrictExact;  // strict mode must bring the exact picture
};

TEST_F(ReceiveSimTest, NoWrongPictureIsCalledGood)
{
    const CFaultRow ROWS[] = {
        {"stall:0.0015", 1, 2, true},
        {"flip:0.002", 1, 1, true},
        // Two flips cancel in a block that arrives once, after other blocks failed their sums.
        {"flip:0.002", 11, 1, true},
        // A flipped length makes the empty packet closing one print's data a block that never
        // comes good: the whole prints after it still end the reception.
        {"flip:0.002", 29, 1, true},
        {"cut:0.03", 1, 2, true},
        {"stall:0.003", 1, 1, false},
        {"stall:0.0015+flip:0.002+cut:0.03", 1, 1, false},
    };
    for (const CFaultRow& row : ROWS) {
        for (int nSeed = row.nFirstSeed; nSeed < row.nFirstSeed + row.nSeeds; ++nSeed) {
            const std::string strOptions =
                std::string("faults=") + row.pFaults + ",reprints=8,delay=30000000,seed=" + std::to_string(nSeed);
            for (const bool bStrict : {false, true}) {
                SCOPED_TRACE(strOptions + (bStrict ? " strict" : " normal"));
                const CFaultOutcome out = RunFaulted(strOptions, bStrict, m_Dir / "Tarvo.log");
                EXPECT_FALSE(out.bCalledGood && !out.bExact);
                if (bStrict && row.bStrictExact) {
                    EXPECT_TRUE(out.bCalledGood);
                    EXPECT_TRUE(out.bExact);
                }
            }
        }
    }
}

// The console's time runs on while the dialog idles: a console started before the dialog
// listens prints to nobody and gives up at its first missing acknowledgement.
TEST_F(ReceiveSimTest, ConsoleThatPrintsBeforeTheDialogListensGivesUp)
{
    auto pConsole = MakeConsole("start=0,reprints=0");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log", 12);
    EXPECT_EQ(pConsole->GetGiveUpCount(), 1);
    EXPECT_EQ(pConsole->GetPacketCount(), 0);
    EXPECT_FALSE(outcome.bComplete);
    EXPECT_EQ(outcome.nAttemptsWithData, 0);
}

// A compressed print of 96 rows from a console that does not wait for the answers, the headers
// of all its data packets but the first damaged on the line: the print packet follows the one
// block held. The lost packets make the print not whole: it is asked for again, and the session
// stays open.
TEST_F(ReceiveSimTest, PrintWhoseDataHeadersWereLostIsIncomplete)
{
    std::string strText;
    int nData = 0;
    std::vector<uint8_t> tiles = BuildTestCard();
    tiles.resize(6 * CONSOLE_DATA_PACKET_BYTES);  // 96 rows
    for (CPacket packet : BuildPrintSession(tiles, true)) {
        if (packet[2] == PRINTER_CMD_DATA && packet.size() > 10 && ++nData > 1)
            packet[1] ^= 0x20;  // 0x33 becomes 0x13: no packet start
        for (size_t i = 0; i < packet.size(); ++i)
            strText += (i ? " " : "") + HexByte(packet[i]);
        strText += "\n";
    }
    ASSERT_EQ(nData, 6);
    const std::filesystem::path replay = m_Dir / "headers-lost.txt";
    std::ofstream(replay) << strText;

    const CSessionOutcome outcome =
        RunSession(MakeConsole("replay=" + replay.string() + ",reprints=1"), m_Dir / "Tarvo.log");
    EXPECT_FALSE(outcome.bEndedByItself);
    EXPECT_FALSE(outcome.bComplete);
    ASSERT_FALSE(outcome.messages.empty());
    EXPECT_EQ(outcome.messages[0], IncompletePrintMessage(0, 1));
    EXPECT_FALSE(outcome.series.bWhole);
    EXPECT_EQ(outcome.series.Outcome(), EReceptionOutcome::NotComplete);
}

// A print whose data is not followed by the print packet (the console gave it up, or the
// cable came off): however good its blocks, the session says so, asks for the print again,
// and stays open.
TEST_F(ReceiveSimTest, PrintWithoutItsPrintPacketIsIncomplete)
{
    const std::vector<CPacket> whole = BuildPrintSession(BuildTestCard(), false);
    std::string strText;
    for (const CPacket& packet : whole) {
        if (packet[2] == PRINTER_CMD_PRINT)
            break;
        for (size_t i = 0; i < packet.size(); ++i)
            strText += (i ? " " : "") + HexByte(packet[i]);
        strText += "\n";
    }
    const std::filesystem::path replay = m_Dir / "no-print.txt";
    std::ofstream(replay) << strText;

    auto pConsole = MakeConsole("replay=" + replay.string() + ",reprints=1");
    CFakeScreen screen;
    CReceiveSession session(screen, pConsole, m_Dir / "Tarvo.log");
    session.OnInitDialog();
    for (int nTicks = 0; session.GetReceptionCount() < 2 && nTicks < 20; ++nTicks)
        session.OnTimer(1);
    ASSERT_EQ(session.GetReceptionCount(), 2);  // asked, printed again, still incomplete
    ASSERT_EQ(screen.m_Messages.size(), 2u);
    EXPECT_EQ(screen.m_Messages[0], IncompletePrintMessage(0, 9));
    EXPECT_EQ(screen.m_Messages[0],
              "Das Bild ist nicht vollständig angekommen\nBitte das Bild noch einmal ausdrucken\n"
              "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet");
    EXPECT_FALSE(session.HasEnded());
    EXPECT_EQ(screen.m_strText, RECEIVE_TEXT_CHECKING);
    const CReceptionVerdict summary = session.GetTableVerdict();
    EXPECT_EQ(summary.nBlocks, 9);
    EXPECT_EQ(summary.nAsReceived, 9);
    EXPECT_FALSE(summary.bWhole);
    EXPECT_FALSE(summary.IsExact());

    session.OnCancel();
    session.OnDestroy();
    EXPECT_FALSE(session.IsPictureComplete());
    EXPECT_EQ(session.GetReceivedPicture().m_nTileBytes, 5760);
}

// Flipped bits leave no mark to repair from; without a re-print the blocks stay bad. The
// session reports them, asks for another print, keeps what it holds through an attempt
// without data, and hands it over on "Abbrechen".
TEST_F(ReceiveSimTest, BlocksThatStayBadAreReportedAndHandedOver)
{
    auto pConsole = MakeConsole("faults=flip:0.01,reprints=0,seed=3");
    CFakeScreen screen;
    CReceiveSession session(screen, pConsole, m_Dir / "Tarvo.log");
    session.OnInitDialog();
    for (int nTicks = 0; session.GetReceptionCount() == 0 && nTicks < 20; ++nTicks)
        session.OnTimer(1);
    ASSERT_EQ(session.GetReceptionCount(), 1);
    ASSERT_EQ(screen.m_Messages.size(), 1u);
    EXPECT_NE(screen.m_Messages[0].find(" Fehler in 9 gelesenen Datenblocks\n"), std::string::npos);
    EXPECT_EQ(session.GetByteCount(), 5760);
    EXPECT_FALSE(session.HasEnded());
    EXPECT_TRUE(session.IsRunEnabled());

    session.OnTimer(1);  // the console is silent now
    EXPECT_EQ(screen.m_strText, RECEIVE_TEXT_PRINT);
    EXPECT_EQ(session.GetReceptionCount(), 1);
    EXPECT_EQ(session.GetByteCount(), 0);
    EXPECT_EQ(screen.m_Messages.size(), 1u);

    session.OnCancel();
    session.OnDestroy();
    EXPECT_EQ(screen.m_nEndResult, 2);
    EXPECT_FALSE(session.IsPictureComplete());
    const CReceivedPicture picture = session.GetReceivedPicture();
    EXPECT_EQ(picture.m_nTileBytes, 5760);
    EXPECT_NE(Bytes(picture, 5760), pConsole->GetTileStream());
}

}  // namespace
