#include "effects/Colorize.h"

#include <algorithm>
#include <array>
#include <vector>

#include "bitmap/CDib.h"
#include "effects/EffectSnapshot.h"
#include "effects/RowBands.h"
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
    void Add(uint32_t g) {
        lo = std::min(lo, g);
        hi = std::max(hi, g);
    }
};

// The level stretched from the range to 0 … 255. A range of one level (every pixel alike)
// has no stretch: the levels stay as they are.
struct CStretch {
    CLevelRange r;
    bool bFlat = false;
    double dScale = 1.0;
    explicit CStretch(const CLevelRange& range) : r(range), bFlat(range.hi == range.lo) {
        if (!bFlat)
            dScale = 255.0 / double(uint32_t(r.hi - r.lo));
    }
    uint32_t operator()(uint32_t nLevel) const {
        if (bFlat)
            return nLevel;
        return uint32_t(double(nLevel - r.lo) * dScale);
    }
};

// Every pixel's grey level follows from one number, its key: the sum of its three channels
// (24 bits) or its colour index (8 bits, whose green and red are 0); the level is key / 3. The
// four passes therefore make each pixel a function of its key alone: the first and third pass
// only need to know which keys occur, and the second and fourth become one table lookup.
constexpr size_t KEYS = 3 * 255 + 1;

inline uint32_t KeyOf(const uint8_t* p, bool b24) {
    return b24 ? uint32_t(p[0]) + p[1] + p[2] : p[0];
}

}  // namespace

void ColorizeDib(CDib& dib, int32_t nChoice) {
    // A 1-bit picture has the levels 0 and 1 only, both grey level 0: there is nothing a ramp
    // could change in its two colour indices, so it is left as it is.
    const uint16_t nBitCount = dib.GetBitCount();
    if (nBitCount != 8 && nBitCount != 24)
        return;
    const CSize size = dib.GetDimensions();
    if (size.cx <= 0 || size.cy <= 0)
        return;
    const bool b24 = nBitCount == 24;
    const size_t nStep = b24 ? 3 : 1;
    const size_t nCount = size_t(size.cx) * nStep;
    // What a picture of this depth keeps of a value given to SetPixel.
    const uint32_t nKept = b24 ? 0xFFFFFFu : 0xFFu;

    // Which keys occur, band by band.
    const int nBands = RowBandCount(size.cy, uint64_t(size.cx), 0);
    std::vector<std::array<bool, KEYS>> seen(static_cast<size_t>(nBands));
    RunRowBands(nBands, [&](int k) {
        std::array<bool, KEYS>& mine = seen[size_t(k)];
        mine.fill(false);
        for (int32_t y = RowBandStart(size.cy, nBands, k); y < RowBandStart(size.cy, nBands, k + 1); ++y) {
            const uint8_t* pRow = dib.GetRowBits(y);
            for (size_t i = 0; i < nCount; i += nStep)
                mine[KeyOf(pRow + i, b24)] = true;
        }
    });
    std::array<bool, KEYS> present{};
    for (const auto& mine : seen)
        for (size_t key = 0; key < KEYS; ++key)
            present[key] = present[key] || mine[key];

    // Passes 1 and 2: the range of levels, each stretched and stored as grey.
    CLevelRange r1;
    for (size_t key = 0; key < KEYS; ++key)
        if (present[key])
            r1.Add(uint32_t(key) / 3);
    const CStretch stretch1(r1);
    std::array<uint32_t, KEYS> level2{};
    CLevelRange r2;  // pass 3
    for (size_t key = 0; key < KEYS; ++key)
        if (present[key]) {
            level2[key] = GreyLevel((stretch1(uint32_t(key) / 3) * 0x010101u) & nKept);
            r2.Add(level2[key]);
        }
    // Pass 4: the brightest pixels are those of the highest level, compared before scaling.
    const CStretch stretch2(r2);
    std::array<uint32_t, KEYS> result{};
    for (size_t key = 0; key < KEYS; ++key)
        if (present[key])
            result[key] = ColorizeValue(nChoice, stretch2(level2[key]), level2[key] == r2.hi) & nKept;

    RunRowBands(nBands, [&](int k) {
        for (int32_t y = RowBandStart(size.cy, nBands, k); y < RowBandStart(size.cy, nBands, k + 1); ++y) {
            uint8_t* pRow = dib.GetRowBits(y);
            if (b24) {
                for (size_t i = 0; i < nCount; i += 3) {
                    const uint32_t v = result[KeyOf(pRow + i, true)];
                    pRow[i] = uint8_t(v);
                    pRow[i + 1] = uint8_t(v >> 8);
                    pRow[i + 2] = uint8_t(v >> 16);
                }
            } else {
                for (size_t i = 0; i < nCount; ++i)
                    pRow[i] = uint8_t(result[pRow[i]]);
            }
        }
    });
}

CResult ApplyColorize(CDib& dib, CUndoSnapshot& undo, int32_t nChoice) {
    if (CResult result = CheckEffectDepth(dib); !result.Ok())
        return result;
    // Without room for a snapshot the colouring still runs; it just cannot be undone.
    StartFromSnapshot(dib, undo, UNDO_COLORIZE);
    ColorizeDib(dib, nChoice);
    return CResult::Success();
}
