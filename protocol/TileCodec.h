#pragma once
// Colour numbers 0..3 (white to black) to the console's tile stream and back. A tile row's first
// byte holds bit 0 of each pixel's colour number, the second byte bit 1; bit 7 is the leftmost
// pixel.
#include <cstdint>
#include <vector>

#include "protocol/TileGeometry.h"

// Colour numbers row by row, TILE_PICTURE_WIDTH to a row, nRows rows -> the tile stream of the
// nRows / 8 whole bands.
std::vector<uint8_t> EncodeTiles(const std::vector<uint8_t>& levels, int32_t nRows);

// Colour number of pixel (x, y) of a tile stream; 0 (white) outside it.
uint8_t TileLevelAt(const std::vector<uint8_t>& tiles, int32_t x, int32_t y);

// Pixel value (0x00RRGGBB) of a colour number 0..3.
uint32_t TileColour(unsigned nColour);

// Colour number of pixel q of a tile row (bit q of both bytes; q = 0 is the rightmost pixel).
constexpr unsigned TileRowColour(uint8_t nLo, uint8_t nHi, int32_t q)
{
    return ((nLo >> q) & 1u) + 2u * ((nHi >> q) & 1u);
}

// Calls fnPixel(x, y, colour number) for every pixel of the whole bands among the first nBytes
// bytes of pTiles, in the order the bytes lie: band by band, tile by tile, row by row, and in a
// row from bit 0 (the rightmost pixel) to bit 7. Nothing for a null stream or a count below 320.
template <class PixelFn>
void ForEachTilePixel(const uint8_t* pTiles, int32_t nBytes, PixelFn&& fnPixel)
{
    if (pTiles == nullptr || nBytes <= 0)
        return;
    const int32_t nBands = nBytes / BAND_BYTES;
    int32_t i = 0;
    for (int32_t nBand = 0; nBand < nBands; ++nBand)
        for (int32_t x0 = 0; x0 < TILE_PICTURE_WIDTH; x0 += TILE_PIXELS)
            for (int32_t r = 0; r < BAND_ROWS; ++r) {
                const uint8_t nLo = pTiles[i];
                const uint8_t nHi = pTiles[i + 1];
                for (int32_t q = 0; q < TILE_PIXELS; ++q)
                    fnPixel(x0 + 7 - q, BAND_ROWS * nBand + r, TileRowColour(nLo, nHi, q));
                i += TILE_ROW_BYTES;
            }
}
