#include "effects/Soften.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "bitmap/CDib.h"
#include "effects/EffectSnapshot.h"
#include "effects/RowBands.h"
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

void SoftenRowPlain(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                    size_t nStep, size_t nCount, uint8_t* pOut) {
    const size_t s = nStep;
    for (size_t j = 0; j < nCount; ++j)
        pOut[j] = SoftenKernel(w, pUp[j], pUp[j + s], pUp[j + 2 * s], pMid[j], pMid[j + s], pMid[j + 2 * s],
                               pDown[j], pDown[j + s], pDown[j + 2 * s]);
}

std::vector<SoftenPath> SoftenPathsAvailable() {
    std::vector<SoftenPath> paths{SoftenPath::Plain};
#if defined(__x86_64__)
    paths.push_back(SoftenPath::Sse2);
    if (__builtin_cpu_supports("avx2"))
        paths.push_back(SoftenPath::Avx2);
#endif
    return paths;
}

const char* SoftenPathName(SoftenPath path) {
    switch (path) {
    case SoftenPath::Plain: return "plain";
    case SoftenPath::Sse2: return "sse2";
    case SoftenPath::Avx2: return "avx2";
    }
    return "?";
}

namespace {

SoftenRowFn RowFunction(std::optional<SoftenPath> path) {
    const std::vector<SoftenPath> available = SoftenPathsAvailable();
    // A path this processor cannot run is never taken; the fastest one stands in for it.
    if (!path || std::find(available.begin(), available.end(), *path) == available.end())
        path = available.back();
    switch (*path) {
#if defined(__x86_64__)
    case SoftenPath::Sse2: return &SoftenRowSse2;
    case SoftenPath::Avx2: return &SoftenRowAvx2;
#endif
    default: return &SoftenRowPlain;
    }
}

// A picture's rows as rows of channel bytes: 24-bit rows as they are stored (blue, green, red
// per pixel), 8-bit rows as their indices, 1-bit rows one byte (0 or 1) per pixel. Green and
// red of an 8-bit pixel are 0 and stay 0, so its index is all there is to soften.
struct CPlane {
    int32_t w = 0, h = 0;
    bool bBits = false;  // 1 bit per pixel: unpacked into bytes and packed again
    size_t nStep = 0;    // bytes per pixel
    size_t nCount = 0;   // channel bytes of one row
    size_t nFramed = 0;  // a row with a frame cell on either side

    CPlane(const CDib& dib) {
        const CSize size = dib.GetDimensions();
        w = size.cx;
        h = size.cy;
        bBits = dib.GetBitCount() == 1;
        nStep = dib.GetBitCount() == 24 ? 3 : 1;
        nCount = size_t(std::max(w, 0)) * nStep;
        nFramed = nCount + 2 * nStep;
    }
};

// Framed rows per band: the three rows around the one being computed, the rows just above and
// below the band as they were at the start of the pass, and (1 bit) the results before packing.
constexpr size_t ROWS_PER_BAND = 6;

// Picture row y into a framed row, its first and last pixel repeated into the frame cells.
void LoadFramed(const CDib& dib, const CPlane& p, int32_t y, uint8_t* pDst) {
    const uint8_t* pRow = dib.GetRowBits(y);
    uint8_t* pBody = pDst + p.nStep;
    if (p.bBits) {
        for (int32_t x = 0; x < p.w; ++x)
            pBody[x] = (pRow[x >> 3] >> (7 - (x & 7))) & 1;
    } else {
        std::memcpy(pBody, pRow, p.nCount);
    }
    std::memcpy(pDst, pBody, p.nStep);
    std::memcpy(pBody + p.nCount, pBody + p.nCount - p.nStep, p.nStep);
}

// One result byte per pixel back into a 1-bit row: set where the average is not 0. The bits
// behind the last pixel stay as they are.
void StoreBits(CDib& dib, const CPlane& p, int32_t y, const uint8_t* pSrc) {
    uint8_t* pRow = dib.GetRowBits(y);
    int32_t x = 0;
    for (; x + 8 <= p.w; x += 8) {
        uint8_t n = 0;
        for (int b = 0; b < 8; ++b)
            n = uint8_t((n << 1) | (pSrc[x + b] != 0));
        pRow[x >> 3] = n;
    }
    for (; x < p.w; ++x) {
        const uint8_t nMask = uint8_t(0x80 >> (x & 7));
        pRow[x >> 3] = pSrc[x] != 0 ? uint8_t(pRow[x >> 3] | nMask) : uint8_t(pRow[x >> 3] & ~nMask);
    }
}

struct CBand {
    int32_t a = 0, b = 0;  // rows [a, b)
    uint8_t* pRing[3] = {};
    uint8_t* pAbove = nullptr;  // row a − 1 as it was (a > 0)
    uint8_t* pBelow = nullptr;  // row b as it was (b < h)
    uint8_t* pOut = nullptr;    // 1 bit: the results of one row
};

// One pass over the rows of a band. Every result comes from copies of the rows as they were at
// the start of the pass: rows inside the band are copied before they are overwritten, rows of
// the bands beside it were copied before any band started.
void SoftenBand(CDib& dib, const CPlane& p, const CSoftenWeights& wt, SoftenRowFn fnRow, const CBand& band) {
    if (band.a >= band.b)
        return;
    uint8_t* pCur = band.pRing[0];
    uint8_t* pNext = band.pRing[1];
    uint8_t* pSpare = band.pRing[2];
    LoadFramed(dib, p, band.a, pCur);
    // The frame row above the picture is its top row; below it, its bottom row.
    const uint8_t* pUp = band.a == 0 ? pCur : band.pAbove;
    for (int32_t y = band.a; y < band.b; ++y) {
        const uint8_t* pDown;
        if (y + 1 >= p.h) {
            pDown = pCur;
        } else if (y + 1 >= band.b) {
            pDown = band.pBelow;
        } else {
            LoadFramed(dib, p, y + 1, pNext);
            pDown = pNext;
        }
        uint8_t* pOut = p.bBits ? band.pOut : dib.GetRowBits(y);
        fnRow(wt, pUp, pCur, pDown, p.nStep, p.nCount, pOut);
        if (p.bBits)
            StoreBits(dib, p, y, pOut);
        // The copy of the row just computed goes up; the buffer that held the row above is free.
        pUp = pCur;
        uint8_t* pFree = pSpare;
        pSpare = pCur;
        pCur = pNext;
        pNext = pFree;
    }
}

}  // namespace

