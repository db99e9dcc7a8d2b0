#pragma once
// The console's picture as it travels: bands of 8 pixel rows, 20 tiles of 8 x 8 pixels to a
// band, left to right, bands from top to bottom; a tile row is two bytes.
#include <cstdint>

constexpr int32_t TILE_PIXELS = 8;                                      // a tile is 8 x 8 pixels
constexpr int32_t TILE_ROW_BYTES = 2;                                   // bit 0 of each pixel, then bit 1
constexpr int32_t TILE_BYTES = TILE_PIXELS * TILE_ROW_BYTES;            // 16
constexpr int32_t TILES_PER_BAND = 20;
constexpr int32_t BAND_ROWS = TILE_PIXELS;                              // pixel rows of one band
constexpr int32_t BAND_BYTES = TILES_PER_BAND * TILE_BYTES;             // 320
constexpr int32_t TILE_PICTURE_WIDTH = TILES_PER_BAND * TILE_PIXELS;    // 160 pixels
// The picture bytes the view takes over from the receive dialog: 62 whole bands and a part.
constexpr int32_t TILE_DATA_SIZE = 20000;

// Pixel rows of the picture made of the whole bands of nBytes tile bytes.
constexpr int32_t TilePictureRows(int32_t nBytes)
{
    return nBytes > 0 ? BAND_ROWS * (nBytes / BAND_BYTES) : 0;
}
