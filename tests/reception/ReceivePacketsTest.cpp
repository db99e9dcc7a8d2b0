// The packet loop of one attempt: which blocks are kept, and when an attempt ends.
#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "reception/FakePrinterLink.h"
#include "reception/PacketEngine.h"
#include "reception/ReceptionState.h"

namespace {

std::vector<uint8_t> Pattern(size_t nLength, uint8_t nSeed)
{
    std::vector<uint8_t> data(nLength);
    for (size_t i = 0; i < nLength; ++i)
        data[i] = static_cast<uint8_t>(nSeed + i * 7);
    return data;
}

// Exchanges of the init packet that opens a print.
constexpr size_t INIT_BYTES = 10;

class ReceivePacketsTest : public ::testing::Test {
protected:
    std::unique_ptr<CReceptionState> m_pState = std::make_unique<CReceptionState>();
    CFakePrinterLink m_Link;

    // A print begins; data before it would have no known place.
    void AddInit() { m_Link.Add(InitPacket()); }

    // A print session as a console sends it: init, data packets, empty data, print, status.
    void AddPrint(const std::vector<std::vector<uint8_t>>& blocks, int32_t nBadBlock = -1)
    {
        m_Link.Add(InitPacket());
        for (size_t i = 0; i < blocks.size(); ++i) {
            m_Link.Add(DataPacket(blocks[i], static_cast<int32_t>(i) == nBadBlock ? 1 : 0));
            m_Link.Add(StatusPacket());
        }
        m_Link.Add(DataPacket({}));
        m_Link.Add(PrintPacket());
        m_Link.Add(StatusPacket());
    }
    std::vector<uint8_t> BlockBytes(int nBlock) const
    {
        std::vector<uint8_t> bytes;
        for (int32_t k = 0; k < m_pState->m_Blocks[nBlock].m_nLength; ++k)
            bytes.push_back(static_cast<uint8_t>(m_pState->m_Blocks[nBlock].m_Entries[k]));
        return bytes;
    }
};

TEST_F(ReceivePacketsTest, OnePlainBlockIsKeptAndAnswered)
{
    const std::vector<uint8_t> data = Pattern(640, 3);
    AddInit();
    m_Link.Add(DataPacket(data));

    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_FALSE(m_pState->m_bPrintAfterData);
    EXPECT_EQ(m_pState->m_nBlockCount, 1);
    EXPECT_EQ(m_pState->m_nMaxBlockCount, 1);
    EXPECT_EQ(m_pState->m_nPlainCount, 1);
    EXPECT_EQ(m_pState->m_nPackedCount, 0);
    EXPECT_EQ(m_pState->m_Blocks[0].m_nLength, 640);
    EXPECT_TRUE(m_pState->m_Blocks[0].IsGood());
    EXPECT_EQ(BlockBytes(0), data);
    EXPECT_EQ(m_Link.m_nResets, 1);
    // Header at the search limit, the rest at the data limit; 0x81 in the first trailer.
    for (size_t i = INIT_BYTES; i < INIT_BYTES + 6; ++i)
        EXPECT_EQ(m_Link.m_PollLimits[i], SEARCH_POLL_LIMIT);
    for (size_t i = INIT_BYTES + 6; i < INIT_BYTES + 650; ++i)
        EXPECT_EQ(m_Link.m_PollLimits[i], DATA_POLL_LIMIT) << i;
    EXPECT_EQ(m_Link.m_Sent[INIT_BYTES + 648], 0x81);
    EXPECT_EQ(std::count(m_Link.m_Sent.begin(), m_Link.m_Sent.end(), 0x81), 2);  // the init, too
    // Then the console is silent: 19 searches of 20 bytes end the attempt.
    EXPECT_EQ(m_Link.Exchanges(), INIT_BYTES + 650 + 19 * 20);
}

TEST_F(ReceivePacketsTest, ChecksumComparedInSixteenBits)
{
    AddInit();
    m_Link.Add(DataPacket(std::vector<uint8_t>(640, 0xFF)));  // data sum 163200
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_TRUE(m_pState->m_Blocks[0].IsGood());
    EXPECT_EQ(m_pState->m_Blocks[0].m_nSum, static_cast<uint16_t>(640 * 0xFF));
}

TEST_F(ReceivePacketsTest, BadChecksumKeepsBlockWithExpectedSum)
{
    const std::vector<uint8_t> data = Pattern(640, 9);
    AddInit();
    m_Link.Add(DataPacket(data, 5));
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_FALSE(m_pState->m_Blocks[0].IsGood());
    const uint32_t nSum = std::accumulate(data.begin(), data.end(), 0u);
    EXPECT_EQ(m_pState->m_Blocks[0].m_nSum, static_cast<uint16_t>(nSum + 5));
    EXPECT_EQ(m_Link.m_Sent[INIT_BYTES + 648], 0x81);  // answered all the same
}

TEST_F(ReceivePacketsTest, MarksTravelWithTheDataBytes)
{
    AddInit();
    m_Link.Add(DataPacket(Pattern(16, 1)));
    m_Link.SetMark(INIT_BYTES + 6 + 3, 130);
    m_Link.SetMark(INIT_BYTES + 6 + 4, 66);
    ReceivePackets(m_Link, *m_pState);
    EXPECT_EQ(m_pState->m_Blocks[0].m_Entries[3] >> 8, 130);
    EXPECT_EQ(m_pState->m_Blocks[0].m_Entries[4] >> 8, 66);
    EXPECT_EQ(m_pState->m_Blocks[0].m_Entries[5] >> 8, 0);
    // Its sum matches, but the marks leave the judgement to the verification.
    EXPECT_FALSE(m_pState->m_Blocks[0].IsGood());
    EXPECT_EQ(m_pState->m_Blocks[0].m_nHow, BLOCK_FROM_LINE);
}

TEST_F(ReceivePacketsTest, EmptyDataPacketMakesNoBlock)
{
    m_Link.Add(DataPacket({}));
    EXPECT_FALSE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_pState->m_nBlockCount, 0);
    EXPECT_EQ(m_pState->m_nPlainCount, 0);  // no data, no vote on compression
    ASSERT_GE(m_Link.Exchanges(), 10u);
    EXPECT_EQ(m_Link.m_Sent[8], 0x81);
    EXPECT_EQ(m_Link.m_Sent[9], 0x00);
}

