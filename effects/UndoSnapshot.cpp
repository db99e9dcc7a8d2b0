#include "effects/UndoSnapshot.h"

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
    uint32_t* p = m_pUndoPixels.get();
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x)
            *p++ = dib.GetPixel({x, y});
    return true;
}

bool CUndoSnapshot::RestoreUndo(CDib& dib) const {
    if (!Fits(dib))
        return false;
    const uint32_t* p = m_pUndoPixels.get();
    for (int32_t y = 0; y < m_nUndoHeight; ++y)
        for (int32_t x = 0; x < m_nUndoWidth; ++x)
            dib.SetPixel({x, y}, *p++);
    return true;
}

void CUndoSnapshot::Free() {
    m_pUndoPixels.reset();
    m_nUndoKind = UNDO_NONE;
    m_nUndoWidth = 0;
    m_nUndoHeight = 0;
    m_nUndoBitCount = 0;
}

bool CUndoSnapshot::Fits(const CDib& dib) const {
    return m_pUndoPixels != nullptr && dib.GetDimensions() == CSize{m_nUndoWidth, m_nUndoHeight} &&
           dib.GetBitCount() == m_nUndoBitCount;
}

CSize CUndoSnapshot::GetSavedSize() const { return {m_nUndoWidth, m_nUndoHeight}; }
