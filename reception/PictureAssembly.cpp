#include "reception/PictureAssembly.h"

#include <cstring>

#include "reception/BlockRepair.h"
#include "reception/ReceptionState.h"

int32_t ExpandRuns(const uint8_t* pIn, int32_t nIn, uint8_t* pOut, int32_t nOutMax)
{
    // Whole runs at a time; what would pass nOutMax is dropped.
    int32_t nOut = 0;
    auto room = [&](int32_t nWanted) { return nWanted < nOutMax - nOut ? nWanted : nOutMax - nOut; };

    // A control byte below 0x80 is followed by control + 1 bytes to copy (fewer where the
    // input ends); from 0x80 on by one byte to repeat (control & 0x7F) + 2 times.
    int32_t i = 0;
    while (i < nIn) {
        const uint8_t nControl = pIn[i++];
        if (nControl < 0x80) {
            const int32_t nLiteral = nControl + 1 < nIn - i ? nControl + 1 : nIn - i;
            const int32_t nCopy = room(nLiteral);
            if (pOut != nullptr && nCopy > 0)
                std::memcpy(pOut + nOut, pIn + i, static_cast<size_t>(nCopy));
            nOut += nCopy > 0 ? nCopy : 0;
            i += nLiteral;
        } else if (i < nIn) {
            const int32_t nFill = room((nControl & 0x7F) + 2);
            if (pOut != nullptr && nFill > 0)
                std::memset(pOut + nOut, pIn[i], static_cast<size_t>(nFill));
            nOut += nFill > 0 ? nFill : 0;
            ++i;
        }
    }
    return nOut;
}

int32_t ExpandRle(CReceptionState& state)
{
    const int32_t nIn = state.m_nByteCount < RAW_STREAM_SIZE ? state.m_nByteCount : RAW_STREAM_SIZE;
    int32_t nOut = ExpandRuns(state.m_RawStream, nIn, state.m_PictureData, EXPAND_LIMIT);
    // One more band in which every pixel has colour number 2.
    for (int32_t n = 0; n < BAND_BYTES / 2; ++n) {
        for (const uint8_t b : {uint8_t{0x00}, uint8_t{0xFF}})
            if (nOut < EXPAND_LIMIT)
                state.m_PictureData[nOut++] = b;
    }
    return nOut;
}

void AssemblePicture(CReceptionState& state)
{
    AssembleStream(state);
    if (state.m_nByteCount > 0)
        std::memcpy(state.m_PictureData, state.m_RawStream, static_cast<size_t>(state.m_nByteCount));
    if (state.m_nPackedCount > state.m_nPlainCount)
        state.m_nByteCount = ExpandRle(state);
}
