#pragma once
// Palettes people know from the console's screens: four colours, lightest first, laid over the
// picture's four grey levels. The levels of a received picture (white, 0xCC, 0xAA, black) map
// one to one; any other shade goes by its brightness to the nearest of the four levels.
//
// 24-bit pictures get the colours in their pixels; 1- and 8-bit pictures keep their pixels
// (colour indices) and get the colours in their colour table, entry by entry.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/Result.h"

class CDib;
class CUndoSnapshot;

inline constexpr int PALETTE_COLORS = 4;
// Four colours 0x00RRGGBB, lightest first.
using CPaletteColors = std::array<uint32_t, PALETTE_COLORS>;

struct CPalettePreset {
    const char* pszName;   // short ASCII name for the command line: "dmg", "pocket", ...
    const char* pszTitle;  // German name shown in the dialog (UTF-8)
    CPaletteColors colors;
};

// The presets, in the order the dialog lists them.
std::span<const CPalettePreset> PalettePresets();
// The preset of that short name, or null.
const CPalettePreset* FindPalettePreset(std::string_view strName);
// "RRGGBB,RRGGBB,RRGGBB,RRGGBB" (hex digits, lightest first; a leading '#' on each is allowed).
// False for anything else.
bool ParsePaletteColors(std::string_view strText, CPaletteColors& colors);
// The colours in that form, upper-case hex.
std::string FormatPaletteColors(const CPaletteColors& colors);

// The brightness of a colour 0x00RRGGBB: (299 red + 587 green + 114 blue) / 1000, truncated, so
// a grey is its own level.
uint32_t PaletteBrightness(uint32_t nRgb);
// Which of the four levels a colour belongs to, 0 the lightest: the nearest of 0xFF, 0xCC, 0xAA
// and 0x00 by brightness, a tie going to the lighter one. That is: 230 … 255 → 0, 187 … 229 → 1,
// 85 … 186 → 2, 0 … 84 → 3 (the shades a simulated console prints a picture in).
inline constexpr uint32_t PALETTE_THRESHOLDS[PALETTE_COLORS - 1] = {230, 187, 85};
int PaletteLevel(uint32_t nRgb);

// Lays the colours over the picture (no depth check, no snapshot). Pictures of other depths
// than 1, 8 and 24 bits are left as they are.
void ApplyPaletteToDib(CDib& dib, const CPaletteColors& colors);
// The palette command after the dialog's OK: a snapshot of kind UNDO_PALETTE unless one is held,
// then the picture restored from it, then the colours laid on; so another palette replaces the
// previous one instead of being laid over it. False (nothing changed) for a depth other than
// 1, 8, 24 — the caller shows EFFECT_MSG_DEPTH.
CResult ApplyPalette(CDib& dib, CUndoSnapshot& undo, const CPaletteColors& colors);
