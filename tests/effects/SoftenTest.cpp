// Softening: the kernel's order of operations, the frame, passes, progress, depths and undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

#include "../bitmap/BmpBytes.h"
#include "support/TestPictures.h"
#include "effects/Colorize.h"
#include "effects/Soften.h"
#include "effects/UndoSnapshot.h"

namespace {

CSoftenSettings Settings(int32_t nSize, int32_t nPasses = 1) {
    return CSoftenSettings{.m_nSoftCentre = 25, .m_nSoftSize = nSize, .m_nSoftSizeEntered = nSize,
                           .m_nSoftPasses = nPasses};
}

TEST(SoftenKernel, DefaultWeights) {
    const CSoftenWeights w = SoftenWeights(Settings(8));
    EXPECT_EQ(w.wc, 0.25);
    EXPECT_EQ(w.wn, 0.08);
    EXPECT_EQ(w.wd, 8 * 0.0064516129032258064);
    EXPECT_EQ(w.wc + 4 * (w.wn + w.wd), 0.7764516129032258);
}

TEST(SoftenKernel, UniformAreasComeOutAtTheOrderedValue) {
    struct {
        int32_t nSize;
        uint8_t nIn, nOut;
    } cases[] = {
        {8, 204, 203}, {8, 203, 203}, {8, 255, 255}, {8, 170, 170}, {8, 0, 0}, {1, 255, 254},
    };
    for (const auto& c : cases) {
        const CSoftenWeights w = SoftenWeights(Settings(c.nSize));
        const uint8_t v = c.nIn;
        EXPECT_EQ(SoftenKernel(w, v, v, v, v, v, v, v, v, v), c.nOut) << int(c.nIn) << " size " << c.nSize;
    }
}

TEST(SoftenKernel, NeighboursWeighByPosition) {
    const CSoftenWeights w = SoftenWeights(Settings(8));
    // Centre black: 172; black on an edge: 228; black in a corner: 238.
    EXPECT_EQ(SoftenKernel(w, 255, 255, 255, 255, 0, 255, 255, 255, 255), 172);
    EXPECT_EQ(SoftenKernel(w, 255, 255, 255, 0, 255, 255, 255, 255, 255), 228);
    EXPECT_EQ(SoftenKernel(w, 255, 255, 255, 255, 255, 255, 255, 0, 255), 228);
    EXPECT_EQ(SoftenKernel(w, 0, 255, 255, 255, 255, 255, 255, 255, 255), 238);
    EXPECT_EQ(SoftenKernel(w, 255, 255, 255, 255, 255, 255, 255, 255, 0), 238);
}

TEST(Soften, BlackPixelInWhiteArea) {
    struct {
        int32_t nSize;
        uint32_t nCentre, nEdge, nCorner;
    } cases[] = {{8, 172, 228, 238}, {1, 53, 0, 0}, {25, 221, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nSize);
        CDib dib;
        FillPicture(dib, 7, 7, 0xFFFFFF);
        dib.SetPixel({3, 3}, 0);
        CUndoSnapshot undo;
        ASSERT_TRUE(ApplySoften(dib, undo, Settings(c.nSize), {}).Ok());
        EXPECT_EQ(dib.GetPixel({3, 3}), c.nCentre * 0x010101);
        if (c.nEdge != 0) {
            for (CPoint pt : {CPoint{2, 3}, CPoint{4, 3}, CPoint{3, 2}, CPoint{3, 4}})
                EXPECT_EQ(dib.GetPixel(pt), c.nEdge * 0x010101);
            for (CPoint pt : {CPoint{2, 2}, CPoint{4, 2}, CPoint{2, 4}, CPoint{4, 4}})
                EXPECT_EQ(dib.GetPixel(pt), c.nCorner * 0x010101);
            for (CPoint pt : {CPoint{0, 0}, CPoint{1, 3}, CPoint{5, 3}, CPoint{6, 6}, CPoint{3, 1}})
                EXPECT_EQ(dib.GetPixel(pt), 0xFFFFFFu);
        }
    }
}

TEST(Soften, ChannelsAreSoftenedApart) {
    CDib dib;
    FillPicture(dib, 3, 3, 0xFF0000);
    dib.SetPixel({1, 1}, 0x0000FF);
    CUndoSnapshot undo;
    EXPECT_TRUE(ApplySoften(dib, undo, Settings(8), {}).Ok());
    // Red: 255 around a 0 centre; blue: 255 alone in the centre, 0 around.
    const uint32_t v = dib.GetPixel({1, 1});
    EXPECT_EQ(v >> 16, 172u);
    EXPECT_EQ((v >> 8) & 0xFF, 0u);
    EXPECT_EQ(v & 0xFF, uint32_t(0.25 * 255 / 0.7764516129032258));
}

TEST(Soften, ThreePassesOfUniform204End203) {
    CDib dib;
    FillPicture(dib, 6, 5, 0xCCCCCC);
    CUndoSnapshot undo;
    EXPECT_TRUE(ApplySoften(dib, undo, Settings(8, 3), {}).Ok());
    for (uint32_t v : PixelsOf(dib))
        ASSERT_EQ(v, 0xCBCBCBu);
}

TEST(Soften, FrameRepeatsTheNearestPixel) {
    // A picture of one column and one row: every neighbour is the pixel itself, so the value is
    // that of a uniform area; edge pixels of a vertical stripe see their own column beyond the edge.
    CDib dib;
    FillPicture(dib, 1, 1, 0xCCCCCC);
    CUndoSnapshot undo;
    EXPECT_TRUE(ApplySoften(dib, undo, Settings(8), {}).Ok());
    EXPECT_EQ(dib.GetPixel({0, 0}), 0xCBCBCBu);

    CDib stripe;
    FillPicture(stripe, 4, 3, 0xFFFFFF);
    for (int32_t y = 0; y < 3; ++y)
        stripe.SetPixel({0, y}, 0);
    CUndoSnapshot undo2;
    EXPECT_TRUE(ApplySoften(stripe, undo2, Settings(8), {}).Ok());
    // Column 0 sees black on its left (the frame), black above and below, white on its right.
    const CSoftenWeights w = SoftenWeights(Settings(8));
    const uint8_t nExpected = SoftenKernel(w, 0, 0, 255, 0, 0, 255, 0, 0, 255);
    for (int32_t y = 0; y < 3; ++y)
        EXPECT_EQ(stripe.GetPixel({0, y}), nExpected * 0x010101u) << y;
    EXPECT_EQ(stripe.GetPixel({3, 1}), 0xFFFFFFu);
}

TEST(Soften, ProgressOncePerPass) {
    struct {
        int32_t nPasses;
        std::vector<int> expected;
    } cases[] = {{1, {1}}, {4, {1, 26, 51, 76}}, {3, {1, 34, 67}}};
    for (const auto& c : cases) {
        CDib dib;
        FillPicture(dib, 2, 2, 0);
        CUndoSnapshot undo;
        std::vector<int> seen;
        EXPECT_TRUE(ApplySoften(dib, undo, Settings(8, c.nPasses), [&](int n) { seen.push_back(n); }).Ok());
        EXPECT_EQ(seen, c.expected);
    }
    CDib dib;
    FillPicture(dib, 2, 2, 0);
    CUndoSnapshot undo;
    std::vector<int> seen;
    EXPECT_TRUE(ApplySoften(dib, undo, Settings(8, 100), [&](int n) { seen.push_back(n); }).Ok());
    ASSERT_EQ(seen.size(), 100u);
    EXPECT_EQ(seen.back(), 100);
}

TEST(Soften, RepeatedSofteningReplacesThePreviousAndUndoReturns) {
    CDib once, twice;
    MakeReceivedPicture(once);
    MakeReceivedPicture(twice);
    const auto original = PixelsOf(twice);
    CUndoSnapshot undoOnce, undo;
    EXPECT_TRUE(ApplySoften(once, undoOnce, Settings(8, 1), {}).Ok());
    EXPECT_TRUE(ApplySoften(twice, undo, Settings(8, 3), {}).Ok());
    EXPECT_NE(PixelsOf(twice), PixelsOf(once));
    EXPECT_TRUE(ApplySoften(twice, undo, Settings(8, 1), {}).Ok());
    EXPECT_EQ(PixelsOf(twice), PixelsOf(once));
    EXPECT_EQ(undo.GetKind(), UNDO_SOFTEN);
    ASSERT_TRUE(undo.RestoreUndo(twice));
    EXPECT_EQ(PixelsOf(twice), original);
}

TEST(Soften, NoWorkAreaLeavesThePictureAsRestored) {
    CDib dib;
    MakeReceivedPicture(dib);
    const auto original = PixelsOf(dib);
    CUndoSnapshot undo;
    ASSERT_TRUE(ApplySoften(dib, undo, Settings(8), {}).Ok());
    ASSERT_NE(PixelsOf(dib), original);
    int nCalls = 0;
    const uint64_t nWork = SoftenWorkBytes(dib);
    // A few framed rows of 162 cells, three bytes each.
    EXPECT_GE(nWork, 3u * 162 * 3);
    const CResult tooSmall = ApplySoftenWithin(dib, undo, Settings(8, 5), [&](int) { ++nCalls; }, nWork - 1);
    EXPECT_EQ(tooSmall.m_eKind, EErrorKind::NoMemory);
    EXPECT_EQ(tooSmall.m_strMessage, SOFTEN_MSG_NO_MEMORY);
    EXPECT_EQ(PixelsOf(dib), original);
    EXPECT_EQ(nCalls, 0);
    EXPECT_EQ(undo.GetKind(), UNDO_SOFTEN);
    EXPECT_TRUE(ApplySoftenWithin(dib, undo, Settings(8), {}, nWork).Ok());
}

// The passes as the description gives them, pixel by pixel: the whole picture framed in a work
// area through GetPixel, every channel through SoftenKernel, every result through SetPixel.
void SoftenByDescription(CDib& dib, const CSoftenSettings& s) {
    const CSoftenWeights w = SoftenWeights(s);
    const CSize size = dib.GetDimensions();
    const int32_t cw = size.cx + 2, ch = size.cy + 2;
    std::vector<uint32_t> area(size_t(cw) * size_t(ch));
    auto cell = [&](int32_t cx, int32_t cy) -> uint32_t& { return area[size_t(cy) * size_t(cw) + size_t(cx)]; };
    for (int32_t i = 0; i < s.m_nSoftPasses; ++i) {
        for (int32_t cy = 0; cy < ch; ++cy)
            for (int32_t cx = 0; cx < cw; ++cx)
                cell(cx, cy) = dib.GetPixel({std::clamp(cx - 1, 0, size.cx - 1), std::clamp(cy - 1, 0, size.cy - 1)});
        for (int32_t y = 0; y < size.cy; ++y)
            for (int32_t x = 0; x < size.cx; ++x) {
                uint32_t v = 0;
                for (int shift = 16; shift >= 0; shift -= 8) {
                    auto c = [&](int32_t dx, int32_t dy) { return uint8_t(cell(x + 1 + dx, y + 1 + dy) >> shift); };
                    v = (v << 8) | SoftenKernel(w, c(-1, -1), c(0, -1), c(1, -1), c(-1, 0), c(0, 0), c(1, 0),
                                                c(-1, 1), c(0, 1), c(1, 1));
                }
                dib.SetPixel({x, y}, v);
            }
    }
}

std::string PixelBlock(const CDib& dib) {
    return std::string(reinterpret_cast<const char*>(dib.GetBits()), dib.GetImageSize());
}

TEST(Soften, EveryPathAndThreadCountGivesTheBytesOfTheDescription) {
    // Odd sizes, so rows end inside a vector and bands differ in length; random pixels, so
    // every rounding case turns up; padding bytes are compared too.
    struct {
        uint16_t nBitCount;
        int32_t w, h;
    } pictures[] = {{24, 1, 1}, {24, 2, 3}, {24, 5, 7}, {24, 19, 9}, {24, 67, 21}, {24, 187, 4},
                    {8, 1, 5}, {8, 3, 2}, {8, 13, 11}, {8, 41, 17}, {8, 533, 3}, {1, 9, 5}, {1, 37, 13}};
    std::vector<CSoftenSettings> settings;
    for (int32_t nSize = 1; nSize <= 25; ++nSize)
        settings.push_back(Settings(nSize, 1 + nSize % 4));
    // The view's first settings (the two sizes apart), and weights that no dialog gives: a
    // zero denominator and a negative edge weight, whose quotients are clamped into the byte.
    settings.push_back(CSoftenSettings{100, 8, 30, 2});
    settings.push_back(CSoftenSettings{0, 0, 0, 1});
    settings.push_back(CSoftenSettings{100, -60, 40, 1});
    settings.push_back(CSoftenSettings{25, 90, 0, 1});

    std::mt19937 rng(11);
    for (const auto& pic : pictures) {
        CDib original;
        if (pic.nBitCount == 24) {
            ASSERT_TRUE(original.Create(pic.w, pic.h));
        } else {
            ASSERT_TRUE(ReadFromString(original, MakeBmpFile({.nWidth = pic.w, .nHeight = pic.h,
                                                              .nBitCount = pic.nBitCount,
                                                              .nColorEntries = pic.nBitCount == 8 ? 256u : 2u})).Ok());
        }
        const uint32_t nMask = pic.nBitCount == 24 ? 0xFFFFFF : pic.nBitCount == 8 ? 0xFF : 1;
        for (int32_t y = 0; y < pic.h; ++y)
            for (int32_t x = 0; x < pic.w; ++x)
                original.SetPixel({x, y}, rng() & nMask);
        const std::string strOriginal = PixelBlock(original);
        for (const CSoftenSettings& s : settings) {
            CDib expected;
            std::stringstream file;
            ASSERT_TRUE(original.Write(file).Ok());
            ASSERT_TRUE(expected.Read(file).Ok());
            SoftenByDescription(expected, s);
            for (SoftenPath path : SoftenPathsAvailable())
                for (int nThreads : {1, 2, 3}) {
                    SCOPED_TRACE(testing::Message() << pic.nBitCount << "-bit " << pic.w << "x" << pic.h << " size "
                                                    << s.m_nSoftSize << " passes " << s.m_nSoftPasses << " "
                                                    << SoftenPathName(path) << ", " << nThreads << " threads");
                    std::stringstream copy;
                    ASSERT_TRUE(original.Write(copy).Ok());
                    CDib dib;
                    ASSERT_TRUE(dib.Read(copy).Ok());
                    ASSERT_TRUE(SoftenDib(dib, s, {}, {path, nThreads}).Ok());
                    ASSERT_EQ(PixelBlock(dib), PixelBlock(expected));
                }
        }
        EXPECT_EQ(PixelBlock(original), strOriginal);
    }
}

TEST(Soften, EveryPathIsOffered) {
    // The plain path always; on x86-64 the baseline vector path, and AVX2 where the processor has it.
    const std::vector<SoftenPath> paths = SoftenPathsAvailable();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), SoftenPath::Plain);