uint64_t SoftenWorkBytes(const CDib& dib, const CSoftenRun& run) {
    const CPlane p(dib);
    const int nBands = RowBandCount(p.h, p.nCount, run.nThreads);
    return uint64_t(nBands) * ROWS_PER_BAND * p.nFramed;
}

CResult SoftenDib(CDib& dib, const CSoftenSettings& s, const SoftenProgressFn& fnProgress,
                  const CSoftenRun& run, uint64_t nMaxWorkBytes) {
    if (CResult result = CheckEffectDepth(dib); !result.Ok())
        return result;
    const CSoftenWeights wt = SoftenWeights(s);
    const CPlane p(dib);
    const int nBands = RowBandCount(p.h, p.nCount, run.nThreads);
    const uint64_t nWorkBytes = uint64_t(nBands) * ROWS_PER_BAND * p.nFramed;
    if (nWorkBytes > nMaxWorkBytes)
        return CResult::Failure(EErrorKind::NoMemory, SOFTEN_MSG_NO_MEMORY);
    std::unique_ptr<uint8_t[]> pWork;
    try {
        pWork = std::make_unique_for_overwrite<uint8_t[]>(size_t(nWorkBytes));
    } catch (const std::bad_alloc&) {
        return CResult::Failure(EErrorKind::NoMemory, SOFTEN_MSG_NO_MEMORY);
    }
    std::vector<CBand> bands(static_cast<size_t>(nBands));
    for (int k = 0; k < nBands; ++k) {
        CBand& band = bands[size_t(k)];
        band.a = RowBandStart(p.h, nBands, k);
        band.b = RowBandStart(p.h, nBands, k + 1);
        uint8_t* pRows = pWork.get() + size_t(k) * ROWS_PER_BAND * p.nFramed;
        for (uint8_t*& pRow : band.pRing) {
            pRow = pRows;
            pRows += p.nFramed;
        }
        band.pAbove = pRows;
        band.pBelow = pRows + p.nFramed;
        band.pOut = pRows + 2 * p.nFramed;
    }
    const SoftenRowFn fnRow = RowFunction(run.path);

    const int32_t nPasses = s.m_nSoftPasses;
    for (int32_t i = 0; i < nPasses; ++i) {
        if (fnProgress)
            fnProgress(int((int64_t(i) * 100) / nPasses + 1));
        if (p.w <= 0 || p.h <= 0)
            continue;
        // Passes follow one another; within a pass the bands run side by side.
        for (int k = 1; k < nBands; ++k) {
            LoadFramed(dib, p, bands[size_t(k)].a - 1, bands[size_t(k)].pAbove);
            LoadFramed(dib, p, bands[size_t(k - 1)].b, bands[size_t(k - 1)].pBelow);
        }
        RunRowBands(nBands, [&](int k) { SoftenBand(dib, p, wt, fnRow, bands[size_t(k)]); });
    }
    return CResult::Success();
}

CResult ApplySoften(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                    const SoftenProgressFn& fnProgress) {
    return ApplySoftenWithin(dib, undo, s, fnProgress, SOFTEN_MAX_WORK_BYTES);
}

CResult ApplySoftenWithin(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                          const SoftenProgressFn& fnProgress, uint64_t nMaxWorkBytes) {
    if (CResult result = CheckEffectDepth(dib); !result.Ok())
        return result;
    // Without room for a snapshot the softening still runs; it just cannot be undone.
    StartFromSnapshot(dib, undo, UNDO_SOFTEN);
    return SoftenDib(dib, s, fnProgress, {}, nMaxWorkBytes);
}
