// Palettes: the brightness levels, every preset and a palette of one's own on 1-, 8- and 24-bit
// pictures, replacing an earlier palette, and undo back to the very bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "../bitmap/BmpBytes.h"
#include "support/TestPictures.h"
#include "effects/EffectDepth.h"
#include "effects/Palette.h"
#include "effects/UndoSnapshot.h"

namespace {

constexpr uint32_t kGreys[4] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000};

TEST(Palette, ShadesGoByBrightnessToTheNearestLevel) {
    const struct {
        uint32_t nRgb;
        int nLevel;
    } cases[] = {
        {0xFFFFFF, 0}, {0xE6E6E6, 0}, {0xE5E5E5, 1}, {0xCCCCCC, 1}, {0xBBBBBB, 1}, {0xBABABA, 2},
        {0xAAAAAA, 2}, {0x555555, 2}, {0x545454, 3}, {0x000000, 3},
        {0xFFFF00, 1},   // yellow: 225
        {0x00FF00, 2},   // green: 149
        {0xFF0000, 3},   // red: 76
        {0xAAFFCC, 1},   // the console's pale green: 223
        {0xFF000000, 3}, // bits 24-31 are no channel
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaletteLevel(c.nRgb), c.nLevel) << std::hex << c.nRgb;
}

TEST(Palette, PresetsAndColourText) {
    ASSERT_EQ(PalettePresets().size(), 4u);
    for (const CPalettePreset& preset : PalettePresets()) {
        ASSERT_EQ(FindPalettePreset(preset.pszName), &preset);
        CPaletteColors parsed{};
        ASSERT_TRUE(ParsePaletteColors(FormatPaletteColors(preset.colors), parsed)) << preset.pszName;
        EXPECT_EQ(parsed, preset.colors);
    }
    EXPECT_EQ(FindPalettePreset("printed")->colors, (CPaletteColors{0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0}));
    EXPECT_EQ(FindPalettePreset("DMG"), nullptr);
    CPaletteColors colors{};
    EXPECT_TRUE(ParsePaletteColors("#e0f8d0,88c070,346856,081820", colors));
    EXPECT_EQ(colors, (CPaletteColors{0xE0F8D0, 0x88C070, 0x346856, 0x081820}));
    for (const char* pszBad : {"", "FFFFFF,CCCCCC,AAAAAA", "FFFFFF,CCCCCC,AAAAAA,000000,", "FFFFFF,CCCCCC,AAAAAA,00000",
                               "FFFFFF,CCCCCC,AAAAAA,00000G", "FFFFFF;CCCCCC;AAAAAA;000000"})
        EXPECT_FALSE(ParsePaletteColors(pszBad, colors)) << pszBad;
}

// The colour a pixel shows: its value (24 bits) or its colour-table entry.
uint32_t ColourAt(const CDib& dib, int32_t x, int32_t y) {
    const uint32_t v = dib.GetPixel({x, y});
    if (dib.GetBitCount() == 24)
        return v;
    const uint8_t* q = dib.GetColorTable() + 4 * v;
    return uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
}

void SetEntry(CDib& dib, int i, uint32_t nRgb) {
    uint8_t* q = dib.GetColorTable() + 4 * i;
    q[0] = uint8_t(nRgb), q[1] = uint8_t(nRgb >> 8), q[2] = uint8_t(nRgb >> 16);
}

// A picture of the four grey levels at the given depth: 24 bits as received; 8 bits with the
// levels in entries 0 … 3 (the pixels 0 … 3, then 4 … 7 of other entries, also grey);
// 1 bit black and white.
void MakeGreyPicture(CDib& dib, uint16_t nBits) {
    if (nBits == 24)
        return MakeReceivedPicture(dib, 8);
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = nBits == 8 ? 4 : 16, .nHeight = 2, .nBitCount = nBits,
                                                 .nColorEntries = nBits == 8 ? 256u : 2u})).Ok());
    for (int i = 0; i < dib.GetColorCount(); ++i)
        SetEntry(dib, i, nBits == 8 ? kGreys[i % 4] : (i == 0 ? 0 : 0xFFFFFF));
    dib.MakePalette();
}

