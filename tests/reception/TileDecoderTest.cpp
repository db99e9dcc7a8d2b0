// From tile bytes to pixels.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap/CDib.h"
#include "reception/TileDecoder.h"

namespace {

void Decode(const std::vector<uint8_t>& bytes, int32_t nCount, CDib& dib)
{
    ASSERT_TRUE(CreateReceivedPicture(bytes.data(), nCount, dib));
}

struct CPixelCase {
    const char* pName;
    size_t nIndex;        // first of the two bytes of one tile row
    uint8_t nLo, nHi;
    CPoint pt;            // the pixel they colour
    uint32_t nColour;
};

class DecodeTilesPixelTest : public ::testing::TestWithParam<CPixelCase> {};

TEST_P(DecodeTilesPixelTest, OnePixelOfOneRow)
{
    const CPixelCase& c = GetParam();
    std::vector<uint8_t> bytes(640, 0);
    bytes[c.nIndex] = c.nLo;
    bytes[c.nIndex + 1] = c.nHi;
    CDib dib;
    Decode(bytes, 640, dib);
    EXPECT_EQ(dib.GetPixel(c.pt), c.nColour);
    // Everything else in the row of that tile stays white.
    for (int32_t x = 0; x < 160; ++x) {
        if (x == c.pt.x)
            continue;
        EXPECT_EQ(dib.GetPixel(CPoint{x, c.pt.y}), 0xFFFFFFu) << x;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodeTilesPixelTest,
    ::testing::Values(CPixelCase{"LowBitLeftmost", 0, 0x80, 0x00, {0, 0}, 0xCCCCCC},
                      CPixelCase{"HighBitLeftmost", 0, 0x00, 0x80, {0, 0}, 0xAAAAAA},
                      CPixelCase{"BothBitsRightmost", 0, 0x01, 0x01, {7, 0}, 0x000000},
                      CPixelCase{"SecondRowOfTile", 2, 0x80, 0x80, {0, 1}, 0x000000},
                      CPixelCase{"SecondTile", 16, 0x80, 0x00, {8, 0}, 0xCCCCCC},
                      CPixelCase{"LastTileLastRow", 318, 0x01, 0x00, {159, 7}, 0xCCCCCC},
                      CPixelCase{"SecondBand", 320, 0x80, 0x80, {0, 8}, 0x000000}),
    [](const ::testing::TestParamInfo<CPixelCase>& info) { return info.param.pName; });

// The picture's size follows the whole bands of the bytes the view keeps; every row of it is
// decoded (all bytes 0xFF: black) and nothing beyond.
struct CSizeCase {
    const char* pName;
    int32_t nCount;
    int32_t nRows;
};

class ReceivedPictureSizeTest : public ::testing::TestWithParam<CSizeCase> {};

TEST_P(ReceivedPictureSizeTest, WholeBandsOfTheKeptBytes)
{
    const CSizeCase& c = GetParam();
    const std::vector<uint8_t> bytes(20000, 0xFF);
    CDib dib;
    Decode(bytes, c.nCount, dib);
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, c.nRows}));
    if (c.nRows > 0) {
        EXPECT_EQ(dib.GetPixel(CPoint{159, c.nRows - 1}), 0x000000u);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, ReceivedPictureSizeTest,
                         ::testing::Values(CSizeCase{"NoData", 0, 0}, CSizeCase{"NegativeCount", -320, 0},
                                           CSizeCase{"LessThanABand", 319, 0},
                                           CSizeCase{"IncompleteBandIsIgnored", 650, 16},
                                           CSizeCase{"StandardPicture", 5760, 144},
                                           CSizeCase{"CompressedWithPadding", 6080, 152},
                                           CSizeCase{"CountBeyondTheKeptBytes", 20160, 496}),
                         [](const ::testing::TestParamInfo<CSizeCase>& info) { return info.param.pName; });

TEST(DecodeTiles, NeverReadsBeyondTwentyThousandBytes)
{
    // A count above the 20000 bytes the view keeps decodes the 62 whole bands it holds.
    std::vector<uint8_t> bytes(20000, 0xFF);
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 8 * 63));
    DecodeTiles(bytes.data(), 20160, dib);
    EXPECT_EQ(dib.GetPixel(CPoint{0, 495}), 0x000000u);
    EXPECT_EQ(dib.GetPixel(CPoint{0, 496}), 0xFFFFFFu);
}

TEST(DecodeTiles, PicturesOfOtherShapesGetThePixelsTheyHave)
{
    // Two bands: the first black, the second in colour number 1.
    std::vector<uint8_t> bytes(640, 0xFF);
    for (size_t i = 320; i < 640; i += 2)
        bytes[i + 1] = 0x00;
    struct {
        int32_t nWidth, nHeight;
        CPoint ptLast;  // the last pixel of the second band that the picture has
    } cases[] = {{160, 16, {159, 15}}, {100, 16, {99, 15}}, {200, 16, {159, 15}}, {160, 12, {159, 11}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nWidth) + " x " + std::to_string(c.nHeight));
        CDib dib;
        ASSERT_TRUE(dib.Create(c.nWidth, c.nHeight));
        DecodeTiles(bytes.data(), 640, dib);
        EXPECT_EQ(dib.GetPixel(CPoint{0, 0}), 0x000000u);
        EXPECT_EQ(dib.GetPixel(c.ptLast), 0xCCCCCCu);
        EXPECT_EQ(dib.GetPixel(CPoint{c.nWidth - 1, 0}), c.nWidth > 160 ? 0xFFFFFFu : 0x000000u);
    }
}

TEST(DecodeTiles, NothingForNoBytes)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 8));
    DecodeTiles(nullptr, 320, dib);
    DecodeTiles(std::vector<uint8_t>(320, 0xFF).data(), -5, dib);
    EXPECT_EQ(dib.GetPixel(CPoint{0, 0}), 0xFFFFFFu);
}

}  // namespace
