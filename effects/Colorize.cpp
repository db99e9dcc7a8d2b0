#include "effects/Colorize.h"

#include "bitmap/CDib.h"
#include "effects/EffectSnapshot.h"
#include "effects/UndoSnapshot.h"

uint32_t GreyLevel(uint32_t nValue) {
    return ((nValue & 0xFF) + ((nValue >> 8) & 0xFF) + ((nValue >> 16) & 0xFF)) / 3;
}

uint32_t ColorizeValue(int32_t nChoice, uint32_t e, bool bBrightest) {
    const int32_t nColor = nChoice % 16;
    const int32_t nBright = nChoice / 16;
    // Only the known combinations have a colour; anything else stays grey.
    const bool bKnown = nChoice >= 0 && nColor <= 6 && nBright <= 2;
    if (!bKnown)
        return e * 0x010101u;
    if (bBrightest && nColor != 0) {
        if (nBright == 1)
            return 0xFFFFFFu;
    }
    if (bBrightest && nBright == 2)
        return COLORIZE_ORIGINAL_GB;
    switch (nColor) {
    case 1: return e << 16;
    case 2: return e << 8;
    case 3: return e;
    case 4: return (e << 16) + (e << 8);
    case 5: return (e << 16) + e;
    case 6: return (e << 8) + e;
    default: return e * 0x010101u;
    }
}

namespace {

struct CLevelRange {
    uint32_t lo = 0xFFFFFF, hi = 0;
};

CLevelRange FindLevels(const CDib& dib, CSize size) {
    CLevelRange r;
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x) {
            const uint32_t g = GreyLevel(dib.GetPixel({x, y}));
            if (g < r.lo)
                r.lo = g;
            if (g > r.hi)
                r.hi = g;
        }
    return r;
}

// The level stretched from the range to 0 … 255. A range of one level (every pixel alike)
// has no stretch: the levels stay as they are.
uint32_t Stretch(uint32_t nLevel, const CLevelRange& r, double dScale, bool bFlat) {
    if (bFlat)
        return nLevel;
    return uint32_t(double(nLevel - r.lo) * dScale);
}

}  // namespace

void ColorizeDib(CDib& dib, int32_t nChoice) {
    // A 1-bit picture has the levels 0 and 1 only, both grey level 0: there is nothing a ramp
    // could change in its two colour indices, so it is left as it is.
    if (dib.GetBitCount() == 1)
        return;
    const CSize size = dib.GetDimensions();
    if (size.cx <= 0 || size.cy <= 0)
        return;

    const CLevelRange r1 = FindLevels(dib, size);
    const bool bFlat1 = r1.hi == r1.lo;
    const double s1 = bFlat1 ? 1.0 : 255.0 / double(uint32_t(r1.hi - r1.lo));
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x) {
            const uint32_t e = Stretch(GreyLevel(dib.GetPixel({x, y})), r1, s1, bFlat1);
            dib.SetPixel({x, y}, e * 0x010101u);
        }

    const CLevelRange r2 = FindLevels(dib, size);
    const bool bFlat2 = r2.hi == r2.lo;
    const double s2 = bFlat2 ? 1.0 : 255.0 / double(uint32_t(r2.hi - r2.lo));
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x) {
            // The brightest pixels are those of the highest level, compared before scaling.
            const uint32_t nLevel = GreyLevel(dib.GetPixel({x, y}));
            const uint32_t e = Stretch(nLevel, r2, s2, bFlat2);
            dib.SetPixel({x, y}, ColorizeValue(nChoice, e, nLevel == r2.hi));
        }
}

bool ApplyColorize(CDib& dib, CUndoSnapshot& undo, int32_t nChoice) {
    if (!IsEffectDepthSupported(dib))
        return false;
    // Without room for a snapshot the colouring still runs; it just cannot be undone.
    StartFromSnapshot(dib, undo, UNDO_COLORIZE);
    ColorizeDib(dib, nChoice);
    return true;
}
