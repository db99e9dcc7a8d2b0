#include "reception/BlockRepair.h"

#include <algorithm>
#include <cstdio>

#include "reception/BlockConfirm.h"
#include "reception/ReceptionState.h"

namespace {

// Bits received before the exchange stopped on a synchronisation error (marks 129 to 135);
// 0 for clean bytes and for bytes that were only marked as suspicious (65 to 71).
uint32_t SyncBits(uint16_t nEntry)
{
    const uint32_t nMark = nEntry >> 8;
    return nMark > 0x80 ? (nMark & 0x0F) : 0;
}

constexpr int32_t LAST_PASS = 6;

bool HasMarks(const CReceptionState& state, int32_t nBlock)
{
    for (int32_t k = 0; k < state.m_Blocks[nBlock].m_nLength && k < BLOCK_ENTRIES; ++k)
        if ((state.m_Blocks[nBlock].m_Entries[k] >> 8) != 0)
            return true;
    return false;
}

// Whether deleting a run of nRun consecutive bits from the byte leaves nRest (8 - nRun bits).
bool LosesRunTo(uint32_t nByte, int32_t nRun, uint32_t nRest)
{
    for (int32_t p = 0; p + nRun <= 8; ++p) {
        const uint32_t nHigh = p == 0 ? 0 : (nByte >> (8 - p)) << (8 - p - nRun);
        const uint32_t nLow = nByte & ((1u << (8 - p - nRun)) - 1);
        if ((nHigh | nLow) == nRest)
            return true;
    }
    return false;
}

// A missed clock leaves a chain on the line: the receiver loses nRun bits of a byte, takes the
// next byte's first bits to fill it, finds the console's gap between bytes inside its next
// exchange (a slow mark) and then stops on lost sync (the cut byte, holding 8 - nRun bits).
// Pass 1 rebuilds the cut byte; the sum then checks the slow byte before it. But when the
// missed clock swallowed the gap before the slow byte, the bits were lost one byte earlier, in
// a byte the line did not mark, and moved bits can keep the sum. Whether the sum could tell:
// the block holds exactly one chain, and no other pair of bytes for the two bytes before the
// cut explains the line and the sum as well.
bool SumCouldTell(const CReceptionState& state, int32_t nBlock)
{
    const uint16_t* pEntries = state.m_Blocks[nBlock].m_Entries;
    const int32_t nLength = std::min(state.m_Blocks[nBlock].m_nLength, BLOCK_ENTRIES);
    int32_t nCut = -1;
    int32_t nCuts = 0;
    int32_t nSlow = 0;
    for (int32_t k = 0; k < nLength; ++k) {
        const uint32_t nMark = pEntries[k] >> 8;
        if (nMark > 0x80) {
            nCut = k;
            ++nCuts;
        } else if (nMark != 0) {
            ++nSlow;
        }
    }
    // Marks apart from one cut and the slow byte just before it: more than one byte to fix.
    const bool bSlowBeforeCut = nCut > 0 && (pEntries[nCut - 1] >> 8) != 0;
    if (nCuts > 1 || nSlow > (bSlowBeforeCut ? 1 : 0))
        return false;
    // No cut at all, or one whose chain began before the block: nothing more to tell.
    if (nCuts == 0 || nCut < 2)
        return true;
    const int32_t nRun = 8 - static_cast<int32_t>(SyncBits(pEntries[nCut]));
    const uint32_t nFirst = pEntries[nCut - 2] & 0xFF;  // the byte that may have lost the bits
    const uint32_t nSecond = pEntries[nCut - 1] & 0xFF;  // the slow byte
    const uint32_t nOther = ((nFirst & ((1u << nRun) - 1)) << (8 - nRun)) | (nSecond >> nRun);
    const int32_t nOtherFirst = static_cast<int32_t>(nFirst + nSecond) - static_cast<int32_t>(nOther);
    if (nOther == nSecond || nOtherFirst < 0 || nOtherFirst > 0xFF)
        return true;
    return !LosesRunTo(static_cast<uint32_t>(nOtherFirst), nRun, nFirst >> nRun);
}

// Strict mode, for a block a print has just refilled: good only when its copies confirm it.
// Otherwise it is rebuilt as in normal mode, for the picture held if the user gives up, and
// waits for the next print.
bool VerifyStrict(CReceptionState& state, int32_t nBlock)
{
    KeepBlockCopy(state, nBlock);
    if (ConfirmBlock(state, nBlock)) {
        state.m_Blocks[nBlock].m_nHow = BLOCK_CONFIRMED;
        return true;
    }
    const bool bMarked = HasMarks(state, nBlock);
    uint8_t nHow = RepairBlock(state, nBlock);
    if (nHow == BLOCK_AS_RECEIVED || nHow == BLOCK_REBUILT)
        nHow = bMarked ? BLOCK_SUSPECT : BLOCK_UNCONFIRMED;
    else if (nHow == BLOCK_ESTIMATED)
        nHow = BLOCK_ESTIMATE_REFUSED;  // strict mode takes no estimate
    state.m_Blocks[nBlock].m_nHow = nHow;
    return false;
}

}  // namespace

