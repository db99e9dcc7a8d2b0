// Pixel access by coordinates on 1-, 8- and 24-bit pictures, and its refusals.
#include <gtest/gtest.h>

#include "BmpBytes.h"
#include "bitmap/CDib.h"

namespace {

// A picture of the given depth with every pixel byte 0, loaded from a file.
void LoadBlank(CDib& dib, int32_t nWidth, int32_t nHeight, uint16_t nBits) {
    CBmpRecipe s{.nWidth = nWidth, .nHeight = nHeight, .nBitCount = nBits,
               .nColorEntries = nBits <= 8 ? (1u << nBits) : 0};
    std::string strFile = MakeBmpFile(s);
    const uint32_t nPixels = RowBytesOf(nWidth, nBits) * uint32_t(nHeight);
    std::fill(strFile.end() - nPixels, strFile.end(), '\0');
    ASSERT_TRUE(ReadFromString(dib, strFile).Ok());
}

TEST(DibPixel, TwentyFourBitValuesAndStoredOrder) {
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    EXPECT_EQ(dib.GetPixel({0, 0}), 0x00FFFFFFu);
    dib.SetPixel({0, 0}, 0xFFAAFFCC);  // bits 24-31 are ignored
    // Picture row 0 is the last stored row.
    const uint8_t* p = dib.GetBits() + 143 * 480;
    EXPECT_EQ(p[0], 0xCC);
    EXPECT_EQ(p[1], 0xFF);
    EXPECT_EQ(p[2], 0xAA);
    EXPECT_EQ(p[3], 0xFF);  // the byte after the pixel is not touched
    EXPECT_EQ(dib.GetPixel({0, 0}), 0x00AAFFCCu);
    // The last pixel of the top row is the last three bytes of the block.
    dib.SetPixel({159, 0}, 0x010203);
    EXPECT_EQ(dib.GetBits()[69117], 0x03);
    EXPECT_EQ(dib.GetBits()[69119], 0x01);
    EXPECT_EQ(dib.GetPixel({159, 0}), 0x010203u);
    // The bottom row is stored first.
    dib.SetPixel({1, 143}, 0x445566);
    EXPECT_EQ(dib.GetBits()[3], 0x66);
}

TEST(DibPixel, OutsideThePictureIsNoPixelAndNoWrite) {
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    const CPoint outside[] = {{160, 0}, {-1, 0}, {0, 144}, {0, -1}, {INT32_MIN, 0}, {0, INT32_MAX}};
    for (const CPoint pt : outside) {
        EXPECT_EQ(dib.GetPixel(pt), DIB_NO_PIXEL) << pt.x << "," << pt.y;
        dib.SetPixel(pt, 0);
    }
    for (uint32_t i = 0; i < dib.GetImageSize(); ++i)
        ASSERT_EQ(dib.GetBits()[i], 0xFF);
    EXPECT_TRUE(dib.CheckGetPixel().Ok());
    EXPECT_TRUE(dib.CheckSetPixel().Ok());
    CDib empty;
    EXPECT_EQ(empty.GetPixel({0, 0}), DIB_NO_PIXEL);
    empty.SetPixel({0, 0}, 1);
    EXPECT_TRUE(empty.CheckGetPixel().Ok());
}

TEST(DibPixel, OneBitSetsAndClearsOnlyItsBit) {
    CDib dib;
    LoadBlank(dib, 16, 2, 1);
    // Top row = stored row 1, 4 bytes per row.
    uint8_t* pTop = const_cast<uint8_t*>(dib.GetBits()) + 4;
    pTop[1] = 0xA5;
    dib.SetPixel({9, 0}, 7);
    EXPECT_EQ(pTop[1], 0xA5 | 0x40);
    EXPECT_EQ(dib.GetPixel({9, 0}), 1u);
    dib.SetPixel({9, 0}, 0);
    EXPECT_EQ(pTop[1], 0xA5);
    EXPECT_EQ(dib.GetPixel({9, 0}), 0u);
    EXPECT_EQ(dib.GetPixel({8, 0}), 1u);  // 0x80 of byte 1
    EXPECT_EQ(dib.GetPixel({15, 0}), 1u);  // 0x01 of byte 1
    EXPECT_EQ(dib.GetPixel({8, 1}), 0u);
}

TEST(DibPixel, EightBitStoresLowByte) {
    CDib dib;
    LoadBlank(dib, 5, 3, 8);
    dib.SetPixel({4, 2}, 0x00123456);
    EXPECT_EQ(dib.GetBits()[4], 0x56);
    EXPECT_EQ(dib.GetPixel({4, 2}), 0x56u);
    EXPECT_EQ(dib.GetPixel({3, 2}), 0u);
}

TEST(DibPixel, OtherDepthsHaveNoPixelAccessAndSaySo) {
    for (uint16_t nBits : {4, 16, 32}) {
        SCOPED_TRACE(nBits);
        CDib dib;
        LoadBlank(dib, 4, 2, nBits);
        const std::vector<uint8_t> before(dib.GetBits(), dib.GetBits() + dib.GetImageSize());
        EXPECT_EQ(dib.GetPixel({1, 1}), DIB_NO_PIXEL);
        dib.SetPixel({1, 1}, 5);
        EXPECT_EQ(before, std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + dib.GetImageSize()));
        const CResult get = dib.CheckGetPixel();
        const CResult set = dib.CheckSetPixel();
        EXPECT_EQ(get.m_eKind, EErrorKind::UnsupportedDepth);
        EXPECT_EQ(get.m_strMessage, DIB_MSG_GETPIXEL_DEPTH);
        EXPECT_EQ(set.m_eKind, EErrorKind::UnsupportedDepth);
        EXPECT_EQ(set.m_strMessage, DIB_MSG_SETPIXEL_DEPTH);
    }
}

}  // namespace
