#include "reception/PictureAssembly.h"

#include <algorithm>
#include <cstring>

#include "protocol/RunLength.h"
#include "reception/BlockRepair.h"
#include "reception/ReceptionState.h"

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

CPictureShape ShapeOfPicture(const CReceptionState& state)
{
    CPictureShape shape;
    const bool bPacked = state.m_nPackedCount > state.m_nPlainCount;
    bool bWholeBlocks = true;
    int32_t nAt = 0;
    for (int32_t j = 0; j < state.m_nMaxBlockCount && j < BLOCK_TABLE_SIZE; ++j) {
        const int32_t nLength = std::min(std::clamp(state.m_Blocks[j].m_nLength, 0, BLOCK_ENTRIES), RAW_STREAM_SIZE - nAt);
        const int32_t nBytes = bPacked ? ExpandRuns(state.m_RawStream + nAt, nLength, nullptr, EXPAND_LIMIT) : nLength;
        if (bPacked && (nBytes == 0 || nBytes % BAND_BYTES != 0))
            bWholeBlocks = false;
        shape.nDataBytes += nBytes;
        nAt += nLength;
    }
    shape.bWholeBands = bWholeBlocks && shape.nDataBytes > 0 && shape.nDataBytes % BAND_BYTES == 0;
    return shape;
}
