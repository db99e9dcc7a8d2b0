// The softening kernel in two SSE2 lanes. Built for the x86-64 baseline.
#include "effects/SoftenRows.h"

#include <emmintrin.h>

#include <cstring>

namespace {

// Two neighbouring channel bytes as two doubles (exact).
inline __m128d Load2(const uint8_t* p) {
    uint16_t n;
    std::memcpy(&n, p, 2);
    const __m128i z = _mm_setzero_si128();
    const __m128i v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(n), z), z);
    return _mm_cvtepi32_pd(v);
}

struct CLanes {
    __m128d wc, wn, wd, den, zero, top;
};

// The kernel for the two values at j, j + 1, clamped to 0 … 255 (still as doubles).
inline __m128d Kernel2(const CLanes& k, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown, size_t s,
                       size_t j) {
    __m128d sum = _mm_add_pd(_mm_mul_pd(Load2(pMid + j), k.wn), _mm_mul_pd(Load2(pMid + j + s), k.wc));
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pMid + j + 2 * s), k.wn));   // R
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pDown + j + s), k.wn));      // D
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pDown + j), k.wd));          // DL
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pDown + j + 2 * s), k.wd));  // DR
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pUp + j + s), k.wn));        // U
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pUp + j + 2 * s), k.wd));    // UR
    sum = _mm_add_pd(sum, _mm_mul_pd(Load2(pUp + j), k.wd));            // UL
    const __m128d q = _mm_div_pd(sum, k.den);
    // max gives its second operand for a NaN: a quotient that is no number becomes 0, as in
    // the plain kernel; above 255 it becomes 255.
    return _mm_min_pd(_mm_max_pd(q, k.zero), k.top);
}

}  // namespace

void SoftenRowSse2(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                   size_t nStep, size_t nCount, uint8_t* pOut) {
    const CLanes k{_mm_set1_pd(w.wc), _mm_set1_pd(w.wn), _mm_set1_pd(w.wd), _mm_set1_pd(w.dDenominator),
                   _mm_setzero_pd(), _mm_set1_pd(255.0)};
    size_t j = 0;
    for (; j + 4 <= nCount; j += 4) {
        const __m128i a = _mm_cvttpd_epi32(Kernel2(k, pUp, pMid, pDown, nStep, j));
        const __m128i b = _mm_cvttpd_epi32(Kernel2(k, pUp, pMid, pDown, nStep, j + 2));
        const __m128i v = _mm_unpacklo_epi64(a, b);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(v, v), _mm_setzero_si128());
        const int32_t n = _mm_cvtsi128_si32(bytes);
        std::memcpy(pOut + j, &n, 4);
    }
    if (j < nCount)
        SoftenRowPlain(w, pUp + j, pMid + j, pDown + j, nStep, nCount - j, pOut + j);
}