#if defined(__x86_64__)
    EXPECT_NE(std::find(paths.begin(), paths.end(), SoftenPath::Sse2), paths.end());
    EXPECT_EQ(std::find(paths.begin(), paths.end(), SoftenPath::Avx2) != paths.end(),
              bool(__builtin_cpu_supports("avx2")));
#endif
}

TEST(Soften, EightAndOneBitAverageTheIndices) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 3, .nHeight = 3, .nBitCount = 8, .nColorEntries = 256})).Ok());
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 3; ++x)
            dib.SetPixel({x, y}, 204);
    CUndoSnapshot undo;
    EXPECT_TRUE(ApplySoften(dib, undo, Settings(8), {}).Ok());
    EXPECT_EQ(PixelsOf(dib), std::vector<uint32_t>(9, 203));

    CDib bits;
    ASSERT_TRUE(ReadFromString(bits, MakeBmpFile({.nWidth = 8, .nHeight = 3, .nBitCount = 1, .nColorEntries = 2})).Ok());
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 8; ++x)
            bits.SetPixel({x, y}, x < 4 ? 1 : 0);
    bits.SetPixel({6, 1}, 1);  // a lone set pixel
    CUndoSnapshot undo2;
    EXPECT_TRUE(ApplySoften(bits, undo2, Settings(8), {}).Ok());
    EXPECT_EQ(bits.GetPixel({0, 1}), 1u);  // inside the set area: average 1
    EXPECT_EQ(bits.GetPixel({3, 1}), 0u);  // at the border the average falls below 1
    EXPECT_EQ(bits.GetPixel({6, 1}), 0u);
}

