// The softening kernel in four AVX2 lanes. This file alone is built for AVX2 and is only
// called where the processor has it; it uses nothing but intrinsics, so no inline function
// built for AVX2 can stand in for a baseline one elsewhere.
#include "effects/SoftenRows.h"

#include <immintrin.h>

#include <cstring>

namespace {

// Four neighbouring channel bytes as four doubles (exact).
inline __m256d Load4(const uint8_t* p) {
    int32_t n;
    std::memcpy(&n, p, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(n)));
}

struct CLanes {
    __m256d wc, wn, wd, den, zero, top;
};

// The kernel for the four values at j … j + 3, clamped to 0 … 255, truncated to integers.
inline __m128i Kernel4(const CLanes& k, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown, size_t s,
                       size_t j) {
    __m256d sum = _mm256_add_pd(_mm256_mul_pd(Load4(pMid + j), k.wn), _mm256_mul_pd(Load4(pMid + j + s), k.wc));
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pMid + j + 2 * s), k.wn));   // R
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pDown + j + s), k.wn));      // D
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pDown + j), k.wd));          // DL
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pDown + j + 2 * s), k.wd));  // DR
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pUp + j + s), k.wn));        // U
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pUp + j + 2 * s), k.wd));    // UR
    sum = _mm256_add_pd(sum, _mm256_mul_pd(Load4(pUp + j), k.wd));            // UL
    const __m256d q = _mm256_div_pd(sum, k.den);
    // max gives its second operand for a NaN: a quotient that is no number becomes 0, as in
    // the plain kernel; above 255 it becomes 255.
    return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(q, k.zero), k.top));
}

}  // namespace

void SoftenRowAvx2(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                   size_t nStep, size_t nCount, uint8_t* pOut) {
    const CLanes k{_mm256_set1_pd(w.wc), _mm256_set1_pd(w.wn), _mm256_set1_pd(w.wd),
                   _mm256_set1_pd(w.dDenominator), _mm256_setzero_pd(), _mm256_set1_pd(255.0)};
    size_t j = 0;
    for (; j + 8 <= nCount; j += 8) {
        const __m128i a = Kernel4(k, pUp, pMid, pDown, nStep, j);
        const __m128i b = Kernel4(k, pUp, pMid, pDown, nStep, j + 4);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut + j), bytes);
    }
    for (; j + 4 <= nCount; j += 4) {
        const __m128i a = Kernel4(k, pUp, pMid, pDown, nStep, j);
        const int32_t n = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(a, a), _mm_setzero_si128()));
        std::memcpy(pOut + j, &n, 4);
    }
    if (j < nCount)
        SoftenRowPlain(w, pUp + j, pMid + j, pDown + j, nStep, nCount - j, pOut + j);
    _mm256_zeroupper();
}