TEST_F(ReceivePacketsTest, FullPrintFillsNineBlocks)
{
    std::vector<std::vector<uint8_t>> blocks;
    for (int i = 0; i < 9; ++i)
        blocks.push_back(Pattern(640, static_cast<uint8_t>(i)));
    AddPrint(blocks, 4);

    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_TRUE(m_pState->m_bPrintAfterData);
    EXPECT_EQ(m_pState->m_nBlockCount, 9);
    EXPECT_EQ(m_pState->m_nPlainCount, 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(m_pState->m_Blocks[i].IsGood(), i != 4) << i;
        EXPECT_EQ(m_pState->m_Blocks[i].m_nHow, i != 4 ? BLOCK_AS_RECEIVED : BLOCK_FROM_LINE) << i;
        EXPECT_EQ(BlockBytes(i), blocks[i]) << i;
    }
}

// A print is whole only when the console's print packet follows its data; a print given up
// or cut short leaves data without one. Data is taken from the init that begins a print on: data
// before it is the rest of a print the attempt did not hear begin.
struct CPrintEndCase {
    const char* pName;
    std::vector<std::vector<uint8_t>> packets;
    bool bPrintAfterData;
    int32_t nBlocks;  // blocks taken
    bool bLost;       // the print cannot be whole: a packet is missing or its place unknown
    // A packet heard whole did not match its sum, and the line marked none of its bytes: a block
    // may hide inverted bits that keep its sum, too.
    bool bUnmarkedDamage = false;
    int32_t nMarkAt = -1;  // an exchange the line marks
};

class PrintAfterDataTest : public ::testing::TestWithParam<CPrintEndCase> {};

