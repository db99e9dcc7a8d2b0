#pragma once
// The softening kernel over whole rows. The plain path computes one channel value at a time;
// the vector paths compute several side by side, each lane with the same operations in the same
// order, so every path gives the same bytes.
#include <cstddef>
#include <cstdint>

struct CSoftenWeights {
    double wc = 0, wn = 0, wd = 0;
    double dDenominator = 0;  // wc + 4 × (wn + wd), the same for every pixel
};

// One channel from the nine cells around it, in the order that decides the last bit.
uint8_t SoftenKernel(const CSoftenWeights& w, uint8_t UL, uint8_t U, uint8_t UR, uint8_t L, uint8_t C,
                     uint8_t R, uint8_t DL, uint8_t D, uint8_t DR);

// One row of results: pOut[j] for j in [0, nCount) is the kernel of the bytes around index
// j + nStep of three framed rows (the row above, the row itself, the row below), nStep being
// the distance between the bytes of neighbouring pixels (3 in 24-bit rows, 1 otherwise). Each
// framed row holds nCount + 2 × nStep bytes: its first and last pixel are the frame cells.
using SoftenRowFn = void (*)(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid,
                             const uint8_t* pDown, size_t nStep, size_t nCount, uint8_t* pOut);

void SoftenRowPlain(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                    size_t nStep, size_t nCount, uint8_t* pOut);
#if defined(__x86_64__)
// Two lanes of SSE2, which every x86-64 has.
void SoftenRowSse2(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                   size_t nStep, size_t nCount, uint8_t* pOut);
// Four lanes of AVX2; only where the processor has it.
void SoftenRowAvx2(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                   size_t nStep, size_t nCount, uint8_t* pOut);
#endif
