#include "effects/Palette.h"

#include <cstdio>

#include "bitmap/CDib.h"
#include "common/HexDigit.h"
#include "effects/EffectDepth.h"
#include "effects/EffectSnapshot.h"
#include "effects/RowBands.h"
#include "effects/UndoSnapshot.h"

namespace {

constexpr CPalettePreset PRESETS[] = {
    // The pea greens of the original handheld's screen.
    {"dmg", "Original-GB (grün)", {0x9BBC0F, 0x8BAC0F, 0x306230, 0x0F380F}},
    // The olive greys of the pocket model.
    {"pocket", "GB Pocket (grau)", {0xC4CFA1, 0x8B956D, 0x4D533C, 0x1F1F1F}},
    // Pure black and white in four even steps.
    {"bw", "Schwarzweiß", {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000}},
    // The four levels a received picture has: the picture as printed.
    {"printed", "Wie gedruckt", {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000}},
};

}  // namespace

std::span<const CPalettePreset> PalettePresets()
{
    return PRESETS;
}

const CPalettePreset* FindPalettePreset(std::string_view strName)
{
    for (const CPalettePreset& preset : PRESETS)
        if (strName == preset.pszName)
            return &preset;
    return nullptr;
}

bool ParsePaletteColors(std::string_view strText, CPaletteColors& colors)
{
    CPaletteColors parsed{};
    for (int i = 0; i < PALETTE_COLORS; ++i) {
        const size_t nComma = strText.find(',');
        std::string_view strPart = strText.substr(0, nComma);
        if ((nComma == std::string_view::npos) != (i == PALETTE_COLORS - 1))
            return false;
        if (!strPart.empty() && strPart.front() == '#')
            strPart.remove_prefix(1);
        if (strPart.size() != 6)
            return false;
        uint32_t nValue = 0;
        for (char ch : strPart) {
            const int nDigit = HexDigit(ch);
            if (nDigit < 0)
                return false;
            nValue = nValue << 4 | uint32_t(nDigit);
        }
        parsed[size_t(i)] = nValue;
        strText = nComma == std::string_view::npos ? std::string_view() : strText.substr(nComma + 1);
    }
    colors = parsed;
    return true;
}

std::string FormatPaletteColors(const CPaletteColors& colors)
{
    std::string strText;
    for (uint32_t nColor : colors) {
        char sz[8];
        std::snprintf(sz, sizeof sz, "%06X", nColor & 0xFFFFFFu);
        if (!strText.empty())
            strText += ',';
        strText += sz;
    }
    return strText;
}

uint32_t PaletteBrightness(uint32_t nRgb)
{
    const uint32_t r = (nRgb >> 16) & 0xFF, g = (nRgb >> 8) & 0xFF, b = nRgb & 0xFF;
    return (299 * r + 587 * g + 114 * b) / 1000;
}

int PaletteLevel(uint32_t nRgb)
{
    const uint32_t nBrightness = PaletteBrightness(nRgb);
    int nLevel = 0;
    while (nLevel < PALETTE_COLORS - 1 && nBrightness < PALETTE_THRESHOLDS[nLevel])
        ++nLevel;
    return nLevel;
}

void ApplyPaletteToDib(CDib& dib, const CPaletteColors& colors)
{
    const uint16_t nBitCount = dib.GetBitCount();
    if (nBitCount == 1 || nBitCount == 8) {
        // The pixels are colour indices: every entry of the colour table takes its colour.
        uint8_t* pTable = dib.GetColorTable();
        if (!pTable)
            return;
        for (int32_t i = 0; i < dib.GetColorCount(); ++i) {
            uint8_t* q = pTable + 4 * i;  // blue, green, red, reserved
            const uint32_t nColor = colors[size_t(PaletteLevel(uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0]))];
            q[0] = uint8_t(nColor);
            q[1] = uint8_t(nColor >> 8);
            q[2] = uint8_t(nColor >> 16);
        }
        dib.MakePalette();
        return;
    }
    if (nBitCount != 24)
        return;
    const CSize size = dib.GetDimensions();
    if (size.cx <= 0 || size.cy <= 0)
        return;
    const int nBands = RowBandCount(size.cy, uint64_t(size.cx), 0);
    RunRowBands(nBands, [&](int k) {
        for (int32_t y = RowBandStart(size.cy, nBands, k); y < RowBandStart(size.cy, nBands, k + 1); ++y) {
            uint8_t* p = dib.GetRowBits(y);
            for (int32_t x = 0; x < size.cx; ++x, p += 3) {
                const uint32_t nColor = colors[size_t(PaletteLevel(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]))];
                p[0] = uint8_t(nColor);
                p[1] = uint8_t(nColor >> 8);
                p[2] = uint8_t(nColor >> 16);
            }
        }
    });
}

CResult ApplyPalette(CDib& dib, CUndoSnapshot& undo, const CPaletteColors& colors)
{
    if (CResult depth = CheckEffectDepth(dib); !depth.Ok())
        return depth;
    // Without room for a snapshot the palette is still laid on; it just cannot be undone.
    StartFromSnapshot(dib, undo, UNDO_PALETTE);
    ApplyPaletteToDib(dib, colors);
    return CResult::Success();
}