TEST(Soften, UnsupportedDepthAndEmptyPictures) {
    CDib dib;
    ASSERT_EQ(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 2, .nBitCount = 32})).m_strMessage, DIB_MSG_DEPTH);
    CUndoSnapshot undo;
    const CResult refused = ApplySoften(dib, undo, Settings(8), {});
    EXPECT_EQ(refused.m_eKind, EErrorKind::UnsupportedDepth);
    EXPECT_EQ(refused.m_strMessage, EFFECT_MSG_DEPTH);
    EXPECT_FALSE(undo.HasSnapshot());
    CDib empty;
    EXPECT_EQ(ApplySoften(empty, undo, Settings(8), {}).m_eKind, EErrorKind::UnsupportedDepth);
    CDib noRows;
    noRows.Create(160, 0);
    int nCalls = 0;
    EXPECT_TRUE(ApplySoften(noRows, undo, Settings(8, 2), [&](int) { ++nCalls; }).Ok());
    EXPECT_EQ(nCalls, 2);
}

TEST(UndoSnapshot, SizeChangeIsNotRestoredOntoAnotherPicture) {
    CDib dib;
    FillPicture(dib, 4, 4, 0x111111);
    CUndoSnapshot undo;
    ASSERT_TRUE(undo.SaveUndo(dib, UNDO_COLORIZE));
    EXPECT_EQ(undo.GetSavedSize(), (CSize{4, 4}));
    // A paste brings a picture of another size.
    FillPicture(dib, 2, 8, 0x222222);
    EXPECT_FALSE(undo.Fits(dib));
    EXPECT_FALSE(undo.RestoreUndo(dib));
    EXPECT_EQ(PixelsOf(dib), std::vector<uint32_t>(16, 0x222222));
    // A softening after a paste of another size takes a fresh snapshot of the new picture
    // instead of painting the old one over it.
    undo.SaveUndo(dib, UNDO_SOFTEN);
    FillPicture(dib, 3, 3, 0x333333);
    ASSERT_TRUE(ApplySoften(dib, undo, Settings(8), {}).Ok());
    EXPECT_EQ(undo.GetSavedSize(), (CSize{3, 3}));
    CDib fresh;
    FillPicture(fresh, 3, 3, 0x333333);
    CUndoSnapshot freshUndo;
    EXPECT_TRUE(ApplySoften(fresh, freshUndo, Settings(8), {}).Ok());
    EXPECT_EQ(PixelsOf(dib), PixelsOf(fresh));
}

