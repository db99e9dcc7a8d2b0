#include "effects/Soften.h"

#include <algorithm>
#include <memory>
#include <new>

#include "bitmap/CDib.h"
#include "effects/EffectSnapshot.h"
#include "effects/UndoSnapshot.h"

CSoftenWeights SoftenWeights(const CSoftenSettings& s) {
    CSoftenWeights w;
    w.wc = s.m_nSoftCentre * 0.01;
    w.wn = s.m_nSoftSize * 0.01;
    w.wd = s.m_nSoftSizeEntered * 0.0064516129032258064;
    w.dDenominator = w.wc + 4 * (w.wn + w.wd);
    return w;
}

uint8_t SoftenKernel(const CSoftenWeights& w, uint8_t UL, uint8_t U, uint8_t UR, uint8_t L, uint8_t C, uint8_t R,
                     uint8_t DL, uint8_t D, uint8_t DR) {
    // Every product and every sum is rounded to double on its own, in this order; a uniform
    // area comes out at exactly the value this order gives (204 → 203 at size 8).
    double dSum = L * w.wn + C * w.wc;
    dSum = dSum + R * w.wn;
    dSum = dSum + D * w.wn;
    dSum = dSum + DL * w.wd;
    dSum = dSum + DR * w.wd;
    dSum = dSum + U * w.wn;
    dSum = dSum + UR * w.wd;
    dSum = dSum + UL * w.wd;
    const double dResult = dSum / w.dDenominator;
    // Weights from the dialog are positive, so the quotient lies in 0 … 255; anything else
    // (weights from elsewhere) is kept inside the byte instead of being converted out of range.
    if (!(dResult > 0.0))
        return 0;
    if (dResult >= 256.0)
        return 255;
    return uint8_t(int32_t(dResult) & 0xFF);
}

namespace {

// The picture framed by one cell on every side, three bytes (blue, green, red) per cell.
class CWorkArea {
public:
    CWorkArea(int32_t w, std::unique_ptr<uint8_t[]> pCells)
        : m_nStride(size_t(w) + 2), m_pCells(std::move(pCells)) {}
    uint8_t* Cell(int32_t cx, int32_t cy) { return m_pCells.get() + (size_t(cy) * m_nStride + size_t(cx)) * 3; }

private:
    size_t m_nStride;
    std::unique_ptr<uint8_t[]> m_pCells;
};

void FillWorkArea(const CDib& dib, CSize size, CWorkArea& area) {
    const int32_t w = size.cx, h = size.cy;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t v = dib.GetPixel({x, y});
            uint8_t* c = area.Cell(x + 1, y + 1);
            c[0] = uint8_t(v);
            c[1] = uint8_t(v >> 8);
            c[2] = uint8_t(v >> 16);
        }
    // Frame rows: the top and bottom picture rows again.
    for (int32_t x = 1; x <= w; ++x) {
        std::copy_n(area.Cell(x, 1), 3, area.Cell(x, 0));
        std::copy_n(area.Cell(x, h), 3, area.Cell(x, h + 1));
    }
    // Frame columns and corners: the nearest picture pixel.
    for (int32_t cy = 0; cy <= h + 1; ++cy) {
        std::copy_n(area.Cell(1, cy), 3, area.Cell(0, cy));
        std::copy_n(area.Cell(w, cy), 3, area.Cell(w + 1, cy));
    }
}

void SoftenPass(CDib& dib, CSize size, const CSoftenWeights& wt, CWorkArea& area) {
    FillWorkArea(dib, size, area);
    for (int32_t y = 0; y < size.cy; ++y)
        for (int32_t x = 0; x < size.cx; ++x) {
            const int32_t cx = x + 1, cy = y + 1;
            uint32_t nValue = 0;
            for (int ch = 2; ch >= 0; --ch) {
                const uint8_t nChannel = SoftenKernel(
                    wt, area.Cell(cx - 1, cy - 1)[ch], area.Cell(cx, cy - 1)[ch], area.Cell(cx + 1, cy - 1)[ch],
                    area.Cell(cx - 1, cy)[ch], area.Cell(cx, cy)[ch], area.Cell(cx + 1, cy)[ch],
                    area.Cell(cx - 1, cy + 1)[ch], area.Cell(cx, cy + 1)[ch], area.Cell(cx + 1, cy + 1)[ch]);
                nValue = (nValue << 8) | nChannel;
            }
            dib.SetPixel({x, y}, nValue);
        }
}

}  // namespace

SoftenResult ApplySoften(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                         const std::function<void(int nPercent)>& fnProgress) {
    return ApplySoftenWithin(dib, undo, s, fnProgress, SOFTEN_MAX_WORK_BYTES);
}

SoftenResult ApplySoftenWithin(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                               const std::function<void(int nPercent)>& fnProgress, uint64_t nMaxWorkBytes) {
    if (!IsEffectDepthSupported(dib))
        return SoftenResult::UnsupportedDepth;
    const CSoftenWeights wt = SoftenWeights(s);
    // Without room for a snapshot the softening still runs; it just cannot be undone.
    StartFromSnapshot(dib, undo, UNDO_SOFTEN);

    const CSize size = dib.GetDimensions();
    const uint64_t nCells = (uint64_t(size.cx) + 2) * (uint64_t(size.cy) + 2);
    if (nCells * 3 > nMaxWorkBytes)
        return SoftenResult::NoMemory;
    std::unique_ptr<uint8_t[]> pCells;
    try {
        pCells = std::make_unique_for_overwrite<uint8_t[]>(size_t(nCells) * 3);
    } catch (const std::bad_alloc&) {
        return SoftenResult::NoMemory;
    }
    CWorkArea area(size.cx, std::move(pCells));

    const int32_t nPasses = s.m_nSoftPasses;
    for (int32_t i = 0; i < nPasses; ++i) {
        if (fnProgress)
            fnProgress(int((int64_t(i) * 100) / nPasses + 1));
        if (size.cx > 0 && size.cy > 0)
            SoftenPass(dib, size, wt, area);
    }
    return SoftenResult::Done;
}