std::vector<uint8_t> BytesOf(const CDib& dib) {
    std::vector<uint8_t> v(dib.GetHeaderBlock(), dib.GetHeaderBlock() + dib.GetHeaderSize());
    v.insert(v.end(), dib.GetBits(), dib.GetBits() + dib.GetImageSize());
    return v;
}

TEST(Palette, EveryPaletteGivesItsColourForEveryLevelAtEveryDepthAndUndoRestoresTheBytes) {
    std::vector<std::pair<std::string, CPaletteColors>> palettes;
    for (const CPalettePreset& preset : PalettePresets())
        palettes.emplace_back(preset.pszName, preset.colors);
    palettes.emplace_back("custom", CPaletteColors{0xE0F8D0, 0x88C070, 0x346856, 0x081820});
    for (uint16_t nBits : {uint16_t(1), uint16_t(8), uint16_t(24)}) {
        for (const auto& [strName, colors] : palettes) {
            SCOPED_TRACE(strName + " on " + std::to_string(nBits) + " bits");
            CDib dib;
            MakeGreyPicture(dib, nBits);
            const std::vector<uint8_t> before = BytesOf(dib);
            const CSize size = dib.GetDimensions();
            std::vector<uint32_t> shown;
            for (int32_t y = 0; y < size.cy; ++y)
                for (int32_t x = 0; x < size.cx; ++x)
                    shown.push_back(ColourAt(dib, x, y));
            std::map<uint32_t, size_t> seen;
            CUndoSnapshot undo;
            ASSERT_TRUE(ApplyPalette(dib, undo, colors).Ok());
            EXPECT_EQ(undo.GetKind(), UNDO_PALETTE);
            for (int32_t y = 0, i = 0; y < size.cy; ++y)
                for (int32_t x = 0; x < size.cx; ++x, ++i) {
                    const size_t nLevel = size_t(std::find(kGreys, kGreys + 4, shown[size_t(i)]) - kGreys);
                    ASSERT_LT(nLevel, 4u);
                    ++seen[shown[size_t(i)]];
                    ASSERT_EQ(ColourAt(dib, x, y), colors[nLevel]) << x << "," << y;
                }
            EXPECT_EQ(seen.size(), nBits == 1 ? 2u : 4u);
            ASSERT_TRUE(undo.RestoreUndo(dib));
            EXPECT_EQ(BytesOf(dib), before);
        }
    }
}

TEST(Palette, AnotherPaletteReplacesThePreviousOne) {
    for (uint16_t nBits : {uint16_t(8), uint16_t(24)}) {
        CDib direct, twice;
        MakeGreyPicture(direct, nBits);
        MakeGreyPicture(twice, nBits);
        const std::vector<uint8_t> before = BytesOf(twice);
        CUndoSnapshot undo, undoDirect;
        ASSERT_TRUE(ApplyPalette(twice, undo, FindPalettePreset("dmg")->colors).Ok());
        ASSERT_TRUE(ApplyPalette(twice, undo, FindPalettePreset("bw")->colors).Ok());
        ASSERT_TRUE(ApplyPalette(direct, undoDirect, FindPalettePreset("bw")->colors).Ok());
        EXPECT_EQ(BytesOf(twice), BytesOf(direct)) << nBits;
        ASSERT_TRUE(undo.RestoreUndo(twice));
        EXPECT_EQ(BytesOf(twice), before) << nBits;
    }
}

TEST(Palette, OtherDepthsAreRefused) {
    CDib dib;
    ASSERT_TRUE(ReadFromString(dib, MakeBmpFile({.nWidth = 4, .nHeight = 2, .nBitCount = 4, .nColorEntries = 16})).Ok());
    const std::vector<uint8_t> before = BytesOf(dib);
    CUndoSnapshot undo;
    EXPECT_EQ(ApplyPalette(dib, undo, FindPalettePreset("dmg")->colors).m_strMessage, EFFECT_MSG_DEPTH);
    EXPECT_EQ(BytesOf(dib), before);
    EXPECT_FALSE(undo.HasSnapshot());
}

}  // namespace
