#include "bitmap/CDib.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "bitmap/LittleEndian.h"

namespace {
uint64_t g_nImageLimit = DIB_MAX_IMAGE_BYTES;
}

uint64_t DibImageLimit() { return g_nImageLimit; }

uint64_t SetDibImageLimit(uint64_t nBytes) {
    const uint64_t nPrevious = g_nImageLimit;
    g_nImageLimit = nBytes != 0 ? std::min(nBytes, uint64_t(UINT32_MAX)) : DIB_MAX_IMAGE_BYTES;
    return nPrevious;
}

CDib::CDib() = default;

CDib::~CDib() { Empty(); }

void CDib::Empty() {
    m_pHeader.reset();
    m_pColorTable = nullptr;
    m_pBits.reset();
    m_nRowBytes = 0;
    m_dwImageSize = 0;
    m_nColors = 0;
    m_hPalette.reset();
    m_nHeaderBytes = 0;
}

bool CDib::Create(int32_t nWidth, int32_t nHeight) {
    Empty();
    if (nWidth < 0 || nHeight < 0 || nWidth > DIB_MAX_DIMENSION || nHeight > DIB_MAX_DIMENSION)
        return false;
    const uint64_t nRowBytes = ((24ull * uint64_t(nWidth) + 31) / 32) * 4;
    const uint64_t nImageSize = nRowBytes * uint64_t(nHeight);
    if (nRowBytes > DibImageLimit() || nImageSize > DibImageLimit())
        return false;
    try {
        auto pHeader = std::make_unique<uint8_t[]>(DIB_INFO_HEADER_SIZE);  // zero-filled
        uint8_t* h = pHeader.get();
        PutLe32(h + BI_OFS_SIZE, DIB_INFO_HEADER_SIZE);
        PutLe32(h + BI_OFS_WIDTH, uint32_t(nWidth));
        PutLe32(h + BI_OFS_HEIGHT, uint32_t(nHeight));
        PutLe16(h + BI_OFS_PLANES, 1);
        PutLe16(h + BI_OFS_BITCOUNT, 24);
        PutLe32(h + BI_OFS_COMPRESSION, BI_RGB);
        PutLe32(h + BI_OFS_SIZEIMAGE, uint32_t(nImageSize));
        PutLe32(h + BI_OFS_XPELS, 3937);
        PutLe32(h + BI_OFS_YPELS, 3937);
        m_pHeader = std::move(pHeader);
        m_nHeaderBytes = DIB_INFO_HEADER_SIZE;
        ComputeSizes();
        m_pBits = std::make_unique_for_overwrite<uint8_t[]>(m_dwImageSize);
        std::memset(m_pBits.get(), 0xFF, m_dwImageSize);
    } catch (const std::bad_alloc&) {
        Empty();
        return false;
    }
    (void)ComputeColorCount(24);  // 24 bits always have their count
    MakePalette();
    return true;
}

CResult CDib::ComputeColorCount(uint16_t nBitCount) {
    uint32_t nColors = 0;
    const uint32_t nClrUsed = m_pHeader ? GetLe32(m_pHeader.get() + BI_OFS_CLRUSED) : 0;
    if (nClrUsed != 0) {
        nColors = nClrUsed;
    } else {
        switch (nBitCount) {
        case 1: nColors = 2; break;
        case 4: nColors = 16; break;
        case 8: nColors = 256; break;
        case 24: nColors = 0; break;
        default: return CResult::Notice(DIB_MSG_DEPTH);
        }
    }
    // The count never claims more entries than the held header block has room for.
    if (m_pHeader && nColors > (m_nHeaderBytes - DIB_INFO_HEADER_SIZE) / 4)
        nColors = (m_nHeaderBytes - DIB_INFO_HEADER_SIZE) / 4;
    m_nColors = int32_t(nColors);
    return CResult::Success();
}

void CDib::ComputeSizes() {
    if (!m_pHeader)
        return;
    const uint8_t* h = m_pHeader.get();
    const uint64_t nWidth = uint32_t(std::max(GetLe32s(h + BI_OFS_WIDTH), 0));
    const uint64_t nHeight = uint32_t(std::max(GetLe32s(h + BI_OFS_HEIGHT), 0));
    const uint64_t nRowBytes = ((uint64_t(GetLe16(h + BI_OFS_BITCOUNT)) * nWidth + 31) / 32) * 4;
    // Held headers are checked on the way in, so the rows always fit; the product is taken in
    // 64 bits all the same and the image size never drops below the rows it must hold.
    const uint64_t nRequired = nRowBytes * nHeight;
    const uint32_t nSizeImage = GetLe32(h + BI_OFS_SIZEIMAGE);
    m_dwImageSize = uint32_t(std::max<uint64_t>(nSizeImage, nRequired));
    m_pColorTable = m_pHeader.get() + DIB_INFO_HEADER_SIZE;
    m_nRowBytes = int32_t(nRowBytes);
}

bool CDib::MakePalette() {
    if (m_nColors <= 0 || !m_pHeader)
        return false;
    m_hPalette.reset();
    std::vector<CDibPaletteEntry> entries(static_cast<size_t>(m_nColors));
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint8_t* q = m_pColorTable + 4 * i;
        entries[i] = CDibPaletteEntry{q[2], q[1], q[0], 0};
    }
    m_hPalette = std::make_unique<CDibPalette>(std::move(entries));
    return true;
}

CSize CDib::GetDimensions() const {
    if (!m_pHeader)
        return {};
    return {GetLe32s(m_pHeader.get() + BI_OFS_WIDTH), GetLe32s(m_pHeader.get() + BI_OFS_HEIGHT)};
}

uint16_t CDib::GetBitCount() const {
    return m_pHeader ? GetLe16(m_pHeader.get() + BI_OFS_BITCOUNT) : 0;
}

uint32_t CDib::GetHeaderSize() const { return DIB_INFO_HEADER_SIZE + 4u * uint32_t(m_nColors); }
