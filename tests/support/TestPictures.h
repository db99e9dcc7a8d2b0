#pragma once
// Pictures for the suites: made pixel by pixel, and read back as a list of pixel values.
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/CDib.h"

// A picture as reception delivers it: 160 wide, bands of the four levels 255, 204, 170, 0.
inline void MakeReceivedPicture(CDib& dib, int32_t nHeight = 16) {
    static const uint32_t levels[4] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000};
    dib.Create(160, nHeight);
    for (int32_t y = 0; y < nHeight; ++y)
        for (int32_t x = 0; x < 160; ++x)
            dib.SetPixel({x, y}, levels[(x / 8 + y) % 4]);
}

inline void FillPicture(CDib& dib, int32_t w, int32_t h, uint32_t nValue) {
    dib.Create(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            dib.SetPixel({x, y}, nValue);
}

inline std::vector<uint32_t> PixelsOf(const CDib& dib) {
    std::vector<uint32_t> v;
    const CSize s = dib.GetDimensions();
    for (int32_t y = 0; y < s.cy; ++y)
        for (int32_t x = 0; x < s.cx; ++x)
            v.push_back(dib.GetPixel({x, y}));
    return v;
}
