// Whole receptions through the simulated console and link module.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/CSimConsole.h"
#include "console/SimOptions.h"
#include "reception/SessionDriver.h"

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
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_Dir, ec);
    }
    std::filesystem::path m_Dir = ScratchDir("sim");
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

TEST_F(ReceiveSimTest, VersionFourModuleWorksAlike)
{
    auto pConsole = MakeConsole("version=4,base=0x3BC");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log");
    EXPECT_TRUE(outcome.bComplete);
    EXPECT_EQ(Bytes(outcome.picture, 5760), pConsole->GetTileStream());
}

class StallSeedTest : public ReceiveSimTest, public ::testing::WithParamInterface<int> {};

TEST_P(StallSeedTest, StallsAreRepairedOrReprintedUntilExact)
{
    auto pConsole = MakeConsole("faults=stall:0.004,reprints=6,seed=" + std::to_string(GetParam()));
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log", 200);
    EXPECT_GT(pConsole->GetStallCount(), 0);
    EXPECT_TRUE(outcome.bComplete) << outcome.messages.size() << " bad-block messages";
    ASSERT_EQ(outcome.picture.m_nTileBytes, 5760);
    EXPECT_EQ(Bytes(outcome.picture, 5760), pConsole->GetTileStream());
    // Every bad-block message was followed by another print.
    EXPECT_EQ(static_cast<int>(outcome.messages.size()), outcome.nAttemptsWithData - 1);
}

INSTANTIATE_TEST_SUITE_P(Seeds, StallSeedTest, ::testing::Range(1, 9));

TEST_F(ReceiveSimTest, BlocksThatStayBadAreReportedAndHandedOver)
{
    // Flipped bits leave no mark to repair from; without a re-print the blocks stay bad.
    auto pConsole = MakeConsole("faults=flip:0.01,reprints=0,seed=3");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log", 20, true);
    EXPECT_FALSE(outcome.bEndedByItself);
    EXPECT_FALSE(outcome.bComplete);
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_NE(outcome.messages[0].find(" Fehler in 9 gelesenen Datenblocks\n"), std::string::npos);
    EXPECT_EQ(Count(outcome.texts, RECEIVE_TEXT_PRINT), 1);
    EXPECT_EQ(outcome.picture.m_nTileBytes, 5760);
    EXPECT_NE(Bytes(outcome.picture, 5760), pConsole->GetTileStream());
}

TEST_F(ReceiveSimTest, AttemptWithoutDataKeepsTheCountForTheEnd)
{
    auto pConsole = MakeConsole("faults=flip:0.01,reprints=0,seed=3");
    CFakeScreen screen;
    CReceiveSession session(screen, pConsole, m_Dir / "Tarvo.log");
    session.OnInitDialog();
    int nTicks = 0;
    while (session.GetReceptionCount() == 0 && nTicks++ < 20)
        session.OnTimer(1);
    ASSERT_EQ(session.GetReceptionCount(), 1);
    EXPECT_EQ(session.GetByteCount(), 5760);
    session.OnTimer(1);  // the console is silent now
    EXPECT_EQ(session.GetReceptionCount(), 1);
    EXPECT_EQ(session.GetByteCount(), 0);
    session.OnOK();
    EXPECT_EQ(session.GetReceivedPicture().m_nTileBytes, 5760);
    EXPECT_FALSE(session.IsPictureComplete());
}

TEST_F(ReceiveSimTest, ReadLineFaultEndsWithAnEmptyPicture)
{
    auto pConsole = MakeConsole("version=2");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log");
    EXPECT_TRUE(outcome.bEndedByItself);
    EXPECT_FALSE(outcome.bComplete);
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_EQ(outcome.messages[0], RECEIVE_TEXT_READ_LINE);
    EXPECT_EQ(outcome.picture.m_nTileBytes, 0);
}

TEST_F(ReceiveSimTest, NoModuleShowsItsTextAndEndsEmpty)
{
    auto pConsole = MakeConsole("version=0");
    const CSessionOutcome outcome = RunSession(pConsole, m_Dir / "Tarvo.log", 8);
    EXPECT_FALSE(outcome.bEndedByItself);
    EXPECT_EQ(Count(outcome.texts, RECEIVE_TEXT_NO_MODULE), 1);
    EXPECT_EQ(outcome.picture.m_nTileBytes, 0);
}

}  // namespace
