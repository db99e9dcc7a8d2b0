// Whole receptions through the simulated console and link module.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/CSimConsole.h"
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

// Receiver stalls on the line: the rebuild passes and the re-prints have to bring the picture
// home. The console prints again 30 M reads after a faulty print, beyond the longest an
// attempt can take to give up (a misread header of 1999 data bytes waits 2003 x 5000 reads,
// then 19 x 20 searches of 30000).
constexpr const char* STALL_OPTIONS = "faults=stall:0.001,reprints=6,delay=30000000,seed=";
constexpr int STALL_SEEDS = 16;

struct CStallOutcome {
    bool bComplete = false;
    bool bExact = false;
    bool bChecksumBlindOnly = true;  // every differing block has the console's 16-bit sum
    bool bRepaired = false;          // a good, exact block holds a byte cut on lost sync
    int nPrints = 0;
    int nGiveUps = 0;
    int nMessages = 0;
    int nAttemptsWithData = 0;
    int32_t nBytes = 0;
};

CStallOutcome RunStalled(int nSeed, const std::filesystem::path& logPath)
{
    CStallOutcome out;
    auto pConsole = MakeConsole(STALL_OPTIONS + std::to_string(nSeed));
    CFakeScreen screen;
    CReceiveSession session(screen, pConsole, logPath);
    session.OnInitDialog();
    for (int i = 0; i < 100 && !session.HasEnded(); ++i)
        session.OnTimer(1);
    if (!session.HasEnded())
        session.OnCancel();
    session.OnDestroy();

    const std::vector<uint8_t>& tiles = pConsole->GetTileStream();
    const CReceivedPicture picture = session.GetReceivedPicture();
    const CReceptionState& state = session.GetState();
    out.bComplete = session.IsPictureComplete();
    out.nPrints = pConsole->GetPrintCount();
    out.nGiveUps = pConsole->GetGiveUpCount();
    out.nMessages = static_cast<int>(screen.m_Messages.size());
    out.nAttemptsWithData = session.GetReceptionCount();
    out.nBytes = picture.m_nTileBytes;
    out.bExact = picture.m_nTileBytes == 5760 && Bytes(picture, 5760) == tiles;
    for (int j = 0; j < 9 && out.nBytes == 5760; ++j) {
        uint32_t nOurs = 0, nTheirs = 0;
        bool bSame = true, bCut = false;
        for (int k = 0; k < 640; ++k) {
            nOurs += picture.m_TileData[j * 640 + k];
            nTheirs += tiles[j * 640 + k];
            bSame = bSame && picture.m_TileData[j * 640 + k] == tiles[j * 640 + k];
            bCut = bCut || (state.m_BlockData[j][k] >> 8) > 0x80;
        }
        if (!bSame && (nOurs & 0xFFFF) != (nTheirs & 0xFFFF))
            out.bChecksumBlindOnly = false;
        if (bSame && bCut && state.m_BlockGood[j])
            out.bRepaired = true;
    }
    return out;
}

TEST_F(ReceiveSimTest, StallsAreRepairedOrReprintedUntilExact)
{
    int nExact = 0, nReprinted = 0, nRepaired = 0;
    for (int nSeed = 1; nSeed <= STALL_SEEDS; ++nSeed) {
        SCOPED_TRACE("seed " + std::to_string(nSeed));
        const CStallOutcome out = RunStalled(nSeed, m_Dir / "Tarvo.log");
        EXPECT_TRUE(out.bComplete);
        // Each bad-block message was answered by another print that the session read.
        EXPECT_EQ(out.nMessages, out.nAttemptsWithData - 1);
        // What remains wrong is what a 16-bit sum cannot see: bits moved between two
        // neighbouring bytes at the same place values.
        EXPECT_TRUE(out.bChecksumBlindOnly);
        // A console that gives up a print for a missing acknowledgement leaves fewer blocks;
        // when all of those are good the session takes them as the picture.
        if (out.nBytes != 5760) {
            EXPECT_GT(out.nGiveUps, 0);
        }
        nExact += out.bExact;
        nReprinted += out.bExact && out.nAttemptsWithData > 1;
        nRepaired += out.bExact && out.bRepaired;
    }
    EXPECT_GE(nExact, STALL_SEEDS / 2 + 2);
    EXPECT_GE(nReprinted, 3);
    EXPECT_GE(nRepaired, 1);
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
