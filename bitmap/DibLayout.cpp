#include "bitmap/DibLayout.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "bitmap/CDib.h"
#include "bitmap/LittleEndian.h"

namespace {

// Colour masks that say nothing but "plain pixels" and so can be held as uncompressed.
bool IsPlainMaskSet(uint16_t nBitCount, uint32_t r, uint32_t g, uint32_t b) {
    if (nBitCount == 32)
        return r == 0x00FF0000u && g == 0x0000FF00u && b == 0x000000FFu;
    if (nBitCount == 16)
        return r == 0x7C00u && g == 0x03E0u && b == 0x001Fu;
    return false;
}

}  // namespace

bool ParseDibLayout(const uint8_t* p, size_t nAvail, CDibLayout& layout) {
    layout = CDibLayout{};
    if (p == nullptr || nAvail < DIB_INFO_HEADER_SIZE)
        return false;
    const uint32_t nInfoSize = GetLe32(p + BI_OFS_SIZE);
    if (nInfoSize < DIB_INFO_HEADER_SIZE || nInfoSize > nAvail)
        return false;

    const int32_t nWidth = GetLe32s(p + BI_OFS_WIDTH);
    const int32_t nHeight = GetLe32s(p + BI_OFS_HEIGHT);
    if (nWidth < 0 || nWidth > DIB_MAX_DIMENSION || nHeight < -DIB_MAX_DIMENSION || nHeight > DIB_MAX_DIMENSION)
        return false;
    layout.nWidth = nWidth;
    layout.bTopDown = nHeight < 0;
    layout.nHeight = nHeight < 0 ? -nHeight : nHeight;
    layout.nBitCount = GetLe16(p + BI_OFS_BITCOUNT);
    if (layout.nBitCount == 0)
        return false;  // only compressed (JPEG, PNG) pictures have no depth of their own

    size_t nAfterHeader = nInfoSize;
    uint32_t nCompression = GetLe32(p + BI_OFS_COMPRESSION);
    if (nCompression == BI_BITFIELDS) {
        // The three masks lie inside a longer header, or directly behind a 40-byte one.
        size_t nMaskOffset = DIB_INFO_HEADER_SIZE;
        if (nInfoSize < DIB_INFO_HEADER_SIZE + 12) {
            nMaskOffset = nInfoSize;
            nAfterHeader = size_t(nInfoSize) + 12;
            if (nAfterHeader > nAvail)
                return false;
        }
        if (!IsPlainMaskSet(layout.nBitCount, GetLe32(p + nMaskOffset), GetLe32(p + nMaskOffset + 4),
                            GetLe32(p + nMaskOffset + 8)))
            return false;
        nCompression = BI_RGB;
    } else if (nCompression != BI_RGB) {
        return false;
    }

    const uint32_t nClrUsed = GetLe32(p + BI_OFS_CLRUSED);
    layout.bDepthKnown = true;
    if (nClrUsed != 0) {
        layout.nColors = nClrUsed;
    } else {
        switch (layout.nBitCount) {
        case 1: layout.nColors = 2; break;
        case 4: layout.nColors = 16; break;
        case 8: layout.nColors = 256; break;
        case 24: layout.nColors = 0; break;
        default: layout.nColors = 0; layout.bDepthKnown = false; break;
        }
    }
    layout.nColorTableOffset = nAfterHeader;
    const uint64_t nHeaderEnd = uint64_t(nAfterHeader) + 4ull * layout.nColors;
    if (nHeaderEnd > nAvail)
        return false;
    layout.nHeaderEnd = size_t(nHeaderEnd);

    const uint64_t nRowBytes = ((uint64_t(layout.nBitCount) * uint64_t(layout.nWidth) + 31) / 32) * 4;
    const uint64_t nRequired = nRowBytes * uint64_t(layout.nHeight);
    if (nRowBytes > DibImageLimit() || nRequired > DibImageLimit())
        return false;
    layout.nRowBytes = uint32_t(nRowBytes);
    layout.nRequiredBytes = uint32_t(nRequired);
    const uint32_t nSizeImage = GetLe32(p + BI_OFS_SIZEIMAGE);
    layout.nDeclaredBytes = nSizeImage != 0 ? nSizeImage : layout.nRequiredBytes;

    std::memcpy(layout.header, p, DIB_INFO_HEADER_SIZE);
    PutLe32(layout.header + BI_OFS_SIZE, DIB_INFO_HEADER_SIZE);
    PutLe32(layout.header + BI_OFS_HEIGHT, uint32_t(layout.nHeight));
    PutLe32(layout.header + BI_OFS_COMPRESSION, nCompression);
    return true;
}

uint32_t ChoosePixelBlockSize(CDibLayout& layout, uint64_t nPresent) {
    uint64_t nSize = layout.nDeclaredBytes;
    if (nSize > layout.nRequiredBytes) {
        // Extra bytes behind the rows are kept only as far as they exist and fit.
        nSize = std::min<uint64_t>({nSize, nPresent, DibImageLimit()});
    }
    nSize = std::max<uint64_t>(nSize, layout.nRequiredBytes);
    if (GetLe32(layout.header + BI_OFS_SIZEIMAGE) != 0)
        PutLe32(layout.header + BI_OFS_SIZEIMAGE, uint32_t(nSize));
    return uint32_t(nSize);
}

void CDibLoader::Take(CDib& dib, const CDibLayout& layout, const uint8_t* pColorTable, const uint8_t* pPixels,
                      size_t nPixels, uint32_t nBlockSize) {
    auto pBits = std::make_unique_for_overwrite<uint8_t[]>(nBlockSize);
    const size_t nCopy = std::min<size_t>(nPixels, nBlockSize);
    if (nCopy != 0)
        std::memcpy(pBits.get(), pPixels, nCopy);
    std::memset(pBits.get() + nCopy, 0, nBlockSize - nCopy);
    Adopt(dib, layout, pColorTable, std::move(pBits), nBlockSize);
}

void CDibLoader::Adopt(CDib& dib, const CDibLayout& layout, const uint8_t* pColorTable,
                       std::unique_ptr<uint8_t[]> pBits, uint32_t nBlockSize) {
    const uint32_t nHeaderBytes = DIB_INFO_HEADER_SIZE + 4 * layout.nColors;
    auto pHeader = std::make_unique<uint8_t[]>(nHeaderBytes);
    std::memcpy(pHeader.get(), layout.header, DIB_INFO_HEADER_SIZE);
    if (layout.nColors != 0)
        std::memcpy(pHeader.get() + DIB_INFO_HEADER_SIZE, pColorTable, 4 * size_t(layout.nColors));
    if (layout.bTopDown && layout.nHeight > 1 && layout.nRowBytes != 0 &&
        uint64_t(layout.nHeight) * layout.nRowBytes <= nBlockSize) {
        // Held rows are bottom-up: swap row i with row height - 1 - i.
        std::vector<uint8_t> tmp(layout.nRowBytes);
        for (int32_t i = 0, j = layout.nHeight - 1; i < j; ++i, --j) {
            uint8_t* a = pBits.get() + size_t(i) * layout.nRowBytes;
            uint8_t* b = pBits.get() + size_t(j) * layout.nRowBytes;
            std::memcpy(tmp.data(), a, layout.nRowBytes);
            std::memcpy(a, b, layout.nRowBytes);
            std::memcpy(b, tmp.data(), layout.nRowBytes);
        }
    }
    dib.Empty();
    dib.m_pHeader = std::move(pHeader);
    dib.m_nHeaderBytes = nHeaderBytes;
    dib.ComputeSizes();
    dib.m_pBits = std::move(pBits);
}
