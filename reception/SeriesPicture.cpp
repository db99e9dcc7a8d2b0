#include "reception/SeriesPicture.h"

#include "protocol/RunLength.h"
#include "protocol/TileCodec.h"
#include "reception/PrintSeries.h"
#include "reception/ReceptionState.h"

uint8_t PaletteShade(uint8_t nPalette, unsigned nColour)
{
    if (nPalette == 0x00)
        nPalette = 0xE4;
    return static_cast<uint8_t>((nPalette >> (2 * (nColour & 3))) & 3);
}

void ApplyPalette(uint8_t* pTiles, int32_t nBytes, uint8_t nPalette)
{
    uint8_t shades[4];
    for (unsigned c = 0; c < 4; ++c)
        shades[c] = PaletteShade(nPalette, c);
    for (int32_t i = 0; i + 1 < nBytes; i += 2) {
        const uint8_t nLo = pTiles[i];
        const uint8_t nHi = pTiles[i + 1];
        uint8_t nNewLo = 0;
        uint8_t nNewHi = 0;
        for (int32_t q = 0; q < 8; ++q) {
            const uint8_t s = shades[TileRowColour(nLo, nHi, q)];
            nNewLo = static_cast<uint8_t>(nNewLo | ((s & 1u) << q));
            nNewHi = static_cast<uint8_t>(nNewHi | ((s >> 1) << q));
        }
        pTiles[i] = nNewLo;
        pTiles[i + 1] = nNewHi;
    }
}

int32_t AssembleSeries(const CPrintSeries& series, uint8_t* pOut, int32_t nOutMax, bool& bWholeBands)
{
    return AssembleSeries(series, pOut, nOutMax, bWholeBands, nullptr);
}

std::vector<int32_t> SeriesPrintEnds(const CPrintSeries& series)
{
    std::vector<int32_t> ends(static_cast<size_t>(series.m_nPrints));
    bool bWholeBands = false;
    AssembleSeries(series, nullptr, SERIES_PICTURE_LIMIT, bWholeBands, ends.data());
    return ends;
}

int32_t AssembleSeries(const CPrintSeries& series, uint8_t* pOut, int32_t nOutMax, bool& bWholeBands, int32_t* pEnds)
{
    bWholeBands = true;
    int32_t nOut = 0;
    for (int32_t k = 0; k < series.m_nPrints; ++k) {
        const CSeriesPrint& print = series.m_Prints[k];
        const int32_t nStart = nOut;
        for (int32_t c = print.m_nFirst; c < print.m_nEnd; ++c) {
            const CSeriesBlock& block = series.m_Blocks[c];
            uint8_t* pAt = pOut != nullptr ? pOut + nOut : nullptr;
            if (block.m_nPacked == 0x01) {
                nOut += ExpandRuns(block.m_Bytes, block.m_nLength, pAt, nOutMax - nOut);
            } else {
                int32_t n = block.m_nLength < nOutMax - nOut ? block.m_nLength : nOutMax - nOut;
                if (n < block.m_nLength)
                    bWholeBands = false;
                for (int32_t i = 0; i < n && pAt != nullptr; ++i)
                    pAt[i] = block.m_Bytes[i];
                nOut += n;
            }
        }
        if ((nOut - nStart) % BAND_BYTES != 0 || nOut == nOutMax)
            bWholeBands = false;
        if (pEnds != nullptr)
            pEnds[k] = nOut;
        if (pOut != nullptr)
            ApplyPalette(pOut + nStart, nOut - nStart, print.m_Args[PRINT_ARG_PALETTE]);
    }
    return nOut;
}
