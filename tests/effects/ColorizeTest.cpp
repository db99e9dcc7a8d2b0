// Colouring: the stretch, the ramps and brightest colours, repeated colourings and undo.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "../bitmap/BmpBytes.h"
#include "support/TestPictures.h"
#include "effects/Colorize.h"
#include "effects/UndoSnapshot.h"

namespace {

TEST(Colorize, ValueTableForEveryChoice) {
    struct {
        int32_t nChoice;
        uint32_t nNormal, nBrightest;  // for e = 0x40 and e = 0xFF
    } cases[] = {
        {0, 0x404040, 0xFFFFFF},  {1, 0x400000, 0xFF0000},  {2, 0x004000, 0x00FF00},  {3, 0x000040, 0x0000FF},
        {4, 0x404000, 0xFFFF00},  {5, 0x400040, 0xFF00FF},  {6, 0x004040, 0x00FFFF},  {16, 0x404040, 0xFFFFFF},
        {17, 0x400000, 0xFFFFFF}, {20, 0x404000, 0xFFFFFF}, {22, 0x004040, 0xFFFFFF}, {32, 0x404040, 0xAAFFCC},
        {33, 0x400000, 0xAAFFCC}, {38, 0x004040, 0xAAFFCC}, {7, 0x404040, 0xFFFFFF},  {23, 0x404040, 0xFFFFFF},
        {48, 0x404040, 0xFFFFFF}, {-1, 0x404040, 0xFFFFFF}, {39, 0x404040, 0xFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nChoice);
        EXPECT_EQ(ColorizeValue(c.nChoice, 0x40, false), c.nNormal);
        EXPECT_EQ(ColorizeValue(c.nChoice, 0xFF, true), c.nBrightest);
    }
}

TEST(Colorize, GreyLevelTruncates) {
    EXPECT_EQ(GreyLevel(0xAAFFCC), (0xAAu + 0xFF + 0xCC) / 3);
    EXPECT_EQ(GreyLevel(0x010000), 0u);
    EXPECT_EQ(GreyLevel(0xFF000002), 0u);  // bits 24-31 are not a channel
    EXPECT_EQ(GreyLevel(0xFFFFFF), 255u);
}

std::map<uint32_t, uint32_t> ColourOfLevels(int32_t nChoice) {
    CDib before, after;
    MakeReceivedPicture(before);
    MakeReceivedPicture(after);
    CUndoSnapshot undo;
    EXPECT_TRUE(ApplyColorize(after, undo, nChoice).Ok());
    std::map<uint32_t, uint32_t> m;
    const auto b = PixelsOf(before), a = PixelsOf(after);
    for (size_t i = 0; i < b.size(); ++i) {
        auto [it, bNew] = m.emplace(b[i], a[i]);
        EXPECT_EQ(it->second, a[i]) << "level " << std::hex << b[i] << " coloured two ways";
    }
    return m;
}

TEST(Colorize, ReceivedPictureTakesTheRamp) {
    using M = std::map<uint32_t, uint32_t>;
    EXPECT_EQ(ColourOfLevels(1), (M{{0xFFFFFF, 0xFF0000}, {0xCCCCCC, 0xCC0000}, {0xAAAAAA, 0xAA0000}, {0, 0}}));
    EXPECT_EQ(ColourOfLevels(33), (M{{0xFFFFFF, 0xAAFFCC}, {0xCCCCCC, 0xCC0000}, {0xAAAAAA, 0xAA0000}, {0, 0}}));
    EXPECT_EQ(ColourOfLevels(16),
              (M{{0xFFFFFF, 0xFFFFFF}, {0xCCCCCC, 0xCCCCCC}, {0xAAAAAA, 0xAAAAAA}, {0, 0}}));
    EXPECT_EQ(ColourOfLevels(19), (M{{0xFFFFFF, 0xFFFFFF}, {0xCCCCCC, 0x0000CC}, {0xAAAAAA, 0x0000AA}, {0, 0}}));
}

TEST(Colorize, TwentyFiveLevelsStretchTo254ThenCountAsBrightest) {
    // 25 × (255 / 25) in double is just below 255, so the first stretch gives 254 and the
    // second range is 0 … 254; the second stretch brings 254 to 255. The pixels of level 254
    // are the brightest, compared before that stretch.
    struct {
        int32_t nChoice;
        uint32_t nTop;
    } cases[] = {{0, 0xFFFFFF}, {1, 0xFF0000}, {33, COLORIZE_ORIGINAL_GB}, {17, 0xFFFFFF}, {3, 0x0000FF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nChoice);
        CDib dib;
        dib.Create(3, 1);
        dib.SetPixel({0, 0}, 0);
        dib.SetPixel({1, 0}, 25 * 0x010101);
        dib.SetPixel({2, 0}, 12 * 0x010101);  // 122.4 → 122, then 122 × 255 / 254 → 122
        ColorizeDib(dib, c.nChoice);
        EXPECT_EQ(dib.GetPixel({1, 0}), c.nTop);
        EXPECT_EQ(dib.GetPixel({0, 0}), 0u);
        if (c.nChoice == 0) {
            EXPECT_EQ(dib.GetPixel({2, 0}), 122u * 0x010101);
        }
    }
}

TEST(Colorize, UniformPictureKeepsItsLevel) {
    CDib dib;
    FillPicture(dib, 5, 4, 0x808080);
    ColorizeDib(dib, 1);
    EXPECT_EQ(dib.GetPixel({2, 2}), 0x800000u);
    FillPicture(dib, 5, 4, 0x808080);
    ColorizeDib(dib, 17);  // every pixel is the brightest
    EXPECT_EQ(dib.GetPixel({2, 2}), 0xFFFFFFu);
}

TEST(Colorize, RepeatedColouringStartsFromTheOriginalAndUndoReturnsToIt) {
    CDib direct, twice;
    MakeReceivedPicture(direct);
    MakeReceivedPicture(twice);
    const auto original = PixelsOf(twice);
    CUndoSnapshot undoDirect, undo;
    EXPECT_TRUE(ApplyColorize(direct, undoDirect, 3).Ok());
    EXPECT_TRUE(ApplyColorize(twice, undo, 1).Ok());
    EXPECT_TRUE(undo.HasSnapshot());
    EXPECT_EQ(undo.GetKind(), UNDO_COLORIZE);
    EXPECT_TRUE(ApplyColorize(twice, undo, 3).Ok());
    EXPECT_EQ(PixelsOf(twice), PixelsOf(direct));
    ASSERT_TRUE(undo.RestoreUndo(twice));
    undo.Free();
    EXPECT_EQ(PixelsOf(twice), original);
    EXPECT_FALSE(undo.HasSnapshot());
    EXPECT_EQ(undo.GetKind(), UNDO_NONE);
}

TEST(Colorize, EightBitColoursTheIndicesAndOneBitIsLeftAlone) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 1, .nBitCount = 8, .nColorEntries = 256})).Ok());
    // Indices 0 … 3: grey levels are index / 3.
    const std::vector<uint8_t> table(dib.GetHeaderBlock(), dib.GetHeaderBlock() + dib.GetHeaderSize());
    CUndoSnapshot undo;
    ASSERT_TRUE(ApplyColorize(dib, undo, 0).Ok());
    // Row bytes 0 … 3: levels 0, 0, 0, 1 stretch to 0, 0, 0, 255.
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0, 0, 0, 255}));
    EXPECT_EQ(table, std::vector<uint8_t>(dib.GetHeaderBlock(), dib.GetHeaderBlock() + dib.GetHeaderSize()));

    CDib bits;
    ASSERT_TRUE(ReadFromString(bits, MakeBmpFile({.nWidth = 16, .nHeight = 2, .nBitCount = 1, .nColorEntries = 2})).Ok());
    const auto before = PixelsOf(bits);
    ASSERT_TRUE(ApplyColorize(bits, undo, 33).Ok());
    EXPECT_EQ(PixelsOf(bits), before);
}

