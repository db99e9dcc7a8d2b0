#pragma once
// What a PNG file's own header says: its size, colour type, bit depth, interlacing, and which
// of its chunks bear on the colours (palette, transparency). Read from the bytes, without
// decoding the picture.
#include <cstdint>
#include <string>

struct CPngHeader {
    uint32_t nWidth = 0;
    uint32_t nHeight = 0;
    uint8_t nBitDepth = 0;
    uint8_t nColourType = 0;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha
    uint8_t nInterlace = 0;   // 0 none, 1 Adam7
    int32_t nPaletteEntries = -1;  // -1: no PLTE chunk
    bool bTransparency = false;    // a tRNS chunk
};

// Reads the header and the chunks up to the first IDAT; false when the bytes are no PNG file
// with a header.
bool ReadPngHeader(const std::string& strBytes, CPngHeader& header);

// "RGB", "grey + alpha", ...
const char* PngColourTypeName(uint8_t nColourType);
