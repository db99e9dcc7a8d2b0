#include "reception/BlockConfirm.h"

#include <algorithm>
#include <cstring>

#include "reception/ReceptionState.h"

namespace {

// A missed clock damages the bytes around the ones the line marked: the slow byte, the byte
// cut on lost sync after it, and the byte before, when the stall swallowed the gap before the
// slow one. Bytes within this distance of a mark are not taken as witnesses.
constexpr int32_t MARK_REACH = 2;
// Bytes the copies leave undecided that the sum may settle, when exactly one choice among the
// values the copies show there adds up to it. Two flips that cancel leave two such choices.
constexpr int32_t MAX_OPEN_BYTES = 4;

struct COpenByte {
    int32_t nAt;
    uint8_t values[BLOCK_COPIES];
    int32_t nValues;
};

// The one choice of values for the open bytes that brings the total to the sum, counting at
// most two; the choice found is left in pChoice (one index into values per open byte).
int32_t CountChoices(const COpenByte* pOpen, int32_t nOpen, int32_t nAt, uint32_t nTotal, uint16_t nSum,
                     int32_t* pIndex, int32_t* pChoice)
{
    if (nAt == nOpen) {
        if ((nTotal & 0xFFFF) != nSum)
            return 0;
        std::copy(pIndex, pIndex + nOpen, pChoice);
        return 1;
    }
    int32_t nFound = 0;
    for (int32_t i = 0; i < pOpen[nAt].nValues && nFound < 2; ++i) {
        pIndex[nAt] = i;
        nFound += CountChoices(pOpen, nOpen, nAt + 1, nTotal + pOpen[nAt].values[i], nSum, pIndex, pChoice);
    }
    return nFound;
}

bool IsClean(const CBlockCopy& copy, int32_t k)
{
    if (k >= copy.m_nHeard)
        return false;
    const int32_t nFrom = std::max(0, k - MARK_REACH);
    const int32_t nTo = std::min(copy.m_nLength - 1, k + MARK_REACH);
    for (int32_t n = nFrom; n <= nTo; ++n)
        if ((copy.m_Entries[n] >> 8) != 0)
            return false;
    return true;
}

// The values the copies of this length show at byte k (before any silence), into byte; returns
// how many copies show it.
int32_t CollectCandidates(const CBlockCopy* pCopies, int32_t nCopies, int32_t nLength, int32_t k, COpenByte& byte)
{
    byte.nAt = k;
    byte.nValues = 0;
    int32_t nShown = 0;
    for (int32_t a = 0; a < nCopies; ++a) {
        const CBlockCopy& copy = pCopies[a];
        if (copy.m_nLength != nLength || k >= copy.m_nHeard)
            continue;
        ++nShown;
        const uint8_t v = static_cast<uint8_t>(copy.m_Entries[k]);
        if (std::find(byte.values, byte.values + byte.nValues, v) == byte.values + byte.nValues)
            byte.values[byte.nValues++] = v;
    }
    return nShown;
}

bool ConfirmFrom(CReceptionState& state, int32_t nBlock, int32_t nLength, uint16_t nSum)
{
    const int32_t nCopies = state.m_Blocks[nBlock].m_nCopies;
    const CBlockCopy* pCopies = state.m_Blocks[nBlock].m_Copies;
    uint8_t merged[BLOCK_ENTRIES];
    uint32_t nTotal = 0;
    COpenByte open[MAX_OPEN_BYTES + 1];
    int32_t nOpen = 0;
    for (int32_t k = 0; k < nLength; ++k) {
        // The value most clean copies show, and how many show it; the runner-up's count.
        int32_t nBest = -1, nBestVotes = 0, nNextVotes = 0;
        for (int32_t a = 0; a < nCopies; ++a) {
            const CBlockCopy& copy = pCopies[a];
            if (copy.m_nLength != nLength || !IsClean(copy, k))
                continue;
            const uint8_t v = static_cast<uint8_t>(copy.m_Entries[k]);
            if (v == nBest)
                continue;
            int32_t nVotes = 0;
            for (int32_t b = a; b < nCopies; ++b) {
                const CBlockCopy& other = pCopies[b];
                if (other.m_nLength == nLength && static_cast<uint8_t>(other.m_Entries[k]) == v &&
                    IsClean(other, k))
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
        if (nBestVotes == 0)
            return false;  // no copy shows this byte on clean line
        if (nBestVotes < 2 || nBestVotes == nNextVotes) {
            // Undecided: every value a copy of this length shows here is a candidate. Where
            // two or more show it and all show the one value a clean copy shows, two prints
            // agree on it; one copy alone (the others broke off before it) proves nothing.
            COpenByte& byte = open[nOpen];
            if (CollectCandidates(pCopies, nCopies, nLength, k, byte) < 2)
                return false;
            if (byte.nValues == 1) {
                merged[k] = byte.values[0];
                nTotal += merged[k];
                continue;
            }
            if (++nOpen > MAX_OPEN_BYTES)
                return false;
            merged[k] = 0;
            continue;
        }
        merged[k] = static_cast<uint8_t>(nBest);
        nTotal += merged[k];
    }
    if (nOpen > 0) {
        int32_t index[MAX_OPEN_BYTES], choice[MAX_OPEN_BYTES];
        if (CountChoices(open, nOpen, 0, nTotal, nSum, index, choice) != 1)
            return false;
        for (int32_t i = 0; i < nOpen; ++i) {
            merged[open[i].nAt] = open[i].values[choice[i]];
            nTotal += merged[open[i].nAt];
        }
    }
    if ((nTotal & 0xFFFF) != nSum)
        return false;
    for (int32_t k = 0; k < nLength; ++k)
        state.m_Blocks[nBlock].m_Entries[k] = merged[k];
    state.m_Blocks[nBlock].m_nLength = nLength;
    state.m_Blocks[nBlock].m_nSum = nSum;
    return true;
}

}  // namespace

void KeepBlockCopy(CReceptionState& state, int32_t nBlock)
{
    // Of a packet the console broke off, the bytes before the silence still witness; the last
    // of them may have been cut short, and the checksum never came.
    const int32_t nLength = std::clamp(state.m_Blocks[nBlock].m_nLength, 0, BLOCK_ENTRIES);
    const bool bTimedOut = state.m_Blocks[nBlock].m_bTimedOut != 0;
    const int32_t nHeard = bTimedOut ? std::clamp(state.m_Blocks[nBlock].m_nHeard - 1, 0, nLength) : nLength;
    if (nHeard == 0)
        return;
    int32_t& nCopies = state.m_Blocks[nBlock].m_nCopies;
    CBlockCopy* pCopies = state.m_Blocks[nBlock].m_Copies;
    if (nCopies == BLOCK_COPIES) {
        std::memmove(&pCopies[0], &pCopies[1], sizeof(CBlockCopy) * (BLOCK_COPIES - 1));
        --nCopies;
    }
    CBlockCopy& copy = pCopies[nCopies++];
    copy.m_nLength = nLength;
    copy.m_nSum = state.m_Blocks[nBlock].m_nSum;
    copy.m_nHeard = nHeard;
    copy.m_bSumHeard = !bTimedOut;
    std::memcpy(copy.m_Entries, state.m_Blocks[nBlock].m_Entries, sizeof(uint16_t) * static_cast<size_t>(copy.m_nLength));
}

bool ConfirmBlock(CReceptionState& state, int32_t nBlock)
{
    // Every length that two copies agree on, with the sum of each copy of that length, the
    // newest copy's first: the bytes are voted on by the copies, the sum is the last check,
    // and the checksum a print brought may be the damaged part of it.
    const int32_t nCopies = state.m_Blocks[nBlock].m_nCopies;
    const CBlockCopy* pCopies = state.m_Blocks[nBlock].m_Copies;
    for (int32_t a = nCopies - 1; a >= 0; --a) {
        const int32_t nLength = pCopies[a].m_nLength;
        bool bShared = false;
        for (int32_t b = 0; b < nCopies && !bShared; ++b)
            bShared = b != a && pCopies[b].m_nLength == nLength;
        if (nLength > 0 && bShared && pCopies[a].m_bSumHeard && ConfirmFrom(state, nBlock, nLength, pCopies[a].m_nSum))
            return true;
    }
    return false;
}
