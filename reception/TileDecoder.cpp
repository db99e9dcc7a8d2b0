#include "reception/TileDecoder.h"

#include <algorithm>

#include "bitmap/CDib.h"

namespace {
// The view keeps 20000 bytes: whole bands beyond them are never read.
int32_t KeptTileBytes(int32_t nTileBytes)
{
    return std::clamp(nTileBytes, 0, TILE_DATA_SIZE);
}
}  // namespace

void DecodeTiles(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib)
{
    ForEachTilePixel(pTileData, KeptTileBytes(nTileBytes),
                     [&dib](int32_t x, int32_t y, unsigned nColour) { dib.SetPixel(CPoint{x, y}, TileColour(nColour)); });
}

bool CreateReceivedPicture(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib)
{
    const int32_t nBytes = KeptTileBytes(nTileBytes);
    if (!dib.Create(TILE_PICTURE_WIDTH, TilePictureRows(nBytes)))
        return false;
    DecodeTiles(pTileData, nBytes, dib);
    return true;
}
