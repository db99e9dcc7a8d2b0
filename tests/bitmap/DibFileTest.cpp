// Creating, storing and loading pictures, and what loading makes of damaged or unusual files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "BmpBytes.h"
#include "bitmap/CDib.h"
#include "support/TestFiles.h"

namespace {

TEST(DibCreate, ReceptionSizeGivesWhite24BitPicture) {
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    EXPECT_EQ(dib.GetImageSize(), 69120u);
    EXPECT_EQ(dib.GetRowBytes(), 480);
    EXPECT_EQ(dib.GetColorCount(), 0);
    EXPECT_EQ(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
    EXPECT_EQ(Get32(std::vector<uint8_t>(dib.GetHeaderBlock(), dib.GetHeaderBlock() + 40), 20), 69120u);
    for (uint32_t i = 0; i < dib.GetImageSize(); ++i)
        ASSERT_EQ(dib.GetBits()[i], 0xFF) << i;
}

TEST(DibCreate, RowsArePaddedAndZeroHeightIsEmptyBlock) {
    CDib dib;
    ASSERT_TRUE(dib.Create(10, 3));
    EXPECT_EQ(dib.GetRowBytes(), 32);
    EXPECT_EQ(dib.GetImageSize(), 96u);
    ASSERT_TRUE(dib.Create(160, 0));
    EXPECT_FALSE(dib.IsEmpty());
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 0}));
    EXPECT_EQ(dib.GetImageSize(), 0u);
}

TEST(DibCreate, RefusesNegativeAndAbsurdSizes) {
    CDib dib;
    const uint64_t nPrevious = SetDibImageLimit(1000);
    EXPECT_FALSE(dib.Create(20, 20));  // 1200 bytes
    EXPECT_TRUE(dib.Create(20, 16));
    SetDibImageLimit(nPrevious);
    EXPECT_FALSE(dib.Create(-1, 10));
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_FALSE(dib.Create(100000, 100000));
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.GetDimensions(), (CSize{0, 0}));
}

TEST(DibFile, StoresAndLoadsBackIdentical) {
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    dib.SetPixel({3, 5}, 0x123456);
    const std::string strFile = WriteToString(dib);
    ASSERT_EQ(strFile.size(), 69174u);
    const std::vector<uint8_t> f(strFile.begin(), strFile.end());
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Get32(f, 2), 69174u);
    EXPECT_EQ(Get32(f, 6), 0u);
    EXPECT_EQ(Get32(f, 10), 54u);
    EXPECT_EQ(0, std::memcmp(f.data() + 14, dib.GetHeaderBlock(), 40));

    CDib back;
    const CResult read = ReadFromString(back, strFile);
    ASSERT_TRUE(read.Ok());
    EXPECT_FALSE(read.HasMessage());
    EXPECT_EQ(0, std::memcmp(back.GetHeaderBlock(), dib.GetHeaderBlock(), 40));
    ASSERT_EQ(back.GetImageSize(), dib.GetImageSize());
    EXPECT_EQ(0, std::memcmp(back.GetBits(), dib.GetBits(), dib.GetImageSize()));
    EXPECT_EQ(back.GetPixel({3, 5}), 0x123456u);
}

struct CRefusal {
    const char* pszName;
    std::string strFile;
    const char* pszMessage;
};

std::string Patched(std::string s, size_t at, uint32_t n) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = char(n >> (8 * i));
    return s;
}

class DibRefusal : public ::testing::TestWithParam<CRefusal> {};

TEST_P(DibRefusal, LeavesPictureEmptyWithMessage) {
    CDib dib;
    ASSERT_TRUE(dib.Create(8, 8));
    const CResult read = ReadFromString(dib, GetParam().strFile);
    EXPECT_FALSE(read.Ok());
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.GetDimensions(), (CSize{0, 0}));
    EXPECT_EQ(read.m_strMessage, GetParam().pszMessage);
    const bool bShort = read.m_strMessage == DIB_MSG_READ_HEADER;
    EXPECT_EQ(read.m_eKind, bShort ? EErrorKind::ReadHeader : EErrorKind::Invalid);
}

