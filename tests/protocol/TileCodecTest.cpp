// Colour numbers to tile bytes and back.
#include "protocol/TileCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TileCodec, TileLayoutMatchesTheConsolesFormat)
{
    std::vector<uint8_t> levels(160 * 16, 0);
    levels[0] = 1;                 // leftmost pixel of the first row: 0x80, 0x00
    levels[7] = 3;                 // rightmost of the first tile: 0x01, 0x01
    levels[8] = 2;                 // second tile starts at byte 16
    levels[160 * 8] = 3;           // second band starts at byte 320
    const std::vector<uint8_t> tiles = EncodeTiles(levels, 16);
    ASSERT_EQ(tiles.size(), 640u);
    EXPECT_EQ(tiles[0], 0x81);
    EXPECT_EQ(tiles[1], 0x01);
    EXPECT_EQ(tiles[16], 0x00);
    EXPECT_EQ(tiles[17], 0x80);
    EXPECT_EQ(tiles[320], 0x80);
    EXPECT_EQ(tiles[321], 0x80);
    EXPECT_EQ(TileLevelAt(tiles, 200, 0), 0);   // outside: white, no read beyond the stream
    EXPECT_EQ(TileLevelAt(tiles, 0, 16), 0);
}

// Every pixel of a picture that uses all four levels in every tile row comes back where it was,
// through the decoder and through the single-pixel lookup alike; each pixel is visited once.
TEST(TileCodec, EncodedPicturesDecodeToTheSameColourNumbers)
{
    constexpr int32_t nRows = 24;
    std::vector<uint8_t> levels(static_cast<size_t>(TILE_PICTURE_WIDTH) * nRows);
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] = static_cast<uint8_t>((i * 7 + i / 13) % 4);
    const std::vector<uint8_t> tiles = EncodeTiles(levels, nRows);
    ASSERT_EQ(tiles.size(), size_t(3 * BAND_BYTES));

    std::vector<int> visits(levels.size(), 0);
    std::vector<uint8_t> decoded(levels.size(), 0xFF);
    // A count with part of a band beyond the whole ones: that part is not decoded.
    ForEachTilePixel(tiles.data(), static_cast<int32_t>(tiles.size()) - 1, [&](int32_t x, int32_t y, unsigned c) {
        ASSERT_TRUE(x >= 0 && x < TILE_PICTURE_WIDTH && y >= 0 && y < nRows) << x << "," << y;
        const size_t i = static_cast<size_t>(y) * TILE_PICTURE_WIDTH + static_cast<size_t>(x);
        ++visits[i];
        decoded[i] = static_cast<uint8_t>(c);
    });
    for (int32_t y = 0; y < nRows; ++y)
        for (int32_t x = 0; x < TILE_PICTURE_WIDTH; ++x) {
            const size_t i = static_cast<size_t>(y) * TILE_PICTURE_WIDTH + static_cast<size_t>(x);
            ASSERT_EQ(visits[i], y < 16 ? 1 : 0) << x << "," << y;
            if (y < 16) {
                ASSERT_EQ(decoded[i], levels[i]) << x << "," << y;
            }
            ASSERT_EQ(TileLevelAt(tiles, x, y), levels[i]) << x << "," << y;
        }
}

}  // namespace
