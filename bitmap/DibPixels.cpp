// Reading and writing one pixel by its coordinates; (0, 0) is the top-left pixel.
#include "bitmap/CDib.h"

uint8_t* CDib::RowOf(int32_t y) const {
    const CSize size = GetDimensions();
    if (!m_pBits || y < 0 || y >= size.cy)
        return nullptr;
    // Rows are stored bottom-up. The held sizes are checked on the way in; this test keeps a
    // pixel access inside the block all the same.
    const uint64_t nRow = uint64_t(size.cy - 1 - y);
    if ((nRow + 1) * uint64_t(m_nRowBytes) > m_dwImageSize)
        return nullptr;
    return m_pBits.get() + nRow * uint64_t(m_nRowBytes);
}

uint32_t CDib::GetPixel(CPoint pt) const {
    const CSize size = GetDimensions();
    if (pt.x < 0 || pt.x >= size.cx || pt.y < 0 || pt.y >= size.cy)
        return DIB_NO_PIXEL;
    const uint8_t* pRow = RowOf(pt.y);
    if (pRow == nullptr)
        return DIB_NO_PIXEL;
    switch (GetBitCount()) {
    case 1:
        return (pRow[pt.x / 8] & (0x80 >> (pt.x % 8))) ? 1 : 0;
    case 8:
        return pRow[pt.x];
    case 24: {
        const uint8_t* p = pRow + 3 * size_t(pt.x);
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }
    default:
        return DIB_NO_PIXEL;
    }
}

void CDib::SetPixel(CPoint pt, uint32_t nValue) {
    const CSize size = GetDimensions();
    if (pt.x < 0 || pt.x >= size.cx || pt.y < 0 || pt.y >= size.cy)
        return;
    uint8_t* pRow = RowOf(pt.y);
    if (pRow == nullptr)
        return;
    switch (GetBitCount()) {
    case 1: {
        const uint8_t nMask = uint8_t(0x80 >> (pt.x % 8));
        if (nValue != 0)
            pRow[pt.x / 8] |= nMask;
        else
            pRow[pt.x / 8] &= uint8_t(~nMask);
        break;
    }
    case 8:
        pRow[pt.x] = uint8_t(nValue & 0xFF);
        break;
    case 24: {
        uint8_t* p = pRow + 3 * size_t(pt.x);
        p[0] = uint8_t(nValue & 0xFF);
        p[1] = uint8_t((nValue >> 8) & 0xFF);
        p[2] = uint8_t((nValue >> 16) & 0xFF);
        break;
    }
    default:
        break;
    }
}

namespace {
bool HasPixelAccess(const CDib& dib) {
    const uint16_t nBits = dib.GetBitCount();
    return dib.IsEmpty() || nBits == 1 || nBits == 8 || nBits == 24;
}
}  // namespace

CResult CDib::CheckGetPixel() const {
    return HasPixelAccess(*this) ? CResult::Success()
                                 : CResult::Failure(EErrorKind::UnsupportedDepth, DIB_MSG_GETPIXEL_DEPTH);
}

CResult CDib::CheckSetPixel() const {
    return HasPixelAccess(*this) ? CResult::Success()
                                 : CResult::Failure(EErrorKind::UnsupportedDepth, DIB_MSG_SETPIXEL_DEPTH);
}
