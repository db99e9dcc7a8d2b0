// Run-length expansion and the end of an attempt: join, copy, expand on the majority rule.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "reception/PictureAssembly.h"
#include "reception/ReceptionState.h"

namespace {

std::vector<uint8_t> Expand(const std::vector<uint8_t>& compressed)
{
    auto pState = std::make_unique<CReceptionState>();
    if (!compressed.empty())
        std::memcpy(pState->m_RawStream, compressed.data(), compressed.size());
    pState->m_nByteCount = static_cast<int32_t>(compressed.size());
    const int32_t nOut = ExpandRle(*pState);
    return std::vector<uint8_t>(pState->m_PictureData, pState->m_PictureData + nOut);
}

std::vector<uint8_t> WithPadding(std::vector<uint8_t> bytes)
{
    for (int i = 0; i < 160; ++i) {
        bytes.push_back(0x00);
        bytes.push_back(0xFF);
    }
    return bytes;
}

struct CRleCase {
    const char* pName;
    std::vector<uint8_t> compressed;
    std::vector<uint8_t> expanded;  // before the padding band
};

class ExpandRleTest : public ::testing::TestWithParam<CRleCase> {};

TEST_P(ExpandRleTest, ExpandsAndPads)
{
    EXPECT_EQ(Expand(GetParam().compressed), WithPadding(GetParam().expanded));
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ExpandRleTest,
    ::testing::Values(
        CRleCase{"LiteralThenRepeat", {0x02, 0x11, 0x22, 0x33, 0x81, 0x44}, {0x11, 0x22, 0x33, 0x44, 0x44, 0x44}},
        CRleCase{"ShortestRepeat", {0x80, 0x00}, {0x00, 0x00}},
        CRleCase{"LongestRepeat", {0xFF, 0x55}, std::vector<uint8_t>(129, 0x55)},
        CRleCase{"SingleLiteral", {0x00, 0x80, 0x80, 0x07}, {0x80, 0x07, 0x07}},
        CRleCase{"LiteralCutShort", {0x05, 0x01, 0x02}, {0x01, 0x02}},
        CRleCase{"RepeatWithoutByte", {0x01, 0x09, 0x08, 0x85}, {0x09, 0x08}},
        CRleCase{"Empty", {}, {}}),
    [](const ::testing::TestParamInfo<CRleCase>& info) { return info.param.pName; });

TEST(ExpandRle, OutputStopsAt200000Bytes)
{
    // The raw stream holds at most 110000 bytes, but 1600 repeat runs of 129 make 206400.
    auto repeats = [](int nRuns) {
        std::vector<uint8_t> compressed;
        for (int i = 0; i < nRuns; ++i) {
            compressed.push_back(0xFF);
            compressed.push_back(static_cast<uint8_t>(i));
        }
        return compressed;
    };
    std::vector<uint8_t> repeatCrossing = repeats(1600);
    std::vector<uint8_t> literalCrossing = repeats(1550);  // 199950 bytes
    literalCrossing.push_back(0x7F);
    literalCrossing.insert(literalCrossing.end(), 128, 0x33);
    std::vector<uint8_t> paddingCut = repeats(1550);
    paddingCut.push_back(0x80 + 47);  // 49 more: one byte of room for the padding
    paddingCut.push_back(0x44);
    struct {
        const char* pName;
        std::vector<uint8_t> compressed;
        uint8_t nLast;
    } cases[] = {{"repeat run crossing", repeatCrossing, static_cast<uint8_t>(EXPAND_LIMIT / 129)},
                 {"literal run crossing", literalCrossing, 0x33},
                 {"padding cut after one byte", paddingCut, 0x00}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        const std::vector<uint8_t> out = Expand(c.compressed);
        ASSERT_EQ(out.size(), static_cast<size_t>(EXPAND_LIMIT));
        EXPECT_EQ(out.back(), c.nLast);
    }
    EXPECT_EQ(Expand(paddingCut)[EXPAND_LIMIT - 2], 0x44);
}

class AssemblePictureTest : public ::testing::Test {
protected:
    std::unique_ptr<CReceptionState> m_pState = std::make_unique<CReceptionState>();