TEST(UndoSnapshot, PictureOfAnotherDepthIsNotRestored) {
    // A paste can bring a picture of the same size but another depth; the saved values mean
    // something else there (colour indices, not colours), and a 4-bit picture has no pixel
    // access at all.
    struct {
        const char* pszName;
        uint16_t nBitCount;
        uint32_t nColorEntries;
    } cases[] = {{"8 bits", 8, 256}, {"1 bit", 1, 2}, {"4 bits", 4, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CDib dib;
        FillPicture(dib, 8, 2, 0x123456);
        CUndoSnapshot undo;
        ASSERT_TRUE(undo.SaveUndo(dib, UNDO_COLORIZE));
        ASSERT_TRUE(ReadFromString(
            dib, MakeBmpFile({.nWidth = 8, .nHeight = 2, .nBitCount = c.nBitCount, .nColorEntries = c.nColorEntries})).Ok());
        const std::string before = std::string(reinterpret_cast<const char*>(dib.GetBits()), dib.GetImageSize());
        EXPECT_FALSE(undo.Fits(dib));
        EXPECT_FALSE(undo.RestoreUndo(dib));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(dib.GetBits()), dib.GetImageSize()), before);
    }
    // Colouring the pasted 8-bit picture snapshots it afresh instead of writing the 24-bit
    // values into its indices.
    CDib dib;
    FillPicture(dib, 3, 1, 0xFFFFFF);
    CUndoSnapshot undo;
    ASSERT_TRUE(ApplyColorize(dib, undo, 1).Ok());
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 3, .nHeight = 1, .nBitCount = 8, .nColorEntries = 256})).Ok());
    for (int32_t x = 0; x < 3; ++x)
        dib.SetPixel({x, 0}, uint32_t(3 * x));
    ASSERT_TRUE(ApplyColorize(dib, undo, 0).Ok());
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0, 126, 255}));
    ASSERT_TRUE(undo.RestoreUndo(dib));
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0, 3, 6}));
}