const std::string kGood8 = MakeBmpFile({.nWidth = 3, .nHeight = 2, .nBitCount = 8, .nColorEntries = 256});
const std::string kGood24 = MakeBmpFile({.nWidth = 4, .nHeight = 2});

INSTANTIATE_TEST_SUITE_P(
    Malformed, DibRefusal,
    ::testing::Values(
        CRefusal{"ThirteenBytes", kGood24.substr(0, 13), DIB_MSG_READ_HEADER},
        CRefusal{"EmptyFile", "", DIB_MSG_READ_HEADER},
        CRefusal{"SignatureBA", "BA" + kGood24.substr(2), DIB_MSG_INVALID},
        CRefusal{"OffBitsInsideFileHeader", Patched(kGood24, 10, 10), DIB_MSG_INVALID},
        CRefusal{"OffBitsCutsInfoHeader", Patched(kGood24, 10, 50), DIB_MSG_INVALID},
        CRefusal{"ColourTableBeyondOffBits", Patched(kGood8, 10, 54 + 4 * 255), DIB_MSG_INVALID},
        CRefusal{"ColourTableBeyondFile", kGood8.substr(0, 54 + 100), DIB_MSG_INVALID},
        CRefusal{"HugeClrUsed", Patched(kGood8, 14 + 32, 0xFFFFFFFF), DIB_MSG_INVALID},
        CRefusal{"InfoSizeBelow40", Patched(kGood24, 14, 12), DIB_MSG_INVALID},
        CRefusal{"InfoSizeBeyondBlock", Patched(kGood24, 14, 4000), DIB_MSG_INVALID},
        CRefusal{"NegativeWidth", Patched(kGood24, 14 + 4, uint32_t(-4)), DIB_MSG_INVALID},
        CRefusal{"MostNegativeHeight", Patched(kGood24, 14 + 8, 0x80000000u), DIB_MSG_INVALID},
        CRefusal{"AbsurdSize", Patched(Patched(kGood24, 14 + 4, 0x7FFFFFFF), 14 + 8, 0x7FFFFFFF), DIB_MSG_INVALID},
        CRefusal{"AbsurdRowOfZeroRows", Patched(Patched(kGood24, 14 + 4, 0x7FFFFFFF), 14 + 8, 0), DIB_MSG_INVALID},
        CRefusal{"NoWidthEndlessHeight",
                 Patched(Patched(kGood24, 14 + 4, 0), 14 + 8, uint32_t(DIB_MAX_DIMENSION + 1)), DIB_MSG_INVALID},
        CRefusal{"EndlessTopDown", Patched(kGood24, 14 + 8, uint32_t(-DIB_MAX_DIMENSION - 1)), DIB_MSG_INVALID},
        CRefusal{"NoDepth", Patched(kGood24, 14 + 12, 0x00000001), DIB_MSG_INVALID},
        CRefusal{"Rle8", MakeBmpFile({.nBitCount = 8, .nCompression = 1, .nColorEntries = 256}), DIB_MSG_INVALID},
        CRefusal{"OddMasks", MakeBmpFile({.nBitCount = 16, .nCompression = 3, .masks = {0xF800, 0x07E0, 0x001F}}),
                 DIB_MSG_INVALID},
        CRefusal{"MasksMissing", MakeBmpFile({.nBitCount = 32, .nCompression = 3, .nOffBits = 54, .nPixelBytes = 0}),
                 DIB_MSG_INVALID}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST(DibFile, ColourCountFollowsClrUsedAndDepth) {
    struct {
        uint16_t nBits;
        uint32_t nClrUsed, nEntries;
        int32_t nColors;
        uint32_t nOffBits;
    } cases[] = {
        {8, 5, 5, 5, 74}, {8, 0, 256, 256, 54 + 1024}, {1, 0, 2, 2, 62}, {4, 0, 16, 16, 118}, {24, 0, 0, 0, 54},
        {24, 3, 3, 3, 66},  // a 24-bit picture may carry a table of its own
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nBits * 1000 + c.nClrUsed);
        CDib dib;
        const CResult read = ReadFromString(dib, MakeBmpFile({.nWidth = 9, .nHeight = 3, .nBitCount = c.nBits,
                                                              .nClrUsed = c.nClrUsed, .nColorEntries = c.nEntries}));
        ASSERT_TRUE(read.Ok());
        EXPECT_FALSE(read.HasMessage());
        EXPECT_EQ(dib.GetColorCount(), c.nColors);
        if (c.nColors == 0) {
            EXPECT_EQ(dib.GetPalette(), nullptr);
        } else {
            ASSERT_NE(dib.GetPalette(), nullptr);
            ASSERT_EQ(dib.GetPalette()->GetEntryCount(), c.nColors);
            // Entry i was written as blue i, green i + 1, red i + 2.
            const CDibPaletteEntry e = dib.GetPalette()->GetEntry(c.nColors - 1);
            EXPECT_EQ(e, (CDibPaletteEntry{uint8_t(c.nColors + 1), uint8_t(c.nColors), uint8_t(c.nColors - 1), 0}));
        }
        const std::string strBack = WriteToString(dib);
        EXPECT_EQ(Get32(std::vector<uint8_t>(strBack.begin(), strBack.begin() + 14), 10), c.nOffBits);
    }
}

TEST(DibFile, ThirtyTwoBitLoadsWithMessageAndNoPalette) {
    CDib dib;
    const CResult read = ReadFromString(dib, MakeBmpFile({.nWidth = 2, .nHeight = 2, .nBitCount = 32}));
    ASSERT_TRUE(read.Ok());
    ASSERT_EQ(read.m_strMessage, DIB_MSG_DEPTH);
    EXPECT_EQ(dib.GetColorCount(), 0);
    EXPECT_EQ(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.GetImageSize(), 16u);
}

TEST(DibFile, ZeroSizeImageIsComputed) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 10, .nHeight = 3, .nSizeImage = 0})).Ok());
    EXPECT_EQ(dib.GetImageSize(), 96u);
    EXPECT_EQ(dib.GetRowBytes(), 32);
    // The stored header keeps its 0, as it came.
    EXPECT_EQ(Get32(std::vector<uint8_t>(dib.GetHeaderBlock(), dib.GetHeaderBlock() + 40), 20), 0u);
}

