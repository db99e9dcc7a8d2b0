#include "effects/UndoSnapshot.h"

#include <cstring>
#include <new>

#include "bitmap/CDib.h"

bool CUndoSnapshot::SaveUndo(const CDib& dib, int32_t nKind) {
    Free();
    const CSize size = dib.GetDimensions();
    const uint64_t nCount = uint64_t(size.cx) * uint64_t(size.cy);
    if (nCount > UNDO_MAX_PIXELS)
        return false;
    try {
        m_pUndoPixels = std::make_unique_for_overwrite<uint32_t[]>(size_t(nCount));
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_nUndoKind = nKind;
    m_nUndoWidth = size.cx;
    m_nUndoHeight = size.cy;
    m_nUndoBitCount = dib.GetBitCount();
    if (dib.GetColorTable())
        m_ColorTable.assign(dib.GetColorTable(), dib.GetColorTable() + 4 * size_t(dib.GetColorCount()));
    uint32_t* p = m_pUndoPixels.get();
    const uint16_t nBitCount = dib.GetBitCount();
    for (int32_t y = 0; y < size.cy; ++y) {
        const uint8_t* pRow = dib.GetRowBits(y);
        switch (pRow != nullptr ? nBitCount : 0) {
        case 24:
            for (int32_t x = 0; x < size.cx; ++x, pRow += 3)
                *p++ = uint32_t(pRow[0]) | (uint32_t(pRow[1]) << 8) | (uint32_t(pRow[2]) << 16);
            break;
        case 8:
            for (int32_t x = 0; x < size.cx; ++x)
                *p++ = pRow[x];
            break;
        case 1:
            for (int32_t x = 0; x < size.cx; ++x)
                *p++ = (pRow[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        default:  // the values GetPixel gives (the effects refuse such depths before a snapshot)
            for (int32_t x = 0; x < size.cx; ++x)
                *p++ = dib.GetPixel({x, y});
            break;
        }
    }
    return true;
}

bool CUndoSnapshot::RestoreUndo(CDib& dib) const {
    if (!Fits(dib))
        return false;
    if (!m_ColorTable.empty() && dib.GetColorTable() && m_ColorTable.size() == 4 * size_t(dib.GetColorCount())) {
        std::memcpy(dib.GetColorTable(), m_ColorTable.data(), m_ColorTable.size());
        dib.MakePalette();
    }
    const uint32_t* p = m_pUndoPixels.get();
    for (int32_t y = 0; y < m_nUndoHeight; ++y) {
        uint8_t* pRow = dib.GetRowBits(y);
        switch (pRow != nullptr ? m_nUndoBitCount : 0) {
        case 24:
            for (int32_t x = 0; x < m_nUndoWidth; ++x, pRow += 3, ++p) {
                pRow[0] = uint8_t(*p);
                pRow[1] = uint8_t(*p >> 8);
                pRow[2] = uint8_t(*p >> 16);
            }
            break;
        case 8:
            for (int32_t x = 0; x < m_nUndoWidth; ++x)
                pRow[x] = uint8_t(*p++);
            break;
        case 1:
            for (int32_t x = 0; x < m_nUndoWidth; ++x, ++p) {
                const uint8_t nMask = uint8_t(0x80 >> (x & 7));
                pRow[x >> 3] = *p != 0 ? uint8_t(pRow[x >> 3] | nMask) : uint8_t(pRow[x >> 3] & ~nMask);
            }
            break;
        default:
            for (int32_t x = 0; x < m_nUndoWidth; ++x)
                dib.SetPixel({x, y}, *p++);
            break;
        }
    }
    return true;
}

void CUndoSnapshot::Free() {
    m_pUndoPixels.reset();
    m_nUndoKind = UNDO_NONE;
    m_nUndoWidth = 0;
    m_nUndoHeight = 0;
    m_nUndoBitCount = 0;
    m_ColorTable.clear();
}

bool CUndoSnapshot::Fits(const CDib& dib) const {
    return m_pUndoPixels != nullptr && dib.GetDimensions() == CSize{m_nUndoWidth, m_nUndoHeight} &&
           dib.GetBitCount() == m_nUndoBitCount;
}

CSize CUndoSnapshot::GetSavedSize() const { return {m_nUndoWidth, m_nUndoHeight}; }