    void AddBlock(const std::vector<uint8_t>& bytes)
    {
        const int32_t j = m_pState->m_nMaxBlockCount++;
        for (size_t k = 0; k < bytes.size(); ++k)
            m_pState->m_Blocks[j].m_Entries[k] = bytes[k];
        m_pState->m_Blocks[j].m_nLength = static_cast<int32_t>(bytes.size());
        m_pState->m_Blocks[j].m_nHow = BLOCK_AS_RECEIVED;
    }
};

TEST_F(AssemblePictureTest, PlainStreamIsCopied)
{
    for (int i = 0; i < 9; ++i)
        AddBlock(std::vector<uint8_t>(640, static_cast<uint8_t>(i)));
    m_pState->m_nPlainCount = 10;
    AssemblePicture(*m_pState);
    EXPECT_EQ(m_pState->m_nByteCount, 5760);
    EXPECT_EQ(m_pState->m_PictureData[5759], 8);
}

TEST_F(AssemblePictureTest, CompressedMajorityExpandsAcrossBlocks)
{
    // A repeat run split between two blocks: the control byte ends block 0.
    AddBlock({0x01, 0x11, 0x22, 0x83});
    AddBlock({0x77, 0x00, 0x99});
    m_pState->m_nPackedCount = 2;
    m_pState->m_nPlainCount = 1;
    AssemblePicture(*m_pState);
    ASSERT_EQ(m_pState->m_nByteCount, 2 + 5 + 1 + 320);
    const uint8_t expected[] = {0x11, 0x22, 0x77, 0x77, 0x77, 0x77, 0x77, 0x99, 0x00, 0xFF};
    EXPECT_EQ(0, std::memcmp(m_pState->m_PictureData, expected, sizeof(expected)));
}

TEST_F(AssemblePictureTest, TieIsTakenAsPlain)
{
    AddBlock({0x01, 0x11, 0x22, 0x83});
    m_pState->m_nPackedCount = 1;
    m_pState->m_nPlainCount = 1;
    AssemblePicture(*m_pState);
    EXPECT_EQ(m_pState->m_nByteCount, 4);
    EXPECT_EQ(m_pState->m_PictureData[3], 0x83);
}

TEST_F(AssemblePictureTest, CompressedStandardPictureGainsAGreyBand)
{
    // Each 640-byte band pair sent as two repeat runs per 256 bytes or so: 0xFF x with 129
    // copies; the exact runs do not matter, only that they expand to 5760 bytes.
    std::vector<uint8_t> packet;
    int32_t nBytes = 0;
    for (int i = 0; i < 9; ++i) {
        std::vector<uint8_t> block;
        int32_t nLeft = 640;
        while (nLeft > 0) {
            const int32_t nRun = nLeft >= 129 ? 129 : nLeft;
            if (nRun >= 2) {
                block.push_back(static_cast<uint8_t>(0x80 + nRun - 2));
                block.push_back(static_cast<uint8_t>(i));
            } else {
                block.push_back(0x00);
                block.push_back(static_cast<uint8_t>(i));
            }
            nLeft -= nRun;
            nBytes += nRun;
        }
        AddBlock(block);
    }
    ASSERT_EQ(nBytes, 5760);
    m_pState->m_nPackedCount = 9;
    AssemblePicture(*m_pState);
    EXPECT_EQ(m_pState->m_nByteCount, 6080);
    EXPECT_EQ(m_pState->m_PictureData[5759], 8);
    EXPECT_EQ(m_pState->m_PictureData[5760], 0x00);
    EXPECT_EQ(m_pState->m_PictureData[6079], 0xFF);
}

}  // namespace