TEST(DibFile, ShortPixelBlockIsCompletedWithZeros) {
    CDib dib;
    std::string strFile = MakeBmpFile({.nWidth = 4, .nHeight = 2});  // 2 rows of 12 bytes
    strFile.resize(strFile.size() - 5);
    const CResult read = ReadFromString(dib, strFile);
    ASSERT_TRUE(read.Ok());
    EXPECT_FALSE(read.HasMessage());
    ASSERT_EQ(dib.GetImageSize(), 24u);
    EXPECT_EQ(dib.GetBits()[18], 18);
    for (int i = 19; i < 24; ++i)
        EXPECT_EQ(dib.GetBits()[i], 0) << i;
}

TEST(DibFile, FileEndingInsideHeaderBlockStillLoadsWithBlankPixels) {
    // bfOffBits points past the end: the colour table is all there, the pixels are not.
    CDib dib;
    std::string strFile = MakeBmpFile({.nWidth = 4, .nHeight = 2, .nBitCount = 8, .nColorEntries = 256,
                                       .nOffBits = 54 + 1024 + 100, .nPixelBytes = 0});
    ASSERT_TRUE(ReadFromString(dib, strFile).Ok());
    EXPECT_EQ(dib.GetImageSize(), 8u);
    EXPECT_EQ(dib.GetPixel({3, 0}), 0u);
}