TEST_P(PrintAfterDataTest, OnlyAPrintPacketAfterTheDataCompletesThePrint)
{
    CFakePrinterLink link;
    for (const std::vector<uint8_t>& packet : GetParam().packets)
        link.Add(packet);
    if (GetParam().nMarkAt >= 0)
        link.SetMark(static_cast<size_t>(GetParam().nMarkAt), 130);
    auto pState = std::make_unique<CReceptionState>();
    pState->m_bPrintAfterData = true;  // left from an earlier attempt
    ReceivePackets(link, *pState);
    EXPECT_EQ(pState->m_bPrintAfterData, GetParam().bPrintAfterData);
    EXPECT_EQ(pState->m_nBlockCount, GetParam().nBlocks);
    EXPECT_EQ(pState->m_Print.m_bLost, GetParam().bLost);
    EXPECT_EQ(pState->m_bUnmarkedDamage, GetParam().bUnmarkedDamage);
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, PrintAfterDataTest,
    ::testing::Values(
        CPrintEndCase{"Whole", {InitPacket(), DataPacket(Pattern(640, 1)), DataPacket({}), PrintPacket()}, true, 1,
                      false},
        CPrintEndCase{"CutAfterTheData", {InitPacket(), DataPacket(Pattern(640, 1)), DataPacket({})}, false, 1, false},
        CPrintEndCase{"PrintBeforeTheData", {InitPacket(), PrintPacket(), DataPacket(Pattern(640, 1)), StatusPacket()},
                      false, 1, false},
        // A second print in the same attempt that breaks off takes the completion back.
        CPrintEndCase{"SecondPrintCut",
                      {InitPacket(), DataPacket(Pattern(640, 1)), PrintPacket(), DataPacket(Pattern(640, 2)),
                       StatusPacket()},
                      false, 2, false},
        CPrintEndCase{"TwoWholePrints",
                      {InitPacket(), DataPacket(Pattern(640, 1)), PrintPacket(), DataPacket(Pattern(640, 2)),
                       PrintPacket()},
                      true, 2, false},
        CPrintEndCase{"NoDataAtAll", {InitPacket(), DataPacket({}), PrintPacket()}, false, 0, false},
        // The attempt began in the middle of a print (an earlier one ended on a stall).
        CPrintEndCase{"DataBeforeAnyInit", {DataPacket(Pattern(640, 1)), DataPacket({}), PrintPacket()}, true, 0,
                      true},
        // What came before a print's init, lost or not, belongs to an earlier print.
        CPrintEndCase{"InitAfterTheRestOfAnEarlierPrint",
                      {DataPacket(Pattern(640, 1)), PrintPacket(), InitPacket(), DataPacket(Pattern(640, 2)),
                       DataPacket({}), PrintPacket()},
                      true, 1, false},
        CPrintEndCase{"LostPacketBeforeTheInit",
                      {{0x88, 0x13, 0x04, 0x00}, InitPacket(), DataPacket(Pattern(640, 2)), PrintPacket()}, true, 1,
                      false},
        CPrintEndCase{"LostPacketAfterTheInit",
                      {InitPacket(), {0x88, 0x13, 0x04, 0x00}, DataPacket(Pattern(640, 2)), PrintPacket()}, true, 0,
                      true},
        // An init after blocks were taken does not start the table again.
        CPrintEndCase{"InitBetweenTakenBlocks",
                      {InitPacket(), DataPacket(Pattern(640, 1)), InitPacket(), DataPacket(Pattern(640, 2)),
                       PrintPacket()},
                      true, 2, false},
        CPrintEndCase{"DataWithAWrongSum", {InitPacket(), DataPacket(Pattern(640, 1), 3), PrintPacket()}, true, 1,
                      false, true},
        CPrintEndCase{"EmptyDataWithAWrongSum",
                      {InitPacket(), DataPacket(Pattern(640, 1)), DataPacket({}, 16), PrintPacket()}, true, 1, false,
                      true},
        CPrintEndCase{"StatusWithAWrongSum",
                      {InitPacket(), DataPacket(Pattern(640, 1)), MakePacket(0x0F, 0x00, {}, 8), PrintPacket()},
                      true, 1, false, true},
        CPrintEndCase{"PrintWithAWrongSum", {InitPacket(), DataPacket(Pattern(640, 1)), MakePacket(0x02, 0x00, {1, 0x13, 0xE4, 0x40}, 1)},
                      true, 1, true, true},
        // The line marked the status packet's checksum: the damage is accounted for.
        CPrintEndCase{"MarkedStatusWithAWrongSum",
                      {InitPacket(), DataPacket(Pattern(640, 1)), MakePacket(0x0F, 0x00, {}, 8), PrintPacket()},
                      true, 1, false, false, 10 + 650 + 6}),
    [](const ::testing::TestParamInfo<CPrintEndCase>& info) { return info.param.pName; });

TEST_F(ReceivePacketsTest, StrictModeLeavesEveryBlockToTheVerification)
{
    m_pState->m_bStrict = true;
    AddPrint({Pattern(640, 1), Pattern(640, 2)});
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_pState->m_nBlockCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(m_pState->m_Blocks[i].IsGood()) << i;
        EXPECT_EQ(m_pState->m_Blocks[i].m_nHow, BLOCK_FROM_LINE) << i;
        EXPECT_EQ(BlockBytes(i), Pattern(640, static_cast<uint8_t>(i + 1))) << i;
    }
}

