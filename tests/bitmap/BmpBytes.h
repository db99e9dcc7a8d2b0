#pragma once
// Builds bitmap files and clipboard DIBs byte by byte for the tests.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "bitmap/CDib.h"

struct CBmpRecipe {
    uint32_t nInfoSize = 40;
    int32_t nWidth = 4;
    int32_t nHeight = 2;
    uint16_t nBitCount = 24;
    uint32_t nCompression = 0;
    uint32_t nSizeImage = 0;
    uint32_t nClrUsed = 0;
    uint32_t nColorEntries = 0;  // colour-table entries actually written (entry i = i, i+1, i+2, 0)
    std::vector<uint32_t> masks; // written directly behind the info header (or at offset 40 inside it)
    int64_t nOffBits = -1;       // -1: right behind the colour table
    int64_t nPixelBytes = -1;    // -1: rows × height, byte i = i & 0xFF
};

inline void Put16(std::vector<uint8_t>& v, size_t at, uint16_t n) {
    v[at] = uint8_t(n);
    v[at + 1] = uint8_t(n >> 8);
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t n) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = uint8_t(n >> (8 * i));
}
inline uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}

inline uint32_t RowBytesOf(int32_t nWidth, uint16_t nBitCount) {
    return ((uint32_t(nBitCount) * uint32_t(nWidth) + 31) / 32) * 4;
}

// The packed DIB: info header, masks, colour table, pixels.
inline std::vector<uint8_t> MakeDib(const CBmpRecipe& s) {
    const bool bMasksInside = s.nInfoSize >= 52;
    std::vector<uint8_t> v(s.nInfoSize, 0);
    Put32(v, 0, s.nInfoSize);
    Put32(v, 4, uint32_t(s.nWidth));
    Put32(v, 8, uint32_t(s.nHeight));
    Put16(v, 12, 1);
    Put16(v, 14, s.nBitCount);
    Put32(v, 16, s.nCompression);
    Put32(v, 20, s.nSizeImage);
    Put32(v, 24, 3937);
    Put32(v, 28, 3937);
    Put32(v, 32, s.nClrUsed);
    for (size_t i = 0; i < s.masks.size(); ++i) {
        if (bMasksInside) {
            Put32(v, 40 + 4 * i, s.masks[i]);
        } else {
            v.resize(v.size() + 4);
            Put32(v, v.size() - 4, s.masks[i]);
        }
    }
    for (uint32_t i = 0; i < s.nColorEntries; ++i) {
        v.push_back(uint8_t(i));
        v.push_back(uint8_t(i + 1));
        v.push_back(uint8_t(i + 2));
        v.push_back(0);
    }
    const int32_t nRows = s.nHeight < 0 ? -s.nHeight : s.nHeight;
    const int64_t nPixels =
        s.nPixelBytes >= 0 ? s.nPixelBytes : int64_t(RowBytesOf(s.nWidth, s.nBitCount)) * nRows;
    for (int64_t i = 0; i < nPixels; ++i)
        v.push_back(uint8_t(i));
    return v;
}

// The whole file: file header, then the packed DIB (bfOffBits as the recipe says).
inline std::string MakeBmpFile(const CBmpRecipe& s) {
    std::vector<uint8_t> dib = MakeDib(s);
    const int32_t nRows = s.nHeight < 0 ? -s.nHeight : s.nHeight;
    const int64_t nPixels =
        s.nPixelBytes >= 0 ? s.nPixelBytes : int64_t(RowBytesOf(s.nWidth, s.nBitCount)) * nRows;
    const uint32_t nHeaderEnd = uint32_t(dib.size() - size_t(nPixels));
    std::vector<uint8_t> f(14, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, uint32_t(14 + dib.size()));
    Put32(f, 10, s.nOffBits >= 0 ? uint32_t(s.nOffBits) : 14 + nHeaderEnd);
    f.insert(f.end(), dib.begin(), dib.end());
    return std::string(f.begin(), f.end());
}

// The bytes Write stores (none for a picture it refuses).
inline std::string WriteToString(const CDib& dib) {
    std::ostringstream out;
    return dib.Write(out).Ok() ? out.str() : std::string();
}

inline CResult ReadFromString(CDib& dib, const std::string& strBytes) {
    std::istringstream in(strBytes);
    return dib.Read(in);
}
