#include "console/ConsolePicture.h"

#include "bitmap/CDib.h"

#include <cstdlib>

std::vector<uint8_t> BuildTestCardLevels()
{
    constexpr int32_t nWidth = TILE_PICTURE_WIDTH;
    constexpr int32_t nHeight = 144;
    std::vector<uint8_t> levels(static_cast<size_t>(nWidth) * nHeight);
    for (int32_t y = 0; y < nHeight; ++y)
        for (int32_t x = 0; x < nWidth; ++x) {
            // Upper half: four vertical grey bands, white to black. Lower half: horizontal
            // stripes of one band height each, cycling through the four levels.
            uint8_t c = y < nHeight / 2 ? static_cast<uint8_t>(x / 40) : static_cast<uint8_t>((y / 8) % 4);
            if (x < 3 || y < 3 || x >= nWidth - 3 || y >= nHeight - 3)
                c = 3; // the frame
            else if (x - y >= 8 && x - y < 11)
                c = static_cast<uint8_t>(3 - c); // the diagonal, in the opposite shade
            levels[static_cast<size_t>(y) * nWidth + x] = c;
        }
    return levels;
}

std::vector<uint8_t> BuildTestCard()
{
    return EncodeTiles(BuildTestCardLevels(), 144);
}

namespace {
uint8_t LevelOf(uint32_t nRgb)
{
    const int r = static_cast<int>((nRgb >> 16) & 0xFF);
    const int g = static_cast<int>((nRgb >> 8) & 0xFF);
    const int b = static_cast<int>(nRgb & 0xFF);
    const int nLuma = (r * 299 + g * 587 + b * 114) / 1000;
    constexpr int kLevels[4] = {0xFF, 0xCC, 0xAA, 0x00};
    uint8_t nBest = 0;
    for (uint8_t c = 1; c < 4; ++c)
        if (std::abs(nLuma - kLevels[c]) < std::abs(nLuma - kLevels[nBest]))
            nBest = c;
    return nBest;
}
} // namespace

bool LoadPictureTiles(const std::filesystem::path& path, std::vector<uint8_t>& tiles, std::string& strError)
{
    CDib dib;
    // The bitmap reader's own message becomes part of the reason given, not a message box of
    // its own before the caller's. A picture read with a remark (a depth without a colour
    // count) is read: the remark is not shown.
    const CResult read = dib.ReadFile(path);
    if (!read.Ok()) {
        strError = "cannot read picture " + path.string();
        if (read.HasMessage())
            strError += " (" + read.m_strMessage + ")";
        return false;
    }
    const CSize size = dib.GetDimensions();
    const int32_t nRows = (size.cy / 8) * 8;
    if (size.cx <= 0 || nRows <= 0) {
        strError = "picture " + path.string() + " has fewer than 8 rows";
        return false;
    }
    const uint16_t nBits = dib.GetBitCount();
    const uint8_t* pTable = dib.GetColorTable();
    const int32_t nColors = dib.GetColorCount();
    std::vector<uint8_t> levels(static_cast<size_t>(nRows) * TILE_PICTURE_WIDTH, 0);
    for (int32_t y = 0; y < nRows; ++y)
        for (int32_t x = 0; x < TILE_PICTURE_WIDTH && x < size.cx; ++x) {
            uint32_t nValue = dib.GetPixel(CPoint{x, y});
            if (nValue == DIB_NO_PIXEL) {
                // GetPixel's complaint about the depth, as the reader's, goes into the reason.
                const CResult access = dib.CheckGetPixel();
                strError = "picture " + path.string() + " has an unsupported pixel format";
                if (access.HasMessage())
                    strError += " (" + access.m_strMessage + ")";
                return false;
            }
            if (nBits <= 8) {
                // An index into the colour table (blue, green, red, reserved).
                if (pTable == nullptr || static_cast<int32_t>(nValue) >= nColors) {
                    nValue = 0xFFFFFF;
                } else {
                    const uint8_t* pEntry = pTable + 4 * nValue;
                    nValue = (uint32_t{pEntry[2]} << 16) | (uint32_t{pEntry[1]} << 8) | pEntry[0];
                }
            }
            levels[static_cast<size_t>(y) * TILE_PICTURE_WIDTH + x] = LevelOf(nValue);
        }
    tiles = EncodeTiles(levels, nRows);
    return true;
}