TEST(DibFile, SizeImageSmallerThanRowsIsEnlarged) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 4, .nSizeImage = 5})).Ok());
    EXPECT_EQ(dib.GetImageSize(), 48u);
    // The top row is the last stored row: every pixel of it is there to read.
    EXPECT_EQ(dib.GetPixel({3, 0}), 0x2F2E2Du);
    const std::string strBack = WriteToString(dib);
    EXPECT_EQ(Get32(std::vector<uint8_t>(strBack.begin(), strBack.end()), 14 + 20), 48u);
    EXPECT_EQ(strBack.size(), 54u + 48u);
}

TEST(DibFile, SizeImageLargerThanRowsKeepsExtraBytesThatExist) {
    CDib dib;
    // Two padding bytes behind the rows, as some writers leave them.
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 2, .nSizeImage = 26, .nPixelBytes = 26})).Ok());
    EXPECT_EQ(dib.GetImageSize(), 26u);
    // A claim of 4 GiB keeps what the file holds.
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 2, .nSizeImage = 0xFFFFFFF0u})).Ok());
    EXPECT_EQ(dib.GetImageSize(), 24u);
    const std::string strBack = WriteToString(dib);
    EXPECT_EQ(strBack.size(), 54u + 24u);
}

TEST(DibFile, TopDownRowsAreTurnedBottomUp) {
    CDib up, down;
    ASSERT_TRUE(ReadFromString(down, MakeBmpFile({.nWidth = 4, .nHeight = -3})).Ok());
    EXPECT_EQ(down.GetDimensions(), (CSize{4, 3}));
    // The first row of the file is the top row.
    EXPECT_EQ(down.GetPixel({0, 0}), 0x020100u);
    EXPECT_EQ(down.GetPixel({0, 2}), 0x1A1918u);
    const std::string strBack = WriteToString(down);
    ASSERT_TRUE(ReadFromString(up, strBack).Ok());
    EXPECT_EQ(up.GetPixel({0, 0}), 0x020100u);
    EXPECT_EQ(int32_t(Get32(std::vector<uint8_t>(strBack.begin(), strBack.end()), 14 + 8)), 3);
}

TEST(DibFile, TopDownPictureWithoutColumnsLoads) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 0, .nHeight = -3})).Ok());
    EXPECT_EQ(dib.GetDimensions(), (CSize{0, 3}));
    EXPECT_EQ(dib.GetImageSize(), 0u);
    EXPECT_EQ(dib.GetPixel({0, 0}), DIB_NO_PIXEL);
}

TEST(DibFile, LongerInfoHeadersTakeTheirColourTableBehindThemselves) {
    for (uint32_t nInfoSize : {108u, 124u}) {
        SCOPED_TRACE(nInfoSize);
        CDib dib;
        const CResult read = ReadFromString(
            dib, MakeBmpFile({.nInfoSize = nInfoSize, .nWidth = 3, .nHeight = 2, .nBitCount = 8, .nColorEntries = 256}));
        ASSERT_TRUE(read.Ok());
        EXPECT_FALSE(read.HasMessage());
        ASSERT_NE(dib.GetPalette(), nullptr);
        EXPECT_EQ(dib.GetPalette()->GetEntry(7), (CDibPaletteEntry{9, 8, 7, 0}));
        EXPECT_EQ(dib.GetPixel({1, 1}), 1u);
        // Stored again it is a plain 40-byte file.
        const std::string strBack = WriteToString(dib);
        const std::vector<uint8_t> f(strBack.begin(), strBack.end());
        EXPECT_EQ(Get32(f, 14), 40u);
        EXPECT_EQ(Get32(f, 10), 54u + 1024u);
    }
}

