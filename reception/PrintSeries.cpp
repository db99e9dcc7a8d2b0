#include "reception/PrintSeries.h"

#include <cstring>

#include "protocol/PacketParser.h"
#include "reception/PacketEngine.h"
#include "reception/ReceptionState.h"
#include "reception/SeriesPicture.h"

namespace {

// How far the block table's verification trusts block c of the pass.
// Block c of the pass in the block table.
const CBlock& PassBlock(const CReceptionState& state, int32_t c)
{
    return state.m_Blocks[c % BLOCK_TABLE_SIZE];
}

uint8_t PassRank(const CReceptionState& state, int32_t c)
{
    if (!PassBlock(state, c).IsGood())
        return SERIES_BLOCK_BAD;
    switch (PassBlock(state, c).m_nHow) {
    case BLOCK_AS_RECEIVED:
    case BLOCK_REBUILT:
    case BLOCK_CONFIRMED:
        return SERIES_BLOCK_EXACT;
    default:
        return SERIES_BLOCK_ESTIMATED;  // good only because a repair pass made a byte fit
    }
}

int32_t PassLength(const CReceptionState& state, int32_t c)
{
    const int32_t nLength = PassBlock(state, c).m_nLength;
    return nLength < 0 ? 0 : nLength > MAX_BLOCK_LENGTH ? MAX_BLOCK_LENGTH : nLength;
}

void TakeBlock(CReceptionState& state, int32_t c)
{
    CSeriesBlock& block = state.m_Series.m_Blocks[c];
    block.m_nLength = PassLength(state, c);
    for (int32_t k = 0; k < block.m_nLength; ++k)
        block.m_Bytes[k] = static_cast<uint8_t>(PassBlock(state, c).m_Entries[k]);
    block.m_nPacked = state.m_Series.m_PassPacked[c];
    block.m_nRank = PassRank(state, c);
    block.m_bSumOnly = PassBlock(state, c).m_nHow != BLOCK_CONFIRMED;
    block.m_bUnchecked = PassBlock(state, c).m_nHow == BLOCK_UNCHECKED;
}

bool SameArgs(const CSeriesPrint& a, const CSeriesPrint& b)
{
    // A damaged print packet says nothing either way.
    return !a.m_bArgsOk || !b.m_bArgsOk || std::memcmp(a.m_Args, b.m_Args, PRINT_ARG_BYTES) == 0;
}

// Print k of the pass shows the same print as print k of the series: the same blocks, each of
// the same length and compression, the same print packet, and where both hold a block exactly,
// the same bytes.
bool IsSamePrint(const CReceptionState& state, int32_t k)
{
    const CPrintSeries& series = state.m_Series;
    if (k >= series.m_nPrints)
        return false;
    const CSeriesPrint& held = series.m_Prints[k];
    const CSeriesPrint& pass = series.m_PassPrints[k];
    if (held.m_nFirst != pass.m_nFirst || held.m_nEnd != pass.m_nEnd || !SameArgs(held, pass))
        return false;
    for (int32_t c = pass.m_nFirst; c < pass.m_nEnd; ++c) {
        const CSeriesBlock& block = series.m_Blocks[c];
        const int32_t nLength = PassLength(state, c);
        // A flag, length or bytes the sum does not vouch for prove nothing.
        if (block.m_nRank == SERIES_BLOCK_BAD || PassRank(state, c) == SERIES_BLOCK_BAD)
            continue;
        if (block.m_nPacked != series.m_PassPacked[c] || block.m_nLength != nLength)
            return false;
        if (block.m_nRank == SERIES_BLOCK_EXACT && PassRank(state, c) == SERIES_BLOCK_EXACT) {
            for (int32_t i = 0; i < nLength; ++i)
                if (block.m_Bytes[i] != static_cast<uint8_t>(PassBlock(state, c).m_Entries[i]))
                    return false;
        }
    }
    return true;
}

void StartPass(CReceptionState& state)
{
    CPrintSeries& series = state.m_Series;
    series.m_nPassPrints = 0;
    series.m_nPassMerged = 0;
    series.m_nPassBlock = 0;
    series.m_nPassFirst = 0;
    series.m_bNewPass = false;
    series.m_bPassData = false;
    series.m_bAbandoned = false;
    series.m_bOverflow = false;
    series.m_bStartUnheard = series.m_bRequireInit && !series.m_bInitHeard;
    // The pass refills every block of the table; the series keeps its own copies.
    for (CBlock& block : state.m_Blocks)
        if (block.IsGood())
            block.m_nHow = BLOCK_FROM_LINE;
    state.m_nBlockCount = 0;
    state.m_nMaxBlockCount = 0;
}

}  // namespace

int32_t SeriesAttemptBlock(CReceptionState& state)
{
    state.m_Series.m_bHeard = false;
    state.m_nBlockCount = state.m_Series.m_nPassBlock;
    return state.m_Series.m_nPassBlock;
}

