#pragma once
// The effect-undo snapshot of a picture document: every pixel value as GetPixel gave it, in row
// order from the top, with the kind of effect that took it.
#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap/DibTypes.h"

class CDib;

enum : int32_t { UNDO_NONE = 0, UNDO_COLORIZE = 2, UNDO_SOFTEN = 20, UNDO_PALETTE = 30 };

// The most pixel values a snapshot holds (1 GiB of values). A 1-bit picture within the pixel
// block limit can have eight times as many pixels as bytes; its snapshot is not attempted.
inline constexpr uint64_t UNDO_MAX_PIXELS = 256ull * 1024u * 1024u;

class CUndoSnapshot {
public:
    // Frees the previous snapshot and saves every pixel of the picture; false only when the
    // memory cannot be had or the picture has more than UNDO_MAX_PIXELS pixels (then no
    // snapshot is held).
    bool SaveUndo(const CDib& dib, int32_t nKind);
    // Writes the saved values back. A picture whose size or bit depth changed since the
    // snapshot (a paste in between) is left alone and false returned: the values belong to
    // another picture.
    bool RestoreUndo(CDib& dib) const;
    // Forgets the snapshot: kind UNDO_NONE.
    void Free();
    bool HasSnapshot() const { return m_pUndoPixels != nullptr; }
    int32_t GetKind() const { return m_nUndoKind; }
    // True when a snapshot is held and was taken from a picture of this size and depth.
    bool Fits(const CDib& dib) const;
    CSize GetSavedSize() const;

private:
    std::unique_ptr<uint32_t[]> m_pUndoPixels;
    int32_t m_nUndoKind = UNDO_NONE;
    int32_t m_nUndoWidth = 0;
    int32_t m_nUndoHeight = 0;
    uint16_t m_nUndoBitCount = 0;
    std::vector<uint8_t> m_ColorTable;  // the palette effect changes it
};