TEST(DibFile, PlainColourMasksAreTakenAsPlainPixels) {
    CDib dib;
    const CResult read = ReadFromString(dib, MakeBmpFile({.nWidth = 2, .nHeight = 1, .nBitCount = 32,
                                                          .nCompression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}}));
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.m_strMessage, DIB_MSG_DEPTH);
    EXPECT_EQ(Get32(std::vector<uint8_t>(dib.GetHeaderBlock(), dib.GetHeaderBlock() + 40), 16), 0u);
    EXPECT_EQ(dib.GetBits()[0], 0);
    EXPECT_EQ(dib.GetBits()[7], 7);
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nInfoSize = 124, .nWidth = 2, .nHeight = 1, .nBitCount = 32,
                                                 .nCompression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}})).Ok());
    EXPECT_EQ(dib.GetImageSize(), 8u);
}

class CFileFolder : public ::testing::Test {
protected:
    CScratchFolder m_dir{"quillomat-dib"};
};

TEST_F(CFileFolder, WriteFileReplacesTargetAndLeavesNoTemporaryFile) {
    CDib dib;
    ASSERT_TRUE(dib.Create(5, 5));
    const auto target = m_dir / "bild.bmp";
    std::ofstream(target) << "old contents";
    ASSERT_TRUE(dib.WriteFile(target).Ok());
    EXPECT_EQ(std::filesystem::file_size(target), 54u + 5 * 16);
    EXPECT_EQ(m_dir.Names(), std::vector<std::string>{"bild.bmp"});
    CDib back;
    ASSERT_TRUE(back.ReadFile(target).Ok());
    EXPECT_EQ(back.GetDimensions(), (CSize{5, 5}));
}

TEST_F(CFileFolder, SavingThroughALinkReplacesTheFileItPointsTo) {
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 3));
    const auto real = m_dir / "echt.bmp";
    const auto link = m_dir / "verweis.bmp";
    std::ofstream(real) << "old contents";
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(dib.WriteFile(link).Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::file_size(real), 54u + 3 * 12);
}

TEST_F(CFileFolder, FailedSaveKeepsOldFileWhole) {
    CDib dib;
    ASSERT_TRUE(dib.Create(5, 5));  // 134 bytes stored
    const auto target = m_dir / "bild.bmp";
    std::ofstream(target) << "old contents";
    // Files may grow to 100 bytes only: the save fails half-way, as on a full disk.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const CResult saved = dib.WriteFile(target);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(saved.m_eKind, EErrorKind::WriteFailed);
    EXPECT_EQ(saved.m_strMessage, DIB_MSG_WRITE_ERROR);
    std::ifstream in(target);
    std::string strOld;
    std::getline(in, strOld);
    EXPECT_EQ(strOld, "old contents");
    EXPECT_EQ(m_dir.Names(), std::vector<std::string>{"bild.bmp"});  // no temporary file left behind
}

TEST_F(CFileFolder, SaveIntoMissingFolderFails) {
    CDib dib;
    ASSERT_TRUE(dib.Create(5, 5));
    const CResult saved = dib.WriteFile(m_dir / "fehlt" / "bild.bmp");
    EXPECT_FALSE(saved.Ok());
    EXPECT_EQ(saved.m_strMessage, DIB_MSG_WRITE_ERROR);
}

TEST_F(CFileFolder, FullDiskShowsWriteError) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    CDib dib;
    ASSERT_TRUE(dib.Create(64, 64));
    std::ofstream out("/dev/full", std::ios::binary);
    const CResult written = dib.Write(out);
    EXPECT_FALSE(written.Ok());
    EXPECT_EQ(written.m_strMessage, DIB_MSG_WRITE_ERROR);
}

TEST_F(CFileFolder, MissingFileLeavesPictureEmpty) {
    CDib dib;
    ASSERT_TRUE(dib.Create(2, 2));
    const CResult read = dib.ReadFile(m_dir / "gibt-es-nicht.bmp");
    EXPECT_EQ(read.m_eKind, EErrorKind::ReadFailed);
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(read.m_strMessage, DIB_MSG_READ_EXCEPTION);
}

}  // namespace
