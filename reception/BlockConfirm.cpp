#include "reception/BlockConfirm.h"

#include <algorithm>
#include <cstring>

#include "reception/ReceptionState.h"

namespace {

// A missed clock damages the bytes around the ones the line marked: the slow byte, the byte
// cut on lost sync after it, and the byte before, when the stall swallowed the gap before the
// slow one. Bytes within this distance of a mark are not taken as witnesses.
constexpr int32_t MARK_REACH = 2;

bool IsClean(const CBlockCopy& copy, int32_t k)
{
    const int32_t nFrom = std::max(0, k - MARK_REACH);
    const int32_t nTo = std::min(copy.m_nLength - 1, k + MARK_REACH);
    for (int32_t n = nFrom; n <= nTo; ++n)
        if ((copy.m_Entries[n] >> 8) != 0)
            return false;
    return true;
}

bool ConfirmFrom(CReceptionState& state, int32_t nBlock, int32_t nLength, uint16_t nSum)
{
    const int32_t nCopies = state.m_nCopies[nBlock];
    const CBlockCopy* pCopies = state.m_Copies[nBlock];
    uint8_t merged[BLOCK_ENTRIES];
    uint32_t nTotal = 0;
    for (int32_t k = 0; k < nLength; ++k) {
        // The value most clean copies show, and how many show it; the runner-up's count.
        int32_t nBest = -1, nBestVotes = 0, nNextVotes = 0;
        for (int32_t a = 0; a < nCopies; ++a) {
            const CBlockCopy& copy = pCopies[a];
            if (copy.m_nLength != nLength || copy.m_nSum != nSum || !IsClean(copy, k))
                continue;
            const uint8_t v = static_cast<uint8_t>(copy.m_Entries[k]);
            if (v == nBest)
                continue;
            int32_t nVotes = 0;
            for (int32_t b = a; b < nCopies; ++b) {
                const CBlockCopy& other = pCopies[b];
                if (other.m_nLength == nLength && other.m_nSum == nSum &&
                    static_cast<uint8_t>(other.m_Entries[k]) == v && IsClean(other, k))
                    ++nVotes;
            }
            if (nVotes > nBestVotes) {
                nNextVotes = nBestVotes;
                nBestVotes = nVotes;
                nBest = v;
            } else if (nVotes > nNextVotes) {
                nNextVotes = nVotes;
            }
        }
        if (nBestVotes < 2 || nBestVotes == nNextVotes)
            return false;
        merged[k] = static_cast<uint8_t>(nBest);
        nTotal += merged[k];
    }
    if ((nTotal & 0xFFFF) != nSum)
        return false;
    for (int32_t k = 0; k < nLength; ++k)
        state.m_BlockData[nBlock][k] = merged[k];
    state.m_BlockLength[nBlock] = nLength;
    state.m_BlockSum[nBlock] = nSum;
    return true;
}

}  // namespace

void KeepBlockCopy(CReceptionState& state, int32_t nBlock)
{
    if (state.m_BlockTimedOut[nBlock])
        return;
    int32_t& nCopies = state.m_nCopies[nBlock];
    CBlockCopy* pCopies = state.m_Copies[nBlock];
    if (nCopies == BLOCK_COPIES) {
        std::memmove(&pCopies[0], &pCopies[1], sizeof(CBlockCopy) * (BLOCK_COPIES - 1));
        --nCopies;
    }
    CBlockCopy& copy = pCopies[nCopies++];
    copy.m_nLength = std::clamp(state.m_BlockLength[nBlock], 0, BLOCK_ENTRIES);
    copy.m_nSum = state.m_BlockSum[nBlock];
    std::memcpy(copy.m_Entries, state.m_BlockData[nBlock], sizeof(uint16_t) * static_cast<size_t>(copy.m_nLength));
}

bool ConfirmBlock(CReceptionState& state, int32_t nBlock)
{
    // Every length and sum that two copies agree on, the newest copy's first.
    const int32_t nCopies = state.m_nCopies[nBlock];
    const CBlockCopy* pCopies = state.m_Copies[nBlock];
    for (int32_t a = nCopies - 1; a > 0; --a) {
        for (int32_t b = a - 1; b >= 0; --b) {
            if (pCopies[a].m_nLength == pCopies[b].m_nLength && pCopies[a].m_nSum == pCopies[b].m_nSum &&
                pCopies[a].m_nLength > 0 && ConfirmFrom(state, nBlock, pCopies[a].m_nLength, pCopies[a].m_nSum))
                return true;
        }
    }
    return false;
}