// The four passes as the description gives them, pixel by pixel through GetPixel and SetPixel.
void ColorizeByDescription(CDib& dib, int32_t nChoice) {
    const CSize size = dib.GetDimensions();
    auto range = [&](uint32_t& lo, uint32_t& hi) {
        lo = 0xFFFFFF, hi = 0;
        for (int32_t y = 0; y < size.cy; ++y)
            for (int32_t x = 0; x < size.cx; ++x) {
                lo = std::min(lo, GreyLevel(dib.GetPixel({x, y})));
                hi = std::max(hi, GreyLevel(dib.GetPixel({x, y})));
            }
    };
    auto stretch = [](uint32_t g, uint32_t lo, uint32_t hi) {
        return hi == lo ? g : uint32_t(double(g - lo) * (255.0 / double(uint32_t(hi - lo))));
    };
    uint32_t lo, hi;
    range(lo, hi);
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x)
            dib.SetPixel({x, y}, stretch(GreyLevel(dib.GetPixel({x, y})), lo, hi) * 0x010101);
    range(lo, hi);
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x) {
            const uint32_t g = GreyLevel(dib.GetPixel({x, y}));
            dib.SetPixel({x, y}, ColorizeValue(nChoice, stretch(g, lo, hi), g == hi));
        }
}

