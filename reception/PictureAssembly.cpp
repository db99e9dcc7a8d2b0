#include "reception/PictureAssembly.h"

#include <cstring>

#include "reception/BlockRepair.h"
#include "reception/ReceptionState.h"

int32_t ExpandRuns(const uint8_t* pIn, int32_t nIn, uint8_t* pOut, int32_t nOutMax)
{
    int32_t nOut = 0;
    auto write = [&](uint8_t b) {
        if (nOut < nOutMax) {
            if (pOut != nullptr)
                pOut[nOut] = b;
            ++nOut;
        }
    };

    // remaining: 0 = the next byte is a control byte; above 1 = inside a literal run;
    // -1 = the next byte is the byte of a repeat run.
    int32_t nRemaining = 0;
    uint8_t nControl = 0;
    for (int32_t i = 0; i < nIn; ++i) {
        const uint8_t b = pIn[i];
        if (nRemaining > 1) {
            write(b);
            --nRemaining;
        }
        if (nRemaining == -1) {
            for (int32_t n = (nControl & 0x7F) + 2; n > 0; --n)
                write(b);
            nRemaining = -2;
        }
        if (nRemaining == 0) {
            nControl = b;
            nRemaining = b < 0x80 ? b + 2 : -1;
        }
        if (nRemaining == -2 || nRemaining == 1)
            nRemaining = 0;
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
