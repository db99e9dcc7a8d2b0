#pragma once
// A series of prints as one tile stream: each print's data packets expanded by their own
// compression flag, the print's palette applied, the prints' bands one under the other. No
// padding band and no rows for the margins.
#include <cstdint>
#include <vector>

struct CPrintSeries;

// The shade a print with this palette byte gives colour number c: (palette >> 2c) & 3. The
// console's "no palette" 0x00 prints as the standard 0xE4 (colour c as shade c).
uint8_t PaletteShade(uint8_t nPalette, unsigned nColour);

// Replaces every pixel's colour number in the tile rows of pTiles[0 .. nBytes-1] by its shade;
// an odd last byte is left as it is.
void ApplyPalette(uint8_t* pTiles, int32_t nBytes, uint8_t nPalette);

// Writes the series' prints to pOut (at most nOutMax bytes; pOut null only counts) and returns
// the bytes written. bWholeBands: every print ended on a band boundary and nothing was cut.
int32_t AssembleSeries(const CPrintSeries& series, uint8_t* pOut, int32_t nOutMax, bool& bWholeBands);
// The same, also writing where each print's bytes end (pEnds: one entry per print, or null).
int32_t AssembleSeries(const CPrintSeries& series, uint8_t* pOut, int32_t nOutMax, bool& bWholeBands, int32_t* pEnds);
// Where each print's bytes end in the series' picture.
std::vector<int32_t> SeriesPrintEnds(const CPrintSeries& series);
