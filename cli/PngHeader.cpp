#include "cli/PngHeader.h"

namespace {

constexpr size_t SIGNATURE_SIZE = 8;
constexpr size_t IHDR_DATA_SIZE = 13;

uint32_t ReadBigEndian32(const std::string& strBytes, size_t nAt)
{
    uint32_t nValue = 0;
    for (size_t i = 0; i < 4; ++i)
        nValue = nValue << 8 | uint8_t(strBytes[nAt + i]);
    return nValue;
}

}  // namespace

bool ReadPngHeader(const std::string& strBytes, CPngHeader& header)
{
    if (strBytes.compare(0, SIGNATURE_SIZE, "\x89PNG\r\n\x1a\n", SIGNATURE_SIZE) != 0)
        return false;
    size_t nAt = SIGNATURE_SIZE;
    bool bHeader = false;
    // Each chunk: length, type, data, check sum.
    while (nAt + 8 <= strBytes.size()) {
        const uint32_t nLength = ReadBigEndian32(strBytes, nAt);
        const std::string strType = strBytes.substr(nAt + 4, 4);
        const size_t nData = nAt + 8;
        if (nLength > strBytes.size() - nData)
            break;
        if (!bHeader) {
            if (strType != "IHDR" || nLength != IHDR_DATA_SIZE)
                return false;
            header.nWidth = ReadBigEndian32(strBytes, nData);
            header.nHeight = ReadBigEndian32(strBytes, nData + 4);
            header.nBitDepth = uint8_t(strBytes[nData + 8]);
            header.nColourType = uint8_t(strBytes[nData + 9]);
            header.nInterlace = uint8_t(strBytes[nData + 12]);
            bHeader = true;
        } else if (strType == "PLTE") {
            header.nPaletteEntries = int32_t(nLength / 3);
        } else if (strType == "tRNS") {
            header.bTransparency = true;
        } else if (strType == "IDAT") {
            break;  // palette and transparency come before the picture data
        }
        nAt = nData + size_t(nLength) + 4;
    }
    return bHeader;
}

const char* PngColourTypeName(uint8_t nColourType)
{
    switch (nColourType) {
    case 0: return "grey";
    case 2: return "RGB";
    case 3: return "palette";
    case 4: return "grey + alpha";
    case 6: return "RGB + alpha";
    default: return "unknown";
    }
}