TEST(UndoSnapshot, PictureBeyondTheSnapshotLimitRunsWithoutUndo) {
    // A 1-bit picture within the pixel block limit can have far more pixels than bytes: a file
    // of a few bytes claiming 16384 x 16385 pixels (32 MiB of rows) would ask for a snapshot
    // of more than 1 GiB. It gets none; the colouring still runs and cannot be undone.
    CDib dib;
    ASSERT_TRUE(ReadFromString(
        dib, MakeBmpFile({.nWidth = 16384, .nHeight = 16385, .nBitCount = 1, .nColorEntries = 2, .nPixelBytes = 0})).Ok());
    ASSERT_GT(uint64_t(dib.GetDimensions().cx) * uint64_t(dib.GetDimensions().cy), UNDO_MAX_PIXELS);
    CUndoSnapshot undo;
    EXPECT_FALSE(undo.SaveUndo(dib, UNDO_SOFTEN));
    EXPECT_FALSE(undo.HasSnapshot());
    EXPECT_EQ(undo.GetKind(), UNDO_NONE);
    const CResult coloured = ApplyColorize(dib, undo, 1);
    EXPECT_TRUE(coloured.Ok());
    EXPECT_FALSE(coloured.HasMessage());  // running without undo is nothing to tell
    EXPECT_FALSE(undo.HasSnapshot());
}

TEST(UndoSnapshot, KindsFollowTheLastEffect) {
    CDib dib;
    MakeReceivedPicture(dib);
    const auto original = PixelsOf(dib);
    CUndoSnapshot undo;
    EXPECT_EQ(undo.GetKind(), UNDO_NONE);
    EXPECT_TRUE(ApplySoften(dib, undo, Settings(8), {}).Ok());
    const auto softened = PixelsOf(dib);
    EXPECT_EQ(undo.GetKind(), UNDO_SOFTEN);
    // Colouring after softening snapshots the softened picture; undo returns to it.
    ASSERT_TRUE(ApplyColorize(dib, undo, 1).Ok());
    EXPECT_EQ(undo.GetKind(), UNDO_COLORIZE);
    ASSERT_TRUE(undo.RestoreUndo(dib));
    EXPECT_EQ(PixelsOf(dib), softened);
    EXPECT_NE(softened, original);
    EXPECT_TRUE(undo.HasSnapshot());  // a restore keeps the snapshot
}

}  // namespace