TEST_F(ReceivePacketsTest, SecondPrintRefillsOnlyBadBlocks)
{
    std::vector<std::vector<uint8_t>> first, second;
    for (int i = 0; i < 3; ++i) {
        first.push_back(Pattern(640, static_cast<uint8_t>(i)));
        second.push_back(Pattern(600, static_cast<uint8_t>(100 + i)));
    }
    AddPrint(first, 1);
    ReceivePackets(m_Link, *m_pState);
    ASSERT_FALSE(m_pState->m_Blocks[1].IsGood());

    m_Link.m_Script.clear();
    m_Link.m_nNext = 0;
    AddPrint(second);
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(BlockBytes(0), first[0]);
    EXPECT_EQ(BlockBytes(1), second[1]);
    EXPECT_EQ(BlockBytes(2), first[2]);
    EXPECT_EQ(m_pState->m_Blocks[0].m_nLength, 640);
    EXPECT_EQ(m_pState->m_Blocks[1].m_nLength, 600);
    EXPECT_TRUE(m_pState->m_Blocks[1].IsGood());
    EXPECT_EQ(m_pState->m_nBlockCount, 3);
    EXPECT_EQ(m_pState->m_nMaxBlockCount, 3);
}

TEST_F(ReceivePacketsTest, FortiethBlockIsAnsweredButNotKept)
{
    AddInit();
    for (int i = 0; i < 40; ++i)
        m_Link.Add(DataPacket(Pattern(20, static_cast<uint8_t>(i))));
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_pState->m_nBlockCount, 39);
    EXPECT_EQ(m_pState->m_nMaxBlockCount, 39);
    EXPECT_EQ(BlockBytes(38), Pattern(20, 38));
    EXPECT_EQ(m_pState->m_Blocks[39].m_nLength, 0);
    EXPECT_EQ(std::count(m_Link.m_Sent.begin(), m_Link.m_Sent.end(), 0x81), 41);
}

TEST_F(ReceivePacketsTest, OverlongPacketKeeps1999Bytes)
{
    AddInit();
    m_Link.Add(DataPacket(Pattern(2000, 0)));
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_pState->m_Blocks[0].m_nLength, 1999);
    // Byte 1999 and the first checksum byte were taken as the checksum.
    EXPECT_FALSE(m_pState->m_Blocks[0].IsGood());
    EXPECT_EQ(m_Link.m_Sent[INIT_BYTES + 6 + 1999 + 2], 0x81);
}

TEST_F(ReceivePacketsTest, NoModuleExchangesNothing)
{
    m_Link.m_nStatus = MODUL_NO_MODULE;
    m_Link.Add(DataPacket(Pattern(640, 0)));
    EXPECT_FALSE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_Link.Exchanges(), 0u);
}

TEST_F(ReceivePacketsTest, SixtySearchesWithoutDataEndTheAttempt)
{
    for (int i = 0; i < 70; ++i)
        m_Link.Add(StatusPacket());
    m_Link.Add(DataPacket(Pattern(640, 0)));
    EXPECT_FALSE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_Link.Exchanges(), 60u * 10);
    EXPECT_EQ(m_pState->m_nBlockCount, 0);
}

TEST_F(ReceivePacketsTest, DataPacketOnTheSixtiethSearchIsStillRead)
{
    AddInit();
    for (int i = 0; i < 58; ++i)
        m_Link.Add(StatusPacket());
    m_Link.Add(DataPacket(Pattern(640, 0)));
    m_Link.Add(DataPacket(Pattern(640, 1)));
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_EQ(m_pState->m_nBlockCount, 1);
    EXPECT_EQ(m_Link.Exchanges(), INIT_BYTES + 58 * 10 + 650);
}

TEST_F(ReceivePacketsTest, NoiseBetweenPacketsResetsTheFailureCount)
{
    // 18 silent searches, a status packet, then 18 more: still one attempt. (The bytes heard
    // outside any packet may have been a data packet: the one read after them has no known
    // place and is not taken.)
    AddInit();
    m_Link.Add(std::vector<uint8_t>(18 * 20, 0x00));
    m_Link.Add(StatusPacket());
    m_Link.Add(std::vector<uint8_t>(18 * 20, 0x00));
    m_Link.Add(DataPacket(Pattern(640, 0)));
    EXPECT_TRUE(ReceivePackets(m_Link, *m_pState));
    EXPECT_TRUE(m_pState->m_Print.m_bLost);
    EXPECT_EQ(m_pState->m_nBlockCount, 0);
}

}  // namespace