TEST(Colorize, RandomPicturesAsTheDescriptionColoursThemAndUndoRestoresEveryByte) {
    // Narrow ranges of levels make the stretches round in every way; the large picture is
    // shared out between threads.
    struct {
        uint16_t nBitCount;
        int32_t w, h;
        uint32_t nBase, nSpread;  // channel values nBase … nBase + nSpread − 1
    } pictures[] = {{24, 7, 5, 0, 256}, {24, 33, 9, 40, 26}, {24, 301, 257, 90, 7}, {24, 3, 3, 200, 1},
                    {8, 11, 7, 0, 256},  {8, 29, 13, 60, 38}, {8, 257, 263, 3, 77}, {1, 13, 5, 0, 2}};
    std::mt19937 rng(6);
    for (const auto& pic : pictures) {
        CDib original;
        if (pic.nBitCount == 24) {
            ASSERT_TRUE(original.Create(pic.w, pic.h));
        } else {
            ASSERT_TRUE(ReadFromString(original, MakeBmpFile({.nWidth = pic.w, .nHeight = pic.h,
                                                              .nBitCount = pic.nBitCount,
                                                              .nColorEntries = pic.nBitCount == 8 ? 256u : 2u})).Ok());
        }
        for (int32_t y = 0; y < pic.h; ++y)
            for (int32_t x = 0; x < pic.w; ++x) {
                uint32_t v = 0;
                for (int ch = 0; ch < (pic.nBitCount == 24 ? 3 : 1); ++ch)
                    v |= (pic.nBase + rng() % pic.nSpread) << (8 * ch);
                original.SetPixel({x, y}, v);
            }
        const std::vector<uint8_t> before(original.GetBits(), original.GetBits() + original.GetImageSize());
        for (int32_t nChoice : {0, 1, 4, 6, 16, 19, 32, 38, 7, 55}) {
            SCOPED_TRACE(testing::Message() << pic.nBitCount << "-bit " << pic.w << "x" << pic.h << " choice "
                                            << nChoice);
            std::stringstream a, b;
            ASSERT_TRUE(original.Write(a).Ok());
            ASSERT_TRUE(original.Write(b).Ok());
            CDib expected, dib;
            ASSERT_TRUE(expected.Read(a).Ok());
            ASSERT_TRUE(dib.Read(b).Ok());
            if (pic.nBitCount != 1)
                ColorizeByDescription(expected, nChoice);
            CUndoSnapshot undo;
            ASSERT_TRUE(ApplyColorize(dib, undo, nChoice).Ok());
            ASSERT_EQ(std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + dib.GetImageSize()),
                      std::vector<uint8_t>(expected.GetBits(), expected.GetBits() + expected.GetImageSize()));
            // Undo brings back every byte, also where colouring changed nothing (1 bit).
            for (int32_t x = 0; x < pic.w; x += 2)
                dib.SetPixel({x, pic.h / 2}, ~dib.GetPixel({x, pic.h / 2}));
            ASSERT_TRUE(undo.RestoreUndo(dib));
            ASSERT_EQ(std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + dib.GetImageSize()), before);
        }
    }
}

TEST(Colorize, UnsupportedDepthChangesNothing) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 2, .nBitCount = 4, .nColorEntries = 16})).Ok());
    const std::vector<uint8_t> before(dib.GetBits(), dib.GetBits() + dib.GetImageSize());
    CUndoSnapshot undo;
    EXPECT_FALSE(IsEffectDepthSupported(dib));
    EXPECT_EQ(CheckEffectDepth(dib).m_strMessage, EFFECT_MSG_DEPTH);
    const CResult refused = ApplyColorize(dib, undo, 1);
    EXPECT_EQ(refused.m_eKind, EErrorKind::UnsupportedDepth);
    EXPECT_EQ(refused.m_strMessage, EFFECT_MSG_DEPTH);
    EXPECT_FALSE(undo.HasSnapshot());
    EXPECT_EQ(before, std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + dib.GetImageSize()));
}

}  // namespace
