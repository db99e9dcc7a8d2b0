#include "reception/TileDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "bitmap/CDib.h"

namespace {

// The view keeps 20000 bytes: whole bands beyond them are never read.
int32_t KeptTileBytes(int32_t nTileBytes)
{
    return std::clamp(nTileBytes, 0, TILE_DATA_SIZE);
}

// Four pixels in the pixel block's byte order (blue, green, red), for each combination of
// their four colour numbers: the leftmost pixel's number in the top two bits of the index.
struct CQuad {
    uint8_t bytes[12];
};

const std::array<CQuad, 256>& Quads()
{
    static const std::array<CQuad, 256> QUADS = [] {
        std::array<CQuad, 256> quads{};
        for (unsigned nIndex = 0; nIndex < 256; ++nIndex)
            for (unsigned x = 0; x < 4; ++x) {
                const uint32_t nColour = TileColour((nIndex >> (6 - 2 * x)) & 3);
                quads[nIndex].bytes[3 * x + 0] = static_cast<uint8_t>(nColour);
                quads[nIndex].bytes[3 * x + 1] = static_cast<uint8_t>(nColour >> 8);
                quads[nIndex].bytes[3 * x + 2] = static_cast<uint8_t>(nColour >> 16);
            }
        return quads;
    }();
    return QUADS;
}

// Four bits spread to every other bit: abcd -> 0a0b0c0d.
constexpr uint8_t SPREAD[16] = {0x00, 0x01, 0x04, 0x05, 0x10, 0x11, 0x14, 0x15,
                                0x40, 0x41, 0x44, 0x45, 0x50, 0x51, 0x54, 0x55};

// Four pixels' bytes, copied as three words (no buffer between: this runs for every tile row).
inline void PutQuad(const CQuad& quad, uint8_t* pOut)
{
    std::memcpy(pOut, quad.bytes, 4);
    std::memcpy(pOut + 4, quad.bytes + 4, 4);
    std::memcpy(pOut + 8, quad.bytes + 8, 4);
}

// The 8 pixels of one tile row as 24 bytes. Bit 7 of both bytes is the leftmost pixel; the
// second byte gives the upper bit of each colour number.
inline void PutTileRow(const std::array<CQuad, 256>& quads, uint8_t nLo, uint8_t nHi, uint8_t* pOut)
{
    PutQuad(quads[SPREAD[nLo >> 4] | SPREAD[nHi >> 4] << 1], pOut);
    PutQuad(quads[SPREAD[nLo & 15] | SPREAD[nHi & 15] << 1], pOut + 12);
}

}  // namespace

namespace {

void DecodeBands(const uint8_t* pTileData, int32_t nBytes, CDib& dib)
{
    // The pictures of reception are 24-bit and 160 wide: their rows are written whole, four
    // pixels at a time. Any other picture gets the same pixels one by one, as far as it reaches.
    if (dib.GetBitCount() != 24 || dib.GetDimensions().cx < TILE_PICTURE_WIDTH) {
        ForEachTilePixel(pTileData, nBytes,
                         [&dib](int32_t x, int32_t y, unsigned nColour) { dib.SetPixel(CPoint{x, y}, TileColour(nColour)); });
        return;
    }
    if (pTileData == nullptr)
        return;
    const std::array<CQuad, 256>& quads = Quads();
    const int32_t nBands = nBytes / BAND_BYTES;
    for (int32_t nBand = 0; nBand < nBands; ++nBand)
        for (int32_t r = 0; r < BAND_ROWS; ++r) {
            uint8_t* pRow = dib.GetRowBits(BAND_ROWS * nBand + r);
            if (pRow == nullptr)
                continue;  // a row beyond the picture
            // The row's two bytes in the first tile; the next tile's lie a tile further on.
            const uint8_t* pPair = pTileData + nBand * BAND_BYTES + r * TILE_ROW_BYTES;
            for (int32_t t = 0; t < TILES_PER_BAND; ++t, pPair += TILE_BYTES)
                PutTileRow(quads, pPair[0], pPair[1], pRow + 3 * TILE_PIXELS * t);
        }
}

}  // namespace

void DecodeTiles(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib)
{
    DecodeBands(pTileData, KeptTileBytes(nTileBytes), dib);
}

bool CreateTilePicture(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib)
{
    const int32_t nBytes = std::max(nTileBytes, 0);
    if (!dib.Create(TILE_PICTURE_WIDTH, TilePictureRows(nBytes)))
        return false;
    DecodeBands(pTileData, nBytes, dib);
    return true;
}

bool CreateReceivedPicture(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib)
{
    const int32_t nBytes = KeptTileBytes(nTileBytes);
    if (!dib.Create(TILE_PICTURE_WIDTH, TilePictureRows(nBytes)))
        return false;
    DecodeTiles(pTileData, nBytes, dib);
    return true;
}
