#include "reception/TileDecoder.h"

#include "bitmap/CDib.h"
#include "reception/ReceptionState.h"

uint32_t TileColour(unsigned nColour)
{
    static constexpr uint32_t COLOURS[4] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000};
    return COLOURS[nColour & 3];
}

void DecodeTiles(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib)
{
    if (pTileData == nullptr || nTileBytes <= 0)
        return;
    // The view keeps 20000 bytes: whole bands beyond them are never read.
    const int32_t nBytes = nTileBytes < TILE_DATA_SIZE ? nTileBytes : TILE_DATA_SIZE;
    const int32_t nBands = nBytes / BAND_BYTES;
    int32_t i = 0;
    for (int32_t n = 0; n < nBands; ++n) {
        for (int32_t x0 = 0; x0 < 160; x0 += 8) {
            for (int32_t r = 0; r < 8; ++r) {
                const uint8_t nLo = pTileData[i];
                const uint8_t nHi = pTileData[i + 1];
                for (int32_t q = 0; q < 8; ++q) {
                    const unsigned c = ((nLo >> q) & 1u) + 2u * ((nHi >> q) & 1u);
                    dib.SetPixel(CPoint{x0 + 7 - q, 8 * n + r}, TileColour(c));
                }
                i += 2;
            }
        }
    }
}
