// PNG files in and out, and pictures enlarged block by block.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "BmpBytes.h"
#include "bitmap/CDib.h"
#include "bitmap/DibPng.h"
#include "bitmap/DibScale.h"
#include "bitmap/LittleEndian.h"

namespace {

// A picture of the given depth from a bitmap recipe (pixel byte i = i & 0xFF, colour entry i =
// (i, i+1, i+2)).
void LoadRecipe(CDib& dib, int32_t nWidth, int32_t nHeight, uint16_t nBits)
{
    CBmpRecipe recipe;
    recipe.nWidth = nWidth;
    recipe.nHeight = nHeight;
    recipe.nBitCount = nBits;
    recipe.nColorEntries = nBits <= 8 ? (1u << nBits) : 0;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile(recipe)).Ok());
}

// The colour (0x00RRGGBB) of pixel (x, y) whatever the depth, read from the stored bytes.
uint32_t ColourAt(const CDib& dib, int32_t x, int32_t y)
{
    const uint8_t* pRow = dib.GetRowBits(y);
    const uint16_t nBits = dib.GetBitCount();
    if (nBits == 24)
        return uint32_t(pRow[3 * x]) | uint32_t(pRow[3 * x + 1]) << 8 | uint32_t(pRow[3 * x + 2]) << 16;
    const uint32_t nBit = uint32_t(x) * nBits;
    const uint32_t nIndex = (pRow[nBit / 8] >> (8 - nBits - nBit % 8)) & ((1u << nBits) - 1);
    if (int32_t(nIndex) >= dib.GetColorCount())
        return 0;
    const uint8_t* pEntry = dib.GetColorTable() + 4 * nIndex;
    return uint32_t(pEntry[0]) | uint32_t(pEntry[1]) << 8 | uint32_t(pEntry[2]) << 16;
}

std::string Encode(const CDib& dib)
{
    std::string bytes;
    EXPECT_TRUE(EncodePng(dib, bytes).Ok());
    return bytes;
}

CResult Decode(CDib& dib, const std::string& bytes)
{
    return ReadPng(dib, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(DibPng, EveryDepthComesBackAsThe24BitPictureOfItsColours)
{
    struct {
        uint16_t nBits;
        int32_t nWidth, nHeight;
    } cases[] = {{24, 7, 5}, {8, 9, 4}, {4, 5, 3}, {1, 13, 3}, {24, 160, 144}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nBits);
        CDib source;
        LoadRecipe(source, c.nWidth, c.nHeight, c.nBits);
        const std::string png = Encode(source);
        ASSERT_TRUE(IsPngSignature(reinterpret_cast<const uint8_t*>(png.data()), png.size()));
        CDib back;
        ASSERT_TRUE(Decode(back, png).Ok());
        ASSERT_EQ(back.GetDimensions(), (CSize{c.nWidth, c.nHeight}));
        EXPECT_EQ(back.GetBitCount(), 24);
        EXPECT_EQ(back.GetColorCount(), 0);
        // As a picture made by the program: the same header as Create gives.
        CDib made;
        made.Create(c.nWidth, c.nHeight);
        EXPECT_EQ(std::memcmp(back.GetHeaderBlock(), made.GetHeaderBlock(), DIB_INFO_HEADER_SIZE), 0);
        for (int32_t y = 0; y < c.nHeight; ++y)
            for (int32_t x = 0; x < c.nWidth; ++x)
                ASSERT_EQ(back.GetPixel({x, y}), ColourAt(source, x, y)) << x << "," << y;
    }
}

// PNG files as other programs write them, through libpng's simple writer.
std::string ForeignPng(uint32_t nFormat, int32_t nWidth, int32_t nHeight, const std::vector<uint8_t>& pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.format = nFormat;
    image.width = uint32_t(nWidth);
    image.height = uint32_t(nHeight);
    png_alloc_size_t nSize = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &nSize, 0, pixels.data(), 0, nullptr));
    std::string bytes(nSize, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &nSize, 0, pixels.data(), 0, nullptr));
    bytes.resize(nSize);
    return bytes;
}

