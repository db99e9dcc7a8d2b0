// Verification and the rebuild passes on single blocks, and joining the blocks.
#include <gtest/gtest.h>

#include <memory>

#include "reception/BlockRepair.h"
#include "reception/ReceptionState.h"

namespace {

struct CEntry {
    uint8_t nValue;
    uint8_t nMark;
};

struct CRepairCase {
    const char* pName;
    std::vector<CEntry> entries;
    uint16_t nExpectedSum;
    bool bGood;
    std::vector<uint8_t> after;
};

void LoadBlock(CReceptionState& state, int nBlock, const std::vector<CEntry>& entries, uint16_t nSum)
{
    for (size_t k = 0; k < entries.size(); ++k)
        state.m_BlockData[nBlock][k] = static_cast<uint16_t>(entries[k].nMark << 8 | entries[k].nValue);
    state.m_BlockLength[nBlock] = static_cast<int32_t>(entries.size());
    state.m_BlockSum[nBlock] = nSum;
}

class RepairBlockTest : public ::testing::TestWithParam<CRepairCase> {};

TEST_P(RepairBlockTest, RebuildsOrGivesUp)
{
    const CRepairCase& c = GetParam();
    auto pState = std::make_unique<CReceptionState>();
    LoadBlock(*pState, 0, c.entries, c.nExpectedSum);
    pState->m_nMaxBlockCount = 1;

    EXPECT_EQ(VerifyBlocks(*pState), c.bGood ? 0 : 1);
    EXPECT_EQ(pState->m_BlockGood[0] != 0, c.bGood);
    for (size_t k = 0; k < c.after.size(); ++k) {
        EXPECT_EQ(pState->m_BlockData[0][k] & 0xFF, c.after[k]) << "byte " << k;
        EXPECT_EQ(pState->m_BlockData[0][k] >> 8, c.entries[k].nMark) << "mark of byte " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, RepairBlockTest,
    ::testing::Values(
        CRepairCase{"CleanAndMatching", {{0x10, 0}, {0x20, 0}, {0x30, 0}}, 0x60, true, {0x10, 0x20, 0x30}},
        CRepairCase{"CleanButWrong", {{0x10, 0}, {0x20, 0}, {0x30, 0}}, 0x61, false, {0x10, 0x20, 0x30}},
        // Pass 1 shifts the two bits lost at the cut back in from the byte before.
        CRepairCase{"ShiftRepair", {{0x10, 0}, {0x03, 130}, {0x00, 0}}, 0x53, true, {0x10, 0x43, 0x00}},
        // Pass 5 puts the whole difference into the byte before the cut.
        CRepairCase{"DifferenceRepair", {{0x20, 0}, {0x00, 0}, {0x01, 129}}, 0x30, true, {0x20, 0x0F, 0x01}},
        // Negative difference: pass 5 does nothing, the rebuilt bytes stay.
        CRepairCase{"NegativeDifferenceStaysBad", {{0x20, 0}, {0x05, 0}, {0x07, 131}}, 0x30, false,
                    {0x20, 0x00, 0x2F}},
        // Two cut bytes: the passes stop after pass 2 with pass 1's changes kept.
        CRepairCase{"TwoCutsStopAfterPassTwo", {{0x01, 0}, {0x01, 129}, {0x01, 129}}, 0x50, false,
                    {0x01, 0x03, 0x07}},
        // Marks 65 to 71 only say the byte looked slow; nothing is rebuilt.
        CRepairCase{"SlowMarksChangeNothing", {{0x10, 0}, {0x03, 66}, {0x00, 0}}, 0x53, false,
                    {0x10, 0x03, 0x00}},
        // The first byte borrows from the block's last byte as it stood after pass 0.
        CRepairCase{"FirstByteBorrowsFromLast", {{0x01, 129}, {0x00, 0}, {0x01, 0}}, 0x04, true,
                    {0x03, 0x00, 0x01}},
        // Pass 1 wraps around: only the low 8 bits of the shifted neighbour count.
        CRepairCase{"ShiftWraps", {{0xFF, 0}, {0x7F, 135}}, static_cast<uint16_t>(0xFF + 0xFF), true,
                    {0xFF, 0xFF}},
        CRepairCase{"SumAboveSixteenBits", std::vector<CEntry>(300, CEntry{0xFF, 0}),
                    static_cast<uint16_t>(300 * 0xFF), true, {0xFF, 0xFF}}),
    [](const ::testing::TestParamInfo<CRepairCase>& info) { return info.param.pName; });

TEST(VerifyBlocks, CountsBadBlocksOfAllBlocksSoFar)
{
    auto pState = std::make_unique<CReceptionState>();
    for (int j = 0; j < 9; ++j)
        LoadBlock(*pState, j, {{static_cast<uint8_t>(j), 0}, {1, 0}}, static_cast<uint16_t>(j + 1 + (j % 4 == 1)));
    pState->m_nMaxBlockCount = 9;
    EXPECT_EQ(VerifyBlocks(*pState), 2);  // blocks 1 and 5
    EXPECT_FALSE(pState->m_BlockGood[1]);
    EXPECT_FALSE(pState->m_BlockGood[5]);
    EXPECT_TRUE(pState->m_BlockGood[8]);
    EXPECT_EQ(BadBlockMessage(2, 9),
              "2 Fehler in 9 gelesenen Datenblocks\nBitte das Bild noch einmal ausdrucken\n"
              "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet");
}

TEST(VerifyBlocks, BlocksBeyondTheCountAreNotTouched)
{
    auto pState = std::make_unique<CReceptionState>();
    LoadBlock(*pState, 0, {{1, 0}}, 1);
    LoadBlock(*pState, 1, {{1, 0}}, 1);
    pState->m_nMaxBlockCount = 1;
    EXPECT_EQ(VerifyBlocks(*pState), 0);
    EXPECT_TRUE(pState->m_BlockGood[0]);
    EXPECT_FALSE(pState->m_BlockGood[1]);
}

TEST(AssembleStream, JoinsGoodAndBadBlocksWithoutMarks)
{
    auto pState = std::make_unique<CReceptionState>();
    LoadBlock(*pState, 0, {{1, 0}, {2, 130}}, 3);
    LoadBlock(*pState, 1, {{3, 0}}, 99);
    LoadBlock(*pState, 2, {{4, 0}, {5, 0}, {6, 0}}, 15);
    pState->m_nMaxBlockCount = 3;
    AssembleStream(*pState);
    ASSERT_EQ(pState->m_nByteCount, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pState->m_RawStream[i], i + 1);

    pState->m_nMaxBlockCount = 0;
    AssembleStream(*pState);
    EXPECT_EQ(pState->m_nByteCount, 0);
}

}  // namespace
