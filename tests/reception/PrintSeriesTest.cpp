// All-prints bookkeeping: passes of a series are matched print by print and block by block,
// refill what is bad, and replace the series where they show other prints.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/PacketParser.h"
#include "reception/PacketEngine.h"
#include "reception/PrintSeries.h"
#include "reception/ReceptionState.h"

namespace {

// Feeds one pass to the series the way the engine and the verification leave it, one attempt
// per pass. Tokens, separated by blanks:
//   A+  a plain data packet of 640 bytes 'A' whose block turns out good ('-': bad; '~': good
//       only by estimate)
//   Ac+ a compressed data packet that expands to 640 bytes 'A'
//   P   a print packet with the standard palette; P1B with palette 0x1B; P? a damaged one
//   I   an init packet
// A pass begins with the console's init unless it is marked '!' (listening began mid-series).
void FeedPass(CReceptionState& state, const std::string& strPass)
{
    int32_t nBlock = SeriesAttemptBlock(state);
    std::istringstream tokens(strPass);
    for (std::string strToken; tokens >> strToken;) {
        CPacketValue packet;
        if (strToken == "I") {
            nBlock = SeriesOnPacket(state, PACKET_INIT, packet, false, nBlock);
        } else if (strToken[0] == 'P') {
            packet.args[0] = 0x01;
            packet.args[1] = 0x00;
            packet.args[2] = strToken.size() == 3 ? static_cast<uint8_t>(std::stoi(strToken.substr(1), nullptr, 16)) : 0xE4;
            packet.args[3] = 0x40;
            packet.nSum = packet.nReceivedSum + (strToken == "P?");  // a damaged one does not match its sum
            nBlock = SeriesOnPacket(state, PACKET_PRINT, packet, false, nBlock);
        } else {
            const auto v = static_cast<uint8_t>(strToken[0]);
            const bool bPacked = strToken[1] == 'c';
            const std::vector<uint8_t> bytes = bPacked ? std::vector<uint8_t>{0xFF, v, 0xFF, v, 0xBC, v, 0xFF, v, 0xFF, v, 0xBC, v}
                                                       : std::vector<uint8_t>(640, v);
            packet.nLength = static_cast<int32_t>(bytes.size());
            packet.nFlag = bPacked ? 0x01 : 0x00;
            nBlock = SeriesOnPacket(state, PACKET_DATA, packet, false, nBlock);
            if (nBlock < BLOCKS_PER_ATTEMPT) {
                if (!state.m_Blocks[nBlock].IsGood()) {
                    for (size_t k = 0; k < bytes.size(); ++k)
                        state.m_Blocks[nBlock].m_Entries[k] = bytes[k];
                    state.m_Blocks[nBlock].m_nLength = packet.nLength;
                    state.m_Blocks[nBlock].m_nHow = strToken.back() == '+'   ? BLOCK_AS_RECEIVED
                                               : strToken.back() == '~' ? BLOCK_ESTIMATED
                                                                        : BLOCK_FAILED;
                }
                ++nBlock;
            }
        }
    }
    SeriesEndAttempt(state, nBlock);
    MergeSeriesPrints(state);
}

// The second byte of every block of the series' prints, in order: the letter of each packet.
std::string SeriesLetters(const CPrintSeries& series)
{
    std::string strLetters;
    for (int32_t k = 0; k < series.m_nPrints; ++k) {
        for (int32_t c = series.m_Prints[k].m_nFirst; c < series.m_Prints[k].m_nEnd; ++c)
            strLetters += static_cast<char>(series.m_Blocks[c].m_Bytes[1]);
        strLetters += k + 1 < series.m_nPrints ? "|" : "";
    }
    return strLetters;
}

struct CSeriesCase {
    const char* pName;
    std::vector<std::string> passes;  // each ends with the console going quiet
    std::string strLetters;           // the series held after the last pass
    bool bComplete;
    bool bReplaced = false;
    int32_t nEstimated = 0;
};

class PrintSeriesTest : public ::testing::TestWithParam<CSeriesCase> {};

TEST_P(PrintSeriesTest, PassesMergeIntoTheSeries)
{
    const CSeriesCase& c = GetParam();
    auto pState = std::make_unique<CReceptionState>();
    pState->ClearKept();
    for (size_t n = 0; n < c.passes.size(); ++n) {
        const std::string& strPass = c.passes[n];
        FeedPass(*pState, strPass.rfind('!', 0) == 0 ? strPass.substr(1) : "I " + strPass);
        if (n + 1 < c.passes.size()) {
            EXPECT_FALSE(JudgeSeries(*pState).IsComplete()) << "after pass " << n;
            EndSeriesPass(*pState);
        }
    }
    EXPECT_EQ(SeriesLetters(pState->m_Series), c.strLetters);
    EXPECT_EQ(JudgeSeries(*pState).IsComplete(), c.bComplete);
    EXPECT_EQ(pState->m_Series.m_bReplaced, c.bReplaced);
    EXPECT_EQ(JudgeSeries(*pState).nEstimated, c.nEstimated);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, PrintSeriesTest,
    ::testing::Values(
        CSeriesCase{"OnePassWhole", {"I A+ A+ P I B+ P07"}, "AA|B", true},
        CSeriesCase{"MixedCompressionWhole", {"Ac+ A+ P Bc+ P"}, "AA|B", true},
        CSeriesCase{"BadBlockRefilled", {"A+ X- P B+ P", "A+ A+ P B+ P"}, "AA|B", true},
        CSeriesCase{"GoodBlockKeptWhenRepeatIsBad", {"A+ P X- P", "Y- P B+ P"}, "A|B", true},
        CSeriesCase{"StillBadAfterRepeat", {"A+ P X- P", "A+ P Y- P"}, "A|X", false},
        CSeriesCase{"AnotherSeriesReplaces", {"A+ P X- P", "C+ P D+ P"}, "C|D", true, true},
        CSeriesCase{"SecondPrintOtherLength", {"A+ P X- P", "A+ P D+ D+ P"}, "A|DD", true, true},
        CSeriesCase{"OtherPaletteIsAnotherPrint", {"A+ P X- P", "A+ P1B B+ P"}, "A|B", true, true},
        CSeriesCase{"OtherCompressionIsAnotherPrint", {"A+ P X- P", "Ac+ P B+ P"}, "A|B", true, true},
        // A bad block's flag may be the damage itself: it is refilled, the series not cut.
        CSeriesCase{"BadBlockWithOtherFlagRefilled", {"A+ P Xc- P", "A+ P B+ P"}, "A|B", true},
        // After a pass that ended with data unprinted, an estimate gives way to an exact
        // block; two estimates that differ prove nothing and leave the series whole but not
        // exact.
        CSeriesCase{"EstimateGivesWayToExact", {"A+ P X~ P C+", "A+ P B+ P"}, "A|B", true},
        CSeriesCase{"EstimatesDoNotCutTheSeries", {"A+ P X~ P C+", "A+ P Y~ P"}, "A|X", true, false, 1},
        CSeriesCase{"ShortRepeatIsNotWhole", {"A+ P X- P", "A+ P"}, "A|X", false},
        CSeriesCase{"DataLeftUnprinted", {"A+ P B+"}, "A", false},
        // A busy printer: the game sends the first band of its next picture again and again,
        // then init, then the picture; only what a print packet follows is printed.
        CSeriesCase{"InitClearsWhatWasNotPrinted", {"A+ P B+ B+ B+ I C+ D+ P"}, "A|CD", true},
        CSeriesCase{"ListeningBeganMidSeries", {"!A+ P B+ P"}, "A|B", false},
        CSeriesCase{"BeginningHeardInTheNextPass", {"!A+ P X- P", "A+ P B+ P"}, "A|B", true},
        CSeriesCase{"DamagedPrintPacketThenWhole", {"A+ P?", "A+ P"}, "A", true},
        CSeriesCase{"DamagedPrintPacketOnly", {"A+ P?"}, "A", false},
        CSeriesCase{"PrintWithoutDataAddsNothing", {"P A+ P P"}, "A", true},
        CSeriesCase{"NoPrint", {"I"}, "", false}),
    [](const ::testing::TestParamInfo<CSeriesCase>& info) { return info.param.pName; });

TEST(PrintSeries, MoreBlocksThanTheTableHoldsDoNotFit)
{
    auto pState = std::make_unique<CReceptionState>();
    pState->ClearKept();
    std::string strPass;
    for (int n = 0; n < 40; ++n)
        strPass += "A+ ";
    FeedPass(*pState, strPass + "P");
    const CReceptionVerdict verdict = JudgeSeries(*pState);
    EXPECT_FALSE(verdict.bFits);
    EXPECT_FALSE(verdict.IsComplete());
}

TEST(PrintSeries, PictureTallerThanTheOldViewIsWhole)
{
    // 32 packets of two bands: 512 rows, more than the view's 496 of old.
    auto pState = std::make_unique<CReceptionState>();
    pState->ClearKept();
    std::string strPass = "I ";
    for (int n = 0; n < 32; ++n)
        strPass += "A+ ";
    FeedPass(*pState, strPass + "P");
    const CReceptionVerdict verdict = JudgeSeries(*pState);
    EXPECT_TRUE(verdict.bFits);
    EXPECT_TRUE(verdict.IsComplete());
    EXPECT_EQ(verdict.nBytes, 32 * 640);
}

}  // namespace
