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
    uint8_t nHow;                 // BLOCK_ code the verification records
    uint8_t nStrictHow;           // ... in strict mode, where one print never makes it good
    std::vector<uint8_t> after;
};

void LoadBlock(CReceptionState& state, int nBlock, const std::vector<CEntry>& entries, uint16_t nSum)
{
    for (size_t k = 0; k < entries.size(); ++k)
        state.m_Blocks[nBlock].m_Entries[k] = static_cast<uint16_t>(entries[k].nMark << 8 | entries[k].nValue);
    state.m_Blocks[nBlock].m_nLength = static_cast<int32_t>(entries.size());
    state.m_Blocks[nBlock].m_nSum = nSum;
}

class RepairBlockTest : public ::testing::TestWithParam<CRepairCase> {};

TEST_P(RepairBlockTest, RebuildsOrGivesUp)
{
    const CRepairCase& c = GetParam();
    for (const bool bStrict : {false, true}) {
        SCOPED_TRACE(bStrict ? "strict" : "normal");
        auto pState = std::make_unique<CReceptionState>();
        LoadBlock(*pState, 0, c.entries, c.nExpectedSum);
        pState->m_nMaxBlockCount = 1;
        pState->m_bStrict = bStrict;
        // Strict mode takes no block from one print: it rebuilds it all the same and says why
        // it waits for another.
        const bool bGood = !bStrict && c.nHow != BLOCK_FAILED;
        const uint8_t nHow = bStrict ? c.nStrictHow : c.nHow;

        EXPECT_EQ(VerifyBlocks(*pState), bGood ? 0 : 1);
        EXPECT_EQ(pState->m_Blocks[0].IsGood(), bGood);
        EXPECT_EQ(pState->m_Blocks[0].m_nHow, nHow);
        for (size_t k = 0; k < c.after.size(); ++k) {
            EXPECT_EQ(pState->m_Blocks[0].m_Entries[k] & 0xFF, c.after[k]) << "byte " << k;
            EXPECT_EQ(pState->m_Blocks[0].m_Entries[k] >> 8, c.entries[k].nMark) << "mark of byte " << k;
        }
        // Verifying again after an attempt that did not refill the block changes nothing:
        // bytes rebuilt once are not rebuilt a second time.
        EXPECT_EQ(VerifyBlocks(*pState), bGood ? 0 : 1);
        EXPECT_EQ(pState->m_Blocks[0].m_nHow, nHow);
        for (size_t k = 0; k < c.after.size(); ++k)
            EXPECT_EQ(pState->m_Blocks[0].m_Entries[k] & 0xFF, c.after[k]) << "byte " << k << " verified again";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, RepairBlockTest,
    ::testing::Values(
        CRepairCase{"CleanAndMatching", {{0x10, 0}, {0x20, 0}, {0x30, 0}}, 0x60, BLOCK_AS_RECEIVED, BLOCK_UNCONFIRMED, {0x10, 0x20, 0x30}},
        CRepairCase{"CleanButWrong", {{0x10, 0}, {0x20, 0}, {0x30, 0}}, 0x61, BLOCK_FAILED, BLOCK_FAILED, {0x10, 0x20, 0x30}},
        // Pass 1 shifts the two bits lost at the cut back in from the byte before.
        CRepairCase{"ShiftRepair", {{0x10, 0}, {0x03, 130}, {0x00, 0}}, 0x53, BLOCK_REBUILT, BLOCK_SUSPECT, {0x10, 0x43, 0x00}},
        // Pass 5 puts the whole difference into the byte before the cut: the sum made that byte.
        CRepairCase{"DifferenceRepair", {{0x20, 0}, {0x00, 0}, {0x01, 129}}, 0x30, BLOCK_ESTIMATED, BLOCK_ESTIMATE_REFUSED,
                    {0x20, 0x0F, 0x01}},
        // Pass 3 clears the byte before the cut and pass 4 finds the sum right: the sum asked
        // for 0 there, which is as much an estimate as pass 5's difference.
        CRepairCase{"ClearedByteMatches", {{0x20, 0}, {0x07, 0}, {0x01, 129}}, 0x2F, BLOCK_ESTIMATED, BLOCK_ESTIMATE_REFUSED,
                    {0x20, 0x00, 0x0F}},
        // Negative difference: pass 5 does nothing, the rebuilt bytes stay.
        CRepairCase{"NegativeDifferenceStaysBad", {{0x20, 0}, {0x05, 0}, {0x07, 131}}, 0x30, BLOCK_FAILED, BLOCK_FAILED,
                    {0x20, 0x00, 0x2F}},
        // Two cut bytes: the passes stop after pass 2 with pass 1's changes kept.
        CRepairCase{"TwoCutsStopAfterPassTwo", {{0x01, 0}, {0x01, 129}, {0x01, 129}}, 0x50, BLOCK_FAILED, BLOCK_FAILED,
                    {0x01, 0x03, 0x07}},
        // Marks 65 to 71 only say the byte looked slow; nothing is rebuilt.
        CRepairCase{"SlowMarksChangeNothing", {{0x10, 0}, {0x03, 66}, {0x00, 0}}, 0x53, BLOCK_FAILED, BLOCK_FAILED,
                    {0x10, 0x03, 0x00}},
        // The first byte borrows from the block's last byte as it stood after pass 0.
        CRepairCase{"FirstByteBorrowsFromLast", {{0x01, 129}, {0x00, 0}, {0x01, 0}}, 0x04, BLOCK_REBUILT, BLOCK_SUSPECT,
                    {0x03, 0x00, 0x01}},
        // Pass 1 wraps around: only the low 8 bits of the shifted neighbour count.
        CRepairCase{"ShiftWraps", {{0xFF, 0}, {0x7F, 135}}, static_cast<uint16_t>(0xFF + 0xFF), BLOCK_REBUILT, BLOCK_SUSPECT,
                    {0xFF, 0xFF}},
        // A missed clock that swallowed the gap before the slow byte moved two bits of it into
        // the unmarked byte before; the sum matches as received, and 00 FF explains the line
        // as well as 03 FC: the sum cannot tell.
        CRepairCase{"MovedBitsMayHaveComeFromTheByteBefore",
                    {{0x00, 0}, {0x03, 0}, {0xFC, 70}, {0x00, 134}, {0xFF, 0}}, 0x1FE, BLOCK_ESTIMATED, BLOCK_SUSPECT,
                    {0x00, 0x03, 0xFC, 0x00, 0xFF}},
        // The same chain over bytes no other pair explains: the sum vouches for them.
        CRepairCase{"ChainTheSumCanTell", {{0x00, 0}, {0x00, 0}, {0x00, 70}, {0x00, 134}, {0x00, 0}}, 0x00,
                    BLOCK_AS_RECEIVED, BLOCK_SUSPECT, {0x00, 0x00, 0x00, 0x00, 0x00}},
        // Two chains: two slow bytes the sum would have to fix at once.
        CRepairCase{"TwoChainsCannotBeTold",
                    {{0x00, 0}, {0xF8, 69}, {0x00, 133}, {0x00, 0}, {0x07, 69}, {0xFF, 133}}, 0x1FE, BLOCK_ESTIMATED,
                    BLOCK_SUSPECT, {0x00, 0xF8, 0x00, 0x00, 0x07, 0xFF}},
        CRepairCase{"SumAboveSixteenBits", std::vector<CEntry>(300, CEntry{0xFF, 0}),
                    static_cast<uint16_t>(300 * 0xFF), BLOCK_AS_RECEIVED, BLOCK_UNCONFIRMED, {0xFF, 0xFF}}),
    [](const ::testing::TestParamInfo<CRepairCase>& info) { return info.param.pName; });

// Strict mode: copies of one block from successive prints, each verified as it arrives.
struct CConfirmCase {
    const char* pName;
    std::vector<std::vector<CEntry>> prints;  // the block as each print brought it
    std::vector<uint16_t> sums;               // its expected sum in each print
    std::vector<bool> timedOut;               // the console stopped inside the packet
    int nConfirmedAfter;                      // prints until it is good; 0: never
    std::vector<uint8_t> after;               // its bytes once confirmed
    int nHeardOfCut = 0;                      // data bytes before the silence in a print cut off
};

class ConfirmBlockTest : public ::testing::TestWithParam<CConfirmCase> {};

TEST_P(ConfirmBlockTest, TwoPrintsMustAgreeOnCleanLine)
{
    const CConfirmCase& c = GetParam();
    auto pState = std::make_unique<CReceptionState>();
    pState->m_bStrict = true;
    pState->m_nMaxBlockCount = 1;
    for (size_t n = 0; n < c.prints.size(); ++n) {
        SCOPED_TRACE("print " + std::to_string(n + 1));
        if (pState->m_Blocks[0].IsGood())
            break;
        // As the engine refills a block that is not good.
        LoadBlock(*pState, 0, c.prints[n], c.sums[n]);
        pState->m_Blocks[0].m_nHow = BLOCK_FROM_LINE;
        pState->m_Blocks[0].m_bTimedOut = n < c.timedOut.size() && c.timedOut[n];
        pState->m_Blocks[0].m_nHeard = c.nHeardOfCut;
        const int32_t nBad = VerifyBlocks(*pState);
        const bool bConfirmed = c.nConfirmedAfter == static_cast<int>(n + 1);
        EXPECT_EQ(nBad, bConfirmed ? 0 : 1);
        EXPECT_EQ(pState->m_Blocks[0].m_nHow == BLOCK_CONFIRMED, bConfirmed);
    }
    EXPECT_EQ(pState->m_Blocks[0].IsGood(), c.nConfirmedAfter > 0);
    if (c.nConfirmedAfter > 0) {
        ASSERT_EQ(pState->m_Blocks[0].m_nLength, static_cast<int32_t>(c.after.size()));
        for (size_t k = 0; k < c.after.size(); ++k) {
            EXPECT_EQ(pState->m_Blocks[0].m_Entries[k] & 0xFF, c.after[k]) << "byte " << k;
            EXPECT_EQ(pState->m_Blocks[0].m_Entries[k] >> 8, 0) << "mark of byte " << k;
        }
    }
}

// The console's block: 00 FF 00 FF 00 FF, sum 0x2FD.
const std::vector<CEntry> CLEAN = {{0x00, 0}, {0xFF, 0}, {0x00, 0}, {0xFF, 0}, {0x00, 0}, {0xFF, 0}};
// Two flipped bits that cancel: bit 7 set in byte 0, cleared in byte 3. The sum cannot see it.
const std::vector<CEntry> FLIPPED = {{0x80, 0}, {0xFF, 0}, {0x00, 0}, {0x7F, 0}, {0x00, 0}, {0xFF, 0}};
// One flipped bit each: the sum of neither matches.
const std::vector<CEntry> FLIPPED_AT_0 = {{0x80, 0}, {0xFF, 0}, {0x00, 0}, {0xFF, 0}, {0x00, 0}, {0xFF, 0}};
const std::vector<CEntry> FLIPPED_AT_3 = {{0x00, 0}, {0xFF, 0}, {0x00, 0}, {0xFE, 0}, {0x00, 0}, {0xFF, 0}};
// A missed clock moved two bits from byte 1 into byte 0 (slow mark on 1, cut on 2); the sum
// still matches, and the cut byte needed no rebuilding.
const std::vector<CEntry> MOVED = {{0x03, 0}, {0xFC, 70}, {0x00, 134}, {0xFF, 0}, {0x00, 0}, {0xFF, 0}};

INSTANTIATE_TEST_SUITE_P(
    Prints, ConfirmBlockTest,
    ::testing::Values(
        CConfirmCase{"TwoCleanPrints", {CLEAN, CLEAN}, {0x2FD, 0x2FD}, {}, 2, {0, 0xFF, 0, 0xFF, 0, 0xFF}},
        CConfirmCase{"OnePrintIsNotEnough", {CLEAN}, {0x2FD}, {}, 0, {}},
        // The flipped copy and a clean one disagree on two bytes; a third print decides.
        CConfirmCase{"CancellingFlipsOutvoted", {FLIPPED, CLEAN, CLEAN}, {0x2FD, 0x2FD, 0x2FD}, {}, 3,
                     {0, 0xFF, 0, 0xFF, 0, 0xFF}},
        // Each print has one flipped byte, in another place: the sum tells which value is right.
        CConfirmCase{"OneFlipEachSettledBySum", {FLIPPED_AT_0, FLIPPED_AT_3}, {0x2FD, 0x2FD}, {}, 2,
                     {0, 0xFF, 0, 0xFF, 0, 0xFF}},
        // Bytes near the line's marks are no witnesses: the moved bits never count.
        CConfirmCase{"MovedBitsNeedTwoCleanCopies", {MOVED, CLEAN, MOVED, CLEAN}, {0x2FD, 0x2FD, 0x2FD, 0x2FD},
                     {}, 4, {0, 0xFF, 0, 0xFF, 0, 0xFF}},
        // A damaged checksum does not hold the bytes two copies agree on back: the sum the other
        // print brought vouches for them.
        CConfirmCase{"DamagedSumIsOutvoted", {CLEAN, CLEAN}, {0x2FD, 0x2FC}, {}, 2, {0, 0xFF, 0, 0xFF, 0, 0xFF}},
        // Bytes two copies agree on that match no sum a print brought are not taken.
        CConfirmCase{"NoSumMatches", {CLEAN, CLEAN}, {0x2FC, 0x2FE}, {}, 0, {}},
        // A packet the console broke off at once leaves nothing to keep.
        CConfirmCase{"TimedOutCopyIsNotKept", {CLEAN, CLEAN, CLEAN}, {0x2FD, 0x2FD, 0x2FD}, {true, false, false},
                     3, {0, 0xFF, 0, 0xFF, 0, 0xFF}},
        // One broken off after five bytes: the four before the silence outvote the flips.
        CConfirmCase{"CutCopyWitnessesWhatCameBefore", {FLIPPED, CLEAN, CLEAN}, {0x2FD, 0x2FD, 0x2FD},
                     {false, false, true}, 3, {0, 0xFF, 0, 0xFF, 0, 0xFF}, 5},
        // Past the silence only one copy shows the bytes: it alone proves nothing, and here its
        // cancelling flips would make the sum.
        CConfirmCase{"OneCopyPastTheSilenceProvesNothing", {FLIPPED, CLEAN}, {0x2FD, 0x2FD}, {false, true}, 0, {}, 3}),
    [](const ::testing::TestParamInfo<CConfirmCase>& info) { return info.param.pName; });

TEST(VerifyBlocks, CountsBadBlocksOfAllBlocksSoFar)
{
    auto pState = std::make_unique<CReceptionState>();
    for (int j = 0; j < 9; ++j)
        LoadBlock(*pState, j, {{static_cast<uint8_t>(j), 0}, {1, 0}}, static_cast<uint16_t>(j + 1 + (j % 4 == 1)));
    pState->m_nMaxBlockCount = 9;
    EXPECT_EQ(VerifyBlocks(*pState), 2);  // blocks 1 and 5
    EXPECT_FALSE(pState->m_Blocks[1].IsGood());
    EXPECT_FALSE(pState->m_Blocks[5].IsGood());
    EXPECT_TRUE(pState->m_Blocks[8].IsGood());
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
    EXPECT_TRUE(pState->m_Blocks[0].IsGood());
    EXPECT_FALSE(pState->m_Blocks[1].IsGood());
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
