#pragma once
// Turns the console's 2-bit tile bytes into the 24-bit picture the view shows.
#include <cstdint>

#include "protocol/TileCodec.h"

class CDib;

// Writes b = nTileBytes / 320 bands (at most 62, the 20000 bytes the view keeps) into dib;
// the caller has made dib 160 x 8*b. Bytes after the last whole band are ignored; a negative
// count decodes nothing. Pixels beyond a smaller picture are left out.
void DecodeTiles(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib);

// What the view makes of a received picture: dib becomes 160 pixels wide and 8 rows high for
// every whole band of the first min(nTileBytes, 20000) bytes (0 rows for no data), and the
// tiles are decoded into it. False when the picture cannot be made.
bool CreateReceivedPicture(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib);

// The same for a picture of any height (a series of prints): every whole band of nTileBytes.
bool CreateTilePicture(const uint8_t* pTileData, int32_t nTileBytes, CDib& dib);