int32_t SeriesOnPacket(CReceptionState& state, int32_t nResult, const CPacketValue& packet, bool bLost, int32_t nBlock)
{
    CPrintSeries& series = state.m_Series;
    // A console whose packet was cut off or not acknowledged gives the print up, and the prints
    // after it in the series never come: the pass cannot be whole.
    if (bLost) {
        if (!series.m_bNewPass && series.m_bPassData)
            series.m_bAbandoned = true;
    }
    if (nResult == PACKET_NONE)
        return nBlock;
    series.m_bHeard = true;
    switch (nResult) {
    case PACKET_DATA:
        if (packet.nLength <= 0)
            return nBlock;  // the empty packet that closes a print's data
        if (series.m_bNewPass) {
            StartPass(state);
            nBlock = 0;
        }
        series.m_bPassData = true;
        if (nBlock < series.m_nPassLimit && nBlock < SERIES_MAX_BLOCKS)
            series.m_PassPacked[nBlock] = packet.nFlag;
        else
            series.m_bOverflow = true;
        return nBlock;
    case PACKET_PRINT:
        if (series.m_bNewPass || nBlock <= series.m_nPassFirst)
            return nBlock;  // a print with no data of its own adds nothing
        if (series.m_nPassPrints >= SERIES_MAX_PRINTS) {
            series.m_bOverflow = true;
        } else {
            CSeriesPrint& print = series.m_PassPrints[series.m_nPassPrints++];
            print.m_nFirst = series.m_nPassFirst;
            print.m_nEnd = nBlock;
            std::memcpy(print.m_Args, packet.args, PRINT_ARG_BYTES);
            print.m_bArgsOk = packet.SumMatches();
        }
        series.m_nPassFirst = nBlock;
        return nBlock;
    case PACKET_INIT:
        // The printer forgets data it has not printed when the console starts afresh: games
        // that find it busy send the first band of their next picture again and again, then
        // init, then the picture. Only data a print packet follows is printed.
        series.m_bInitHeard = true;
        if (!series.m_bNewPass && nBlock > series.m_nPassFirst) {
            for (int32_t c = series.m_nPassFirst; c < nBlock; ++c)
                state.m_Blocks[c % BLOCK_TABLE_SIZE].m_nHow = BLOCK_FROM_LINE;
            state.m_nBlockCount -= nBlock - series.m_nPassFirst;
            nBlock = series.m_nPassFirst;
        }
        return nBlock;
    default:
        return nBlock;
    }
}

void SeriesEndAttempt(CReceptionState& state, int32_t nBlock)
{
    state.m_Series.m_nPassBlock = nBlock;
}

void MergeSeriesPrints(CReceptionState& state)
{
    CPrintSeries& series = state.m_Series;
    for (int32_t k = series.m_nPassMerged; k < series.m_nPassPrints; ++k) {
        const CSeriesPrint& pass = series.m_PassPrints[k];
        if (IsSamePrint(state, k)) {
            CSeriesPrint& held = series.m_Prints[k];
            for (int32_t c = pass.m_nFirst; c < pass.m_nEnd; ++c)
                if (PassRank(state, c) > series.m_Blocks[c].m_nRank)
                    TakeBlock(state, c);
            if (!held.m_bArgsOk && pass.m_bArgsOk)
                held = pass;
        } else {
            // Another print than the one held: from here on the series is the new pass's.
            if (k < series.m_nPrints)
                series.m_bReplaced = true;
            series.m_Prints[k] = pass;
            series.m_nPrints = k + 1;
            for (int32_t c = pass.m_nFirst; c < pass.m_nEnd; ++c)
                TakeBlock(state, c);
        }
    }
    series.m_nPassMerged = series.m_nPassPrints;
}

CReceptionVerdict JudgeSeries(const CReceptionState& state)
{
    const CPrintSeries& series = state.m_Series;
    CReceptionVerdict verdict;
    verdict.bSeries = true;
    verdict.nPrints = series.m_nPrints;
    bool bArgsOk = true;  // every print packet matched its checksum
    for (int32_t k = 0; k < series.m_nPrints; ++k) {
        const CSeriesPrint& print = series.m_Prints[k];
        bArgsOk = bArgsOk && print.m_bArgsOk;
        for (int32_t c = print.m_nFirst; c < print.m_nEnd; ++c) {
            ++verdict.nBlocks;
            verdict.nBad += series.m_Blocks[c].m_nRank == SERIES_BLOCK_BAD;
            const bool bUnchecked = series.m_Blocks[c].m_bUnchecked;
            verdict.nEstimated += series.m_Blocks[c].m_nRank == SERIES_BLOCK_ESTIMATED && !bUnchecked;
            verdict.nUnchecked += series.m_Blocks[c].m_nRank == SERIES_BLOCK_ESTIMATED && bUnchecked;
            verdict.nSumOnly += series.m_Blocks[c].m_nRank == SERIES_BLOCK_EXACT && series.m_Blocks[c].m_bSumOnly &&
                                state.m_bUnmarkedDamage;
        }
    }
    // The pass that ended brought every print held, gave none up, and left no data unprinted.
    const bool bPassWhole = !series.m_bAbandoned && !series.m_bOverflow && !series.m_bStartUnheard &&
                            series.m_nPassPrints == series.m_nPrints && series.m_nPassBlock == series.m_nPassFirst;
    bool bWholeBands = false;  // every print ends on a band boundary
    verdict.nBytes = AssembleSeries(series, nullptr, SERIES_PICTURE_LIMIT, bWholeBands);
    verdict.bFits = !series.m_bOverflow;
    if (!verdict.bFits)
        verdict.nNotWhole |= NOT_WHOLE_TOO_LONG;
    verdict.bWhole = verdict.nPrints > 0 && bPassWhole && bArgsOk && bWholeBands && verdict.bFits;
    return verdict;
}

void EndSeriesPass(CReceptionState& state)
{
    state.m_Series.m_bInitHeard = false;
    state.m_Series.m_bNewPass = true;
    state.m_Series.m_bPassData = false;
}