TEST(DibPng, ForeignKindsBecomeTheirColoursAndTransparencyLiesOnWhite)
{
    struct {
        const char* pName;
        uint32_t nFormat;
        std::vector<uint8_t> pixels;  // two pixels
        uint32_t nLeft, nRight;
    } cases[] = {
        {"grey", PNG_FORMAT_GRAY, {0x00, 0xAA}, 0x000000, 0xAAAAAA},
        {"rgb", PNG_FORMAT_RGB, {1, 2, 3, 250, 128, 0}, 0x010203, 0xFA8000},
        {"opaque and clear", PNG_FORMAT_RGBA, {10, 20, 30, 255, 0, 0, 0, 0}, 0x0A141E, 0xFFFFFF},
        {"half clear black", PNG_FORMAT_RGBA, {0, 0, 0, 128, 200, 100, 0, 255}, 0x7F7F7F, 0xC86400},
        {"grey with alpha", PNG_FORMAT_GA, {0x40, 0xFF, 0x00, 0x00}, 0x404040, 0xFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        CDib dib;
        ASSERT_TRUE(Decode(dib, ForeignPng(c.nFormat, 2, 1, c.pixels)).Ok());
        EXPECT_EQ(dib.GetBitCount(), 24);
        EXPECT_EQ(dib.GetPixel({0, 0}), c.nLeft);
        EXPECT_EQ(dib.GetPixel({1, 0}), c.nRight);
    }
}

// The chunk starting at nAt gets its check sum recomputed after a change.
void FixCrc(std::string& png, size_t nAt)
{
    const uint32_t nLength = uint32_t(uint8_t(png[nAt])) << 24 | uint32_t(uint8_t(png[nAt + 1])) << 16 |
                             uint32_t(uint8_t(png[nAt + 2])) << 8 | uint8_t(png[nAt + 3]);
    const uint32_t nCrc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(png.data() + nAt + 4), nLength + 4));
    for (int i = 0; i < 4; ++i)
        png[nAt + 8 + nLength + size_t(i)] = char(nCrc >> (24 - 8 * i));
}

// IHDR follows the signature; its width at 16 and height at 20, big-endian.
std::string WithSize(std::string png, uint32_t nWidth, uint32_t nHeight, bool bFixCrc = true)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + size_t(i)] = char(nWidth >> (24 - 8 * i));
        png[20 + size_t(i)] = char(nHeight >> (24 - 8 * i));
    }
    if (bFixCrc)
        FixCrc(png, 8);
    return png;
}

TEST(DibPng, BadFilesAreRefusedWithTheirReasonAndLeaveNoPicture)
{
    CDib source;
    LoadRecipe(source, 40, 30, 24);
    const std::string good = Encode(source);
    std::string badData = good;
    badData[good.size() - 20] ^= 0x55;  // inside the last chunk before IEND: its check sum fails
    struct {
        const char* pName;
        std::string bytes;
        const char* pMessage;  // the message starts so
    } cases[] = {
        {"signature only", good.substr(0, 8), PNG_MSG_TRUNCATED},
        {"cut in the header", good.substr(0, 20), PNG_MSG_TRUNCATED},
        {"cut in the pixels", good.substr(0, good.size() / 2), PNG_MSG_TRUNCATED},
        {"without its end", good.substr(0, good.size() - 12), PNG_MSG_TRUNCATED},
        {"header check sum wrong", WithSize(good, 41, 30, false), PNG_MSG_INVALID},
        {"pixel data damaged", badData, PNG_MSG_INVALID},
        {"more rows claimed than held", WithSize(good, 40, 60), PNG_MSG_INVALID},
        {"wider than a picture may be", WithSize(good, 300000, 1), "PNG picture too big: 300000 x 1 pixels"},
        {"more pixels than a picture may hold", WithSize(good, 20000, 20000), "PNG picture too big: 20000 x 20000 pixels"},
        {"no PNG at all", "BM not a PNG file", PNG_MSG_INVALID},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        CDib dib;
        ASSERT_TRUE(dib.Create(2, 2));
        const CResult read = Decode(dib, c.bytes);
        EXPECT_FALSE(read.Ok());
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(read.m_strMessage.rfind(c.pMessage, 0), 0u) << read.m_strMessage;
    }
    // Without check sums (as the fuzz target reads) a changed byte reaches the decoder.
    const bool bPrevious = SetPngChecksums(false);
    CDib changed;
    EXPECT_TRUE(Decode(changed, WithSize(good, 39, 30, false)).Ok());
    EXPECT_EQ(changed.GetDimensions(), (CSize{39, 30}));
    SetPngChecksums(bPrevious);
}

