#include "reception/BlockRepair.h"

#include <cstdio>

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

}  // namespace

// A byte cut short after G bits holds only those bits, right-aligned; the 8 - G bits it lost
// went to the end of the byte before it. Pass 1 shifts the neighbour's bits back in; when a
// block has exactly one cut byte, passes 3 and 5 try putting the whole difference into the
// byte before it instead. Passes 0, 2, 4 and 6 only measure.
bool RepairBlock(CReceptionState& state, int32_t nBlock)
{
    uint16_t* pEntries = state.m_BlockData[nBlock];
    int32_t nLength = state.m_BlockLength[nBlock];
    if (nLength < 0)
        nLength = 0;
    if (nLength > BLOCK_ENTRIES)
        nLength = BLOCK_ENTRIES;
    const uint16_t nExpected = state.m_BlockSum[nBlock];

    int32_t nDiff = 0;
    int32_t nPrevSyncCount = 0;
    uint8_t nPrevByte = 0;
    uint32_t nSum = 0;
    for (int32_t nPass = 0;; ++nPass) {
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
    return (nSum & 0xFFFF) == nExpected;
}

int32_t VerifyBlocks(CReceptionState& state)
{
    int32_t nBad = 0;
    for (int32_t j = 0; j < state.m_nMaxBlockCount && j < BLOCK_TABLE_SIZE; ++j) {
        if (RepairBlock(state, j))
            state.m_BlockGood[j] = 1;
        else
            ++nBad;
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
        int32_t nLength = state.m_BlockLength[j];
        if (nLength > BLOCK_ENTRIES)
            nLength = BLOCK_ENTRIES;
        for (int32_t k = 0; k < nLength && state.m_nByteCount < RAW_STREAM_SIZE; ++k)
            state.m_RawStream[state.m_nByteCount++] = static_cast<uint8_t>(state.m_BlockData[j][k]);
    }
}