// A byte cut short after G bits holds only those bits, right-aligned; the 8 - G bits it lost
// went to the end of the byte before it. Pass 1 shifts the neighbour's bits back in; when a
// block has exactly one cut byte, passes 3 and 5 try putting the whole difference into the
// byte before it instead. Passes 0, 2, 4 and 6 only measure.
uint8_t RepairBlock(CReceptionState& state, int32_t nBlock)
{
    uint16_t* pEntries = state.m_Blocks[nBlock].m_Entries;
    int32_t nLength = state.m_Blocks[nBlock].m_nLength;
    if (nLength < 0)
        nLength = 0;
    if (nLength > BLOCK_ENTRIES)
        nLength = BLOCK_ENTRIES;
    const uint16_t nExpected = state.m_Blocks[nBlock].m_nSum;

    int32_t nDiff = 0;
    int32_t nPrevSyncCount = 0;
    uint8_t nPrevByte = 0;
    uint32_t nSum = 0;
    int32_t nPass = 0;
    for (;; ++nPass) {
        int32_t nSyncCount = 0;
        nSum = 0;
        for (int32_t k = 0; k < nLength; ++k) {
            const uint16_t nEntry = pEntries[k];
            uint8_t v = static_cast<uint8_t>(nEntry);
            const uint32_t nBits = SyncBits(nEntry);
            if (nPass == 1 && nBits > 0)
                v = static_cast<uint8_t>(v + ((static_cast<uint32_t>(nPrevByte) << nBits) & 0xFF));
            if (nPass == 3 && k > 0 && nBits > 0 && nPrevSyncCount == 1)
                pEntries[k - 1] &= 0xFF00;
            if (nPass == 5 && k > 0 && nBits > 0 && nPrevSyncCount == 1 && nDiff > 0 && nDiff < 256)
                pEntries[k - 1] = static_cast<uint16_t>(pEntries[k - 1] + nDiff);
            if (nBits > 0)
                ++nSyncCount;
            pEntries[k] = static_cast<uint16_t>((nEntry & 0xFF00) | v);
            nSum += v;
            nPrevByte = v;
        }
        nDiff = static_cast<int32_t>(nExpected) - static_cast<int32_t>(nSum & 0xFFFF);
        nPrevSyncCount = nSyncCount;
        if (nDiff == 0 && (nPass == 0 || nPass == 2 || nPass == 4))
            break;
        if (nPass == 2 && nSyncCount > 1)
            break;
        if (nPass == LAST_PASS)
            break;
    }
    if ((nSum & 0xFFFF) != nExpected)
        return BLOCK_FAILED;
    if (nPass == 0)
        return BLOCK_AS_RECEIVED;
    if (nPass == 2)
        return BLOCK_REBUILT;  // the cut bytes were rebuilt from the line, and the sum agrees
    // Passes 4 and 6 match only after passes 3 and 5 made the byte before the cut whatever
    // the sum asked for (0 in pass 4, the difference in pass 6): the sum cannot check it.
    return BLOCK_ESTIMATED;
}

int32_t VerifyBlocks(CReceptionState& state)
{
    int32_t nBad = 0;
    for (int32_t j = 0; j < state.m_nMaxBlockCount && j < BLOCK_TABLE_SIZE; ++j) {
        if (state.m_Blocks[j].IsGood()) {
            RepairBlock(state, j);  // matches after pass 0 and changes nothing
            continue;
        }
        // Bytes that were rebuilt once and stayed bad are not rebuilt a second time: the
        // passes would shift already shifted bits and could only invent a match.
        if (state.m_Blocks[j].m_nHow != BLOCK_FROM_LINE) {
            ++nBad;
            continue;
        }
        if (state.m_bStrict) {
            nBad += !VerifyStrict(state, j);
            continue;
        }
        uint8_t nHow = RepairBlock(state, j);
        if ((nHow == BLOCK_AS_RECEIVED || nHow == BLOCK_REBUILT) && !SumCouldTell(state, j))
            nHow = BLOCK_ESTIMATED;
        state.m_Blocks[j].m_nHow = nHow;
        nBad += nHow == BLOCK_FAILED;
    }
    return nBad;
}

std::string BadBlockMessage(int32_t nBad, int32_t nBlocks)
{
    char szText[256];
    std::snprintf(szText, sizeof(szText),
                  "%d Fehler in %d gelesenen Datenblocks\nBitte das Bild noch einmal ausdrucken\n"
                  "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet",
                  static_cast<int>(nBad), static_cast<int>(nBlocks));
    return szText;
}

void AssembleStream(CReceptionState& state)
{
    state.m_nByteCount = 0;
    for (int32_t j = 0; j < state.m_nMaxBlockCount && j < BLOCK_TABLE_SIZE; ++j) {
        int32_t nLength = state.m_Blocks[j].m_nLength;
        if (nLength > BLOCK_ENTRIES)
            nLength = BLOCK_ENTRIES;
        for (int32_t k = 0; k < nLength && state.m_nByteCount < RAW_STREAM_SIZE; ++k)
            state.m_RawStream[state.m_nByteCount++] = static_cast<uint8_t>(state.m_Blocks[j].m_Entries[k]);
    }
}