TEST(DibPng, PicturesPngCannotHoldAreRefused)
{
    struct {
        const char* pName;
        int32_t nWidth, nHeight;
        uint16_t nBits;
        const char* pMessage;
    } cases[] = {{"no rows", 160, 0, 24, PNG_MSG_EMPTY}, {"32 bits", 3, 3, 32, PNG_MSG_DEPTH}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        CDib dib;
        if (c.nBits == 24)
            dib.Create(c.nWidth, c.nHeight);
        else
            LoadRecipe(dib, c.nWidth, c.nHeight, c.nBits);
        std::string bytes = "kept";
        const CResult encoded = EncodePng(dib, bytes);
        EXPECT_FALSE(encoded.Ok());
        EXPECT_EQ(bytes, "kept");
        EXPECT_EQ(encoded.m_strMessage, c.pMessage);
    }
}

TEST(DibScale, EveryPixelBecomesASquareBlockAtEveryDepth)
{
    struct {
        uint16_t nBits;
        int32_t nWidth, nHeight, nFactor;
    } cases[] = {{24, 5, 3, 3}, {8, 7, 2, 2}, {4, 5, 3, 3}, {1, 13, 2, 3}, {1, 9, 1, 16}, {24, 4, 4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nBits) + " bits x" + std::to_string(c.nFactor));
        CDib source;
        LoadRecipe(source, c.nWidth, c.nHeight, c.nBits);
        CDib scaled;
        ASSERT_TRUE(ScaleDib(source, c.nFactor, scaled).Ok());
        ASSERT_EQ(scaled.GetDimensions(), (CSize{c.nWidth * c.nFactor, c.nHeight * c.nFactor}));
        EXPECT_EQ(scaled.GetBitCount(), c.nBits);
        EXPECT_EQ(scaled.GetColorCount(), source.GetColorCount());
        EXPECT_EQ(scaled.GetImageSize(), uint32_t(scaled.GetRowBytes()) * uint32_t(c.nHeight * c.nFactor));
        for (int32_t y = 0; y < c.nHeight * c.nFactor; ++y)
            for (int32_t x = 0; x < c.nWidth * c.nFactor; ++x)
                ASSERT_EQ(ColourAt(scaled, x, y), ColourAt(source, x / c.nFactor, y / c.nFactor)) << x << "," << y;
    }
}

TEST(DibScale, TooBigAResultIsRefusedAndLeavesTheTargetAlone)
{
    CDib source;
    ASSERT_TRUE(source.Create(20000, 1));
    CDib target;
    target.Create(3, 3);
    const CResult scaled = ScaleDib(source, 16, target);  // 320000 pixels wide
    EXPECT_EQ(scaled.m_eKind, EErrorKind::TooBig);
    EXPECT_EQ(target.GetDimensions(), (CSize{3, 3}));
    EXPECT_EQ(scaled.m_strMessage, DIB_MSG_SCALE_TOO_BIG);
}

}  // namespace
