#pragma once
// Turns the console's 2-bit tile bytes into pixels of a 24-bit picture.
#include <cstdint>

class CDib;

// Writes b = nTileBytes / 320 bands (at most 62, the 20000 bytes the view keeps) into dib
// through SetPixel; the caller has made dib 160 x 8*b. Bytes after the last whole band are
// ignored; a negative count decodes nothing.
void DecodeTiles(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib);

// Pixel value (0x00RRGGBB) of a colour number 0..3.
uint32_t TileColour(unsigned nColour);
