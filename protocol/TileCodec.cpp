#include "protocol/TileCodec.h"

#include <cstddef>

std::vector<uint8_t> EncodeTiles(const std::vector<uint8_t>& levels, int32_t nRows)
{
    const int32_t nBands = nRows > 0 ? nRows / BAND_ROWS : 0;
    std::vector<uint8_t> tiles(static_cast<size_t>(nBands) * BAND_BYTES, 0);
    size_t i = 0;
    for (int32_t nBand = 0; nBand < nBands; ++nBand)
        for (int32_t x0 = 0; x0 < TILE_PICTURE_WIDTH; x0 += TILE_PIXELS)
            for (int32_t r = 0; r < BAND_ROWS; ++r) {
                uint8_t nLo = 0;
                uint8_t nHi = 0;
                const int32_t y = nBand * BAND_ROWS + r;
                for (int32_t q = 0; q < TILE_PIXELS; ++q) {
                    const uint8_t c = levels[static_cast<size_t>(y) * TILE_PICTURE_WIDTH + x0 + 7 - q] & 3;
                    nLo |= static_cast<uint8_t>((c & 1) << q);
                    nHi |= static_cast<uint8_t>(((c >> 1) & 1) << q);
                }
                tiles[i++] = nLo;
                tiles[i++] = nHi;
            }
    return tiles;
}

uint8_t TileLevelAt(const std::vector<uint8_t>& tiles, int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= TILE_PICTURE_WIDTH)
        return 0;
    const size_t i = static_cast<size_t>(y / BAND_ROWS) * BAND_BYTES + static_cast<size_t>(x / TILE_PIXELS) * TILE_BYTES +
                     static_cast<size_t>(y % BAND_ROWS) * TILE_ROW_BYTES;
    if (i + 1 >= tiles.size())
        return 0;
    const int q = 7 - x % TILE_PIXELS;
    return static_cast<uint8_t>(((tiles[i] >> q) & 1) | (((tiles[i + 1] >> q) & 1) << 1));
}

uint32_t TileColour(unsigned nColour)
{
    static constexpr uint32_t COLOURS[4] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000};
    return COLOURS[nColour & 3];
}
