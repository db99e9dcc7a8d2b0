// The softening kernel in four AVX2 lanes. This file alone is built for AVX2 and is only
// called where the processor has it; it uses nothing but intrinsics, so no inline function
// built for AVX2 can stand in for a baseline one elsewhere.
#include "effects/SoftenRows.h"

#include <immintrin.h>

#include <cstring>

namespace {

// Results are made in pieces of this many values; the products they need stay in the first
// level cache.
constexpr size_t CHUNK = 256;
// The most bytes of a row one piece reads: its values and a pixel of three bytes either side.
constexpr size_t SPAN = CHUNK + 8;

// Four neighbouring channel bytes as four doubles (exact).
inline __m256d Load4(const uint8_t* p) {
    int32_t n;
    std::memcpy(&n, p, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(n)));
}

// Each byte of p[0, n) times two weights. Every product is rounded once, as in the plain
// kernel; n is rounded up to whole vectors (the row holds the bytes, the results are unused).
inline void Products(const uint8_t* p, size_t n, __m256d wa, __m256d wb, double* pa, double* pb) {
    for (size_t i = 0; i < n; i += 4) {
        const __m256d v = Load4(p + i);
        _mm256_store_pd(pa + i, _mm256_mul_pd(v, wa));
        _mm256_store_pd(pb + i, _mm256_mul_pd(v, wb));
    }
}

}  // namespace

void SoftenRowAvx2(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                   size_t nStep, size_t nCount, uint8_t* pOut) {
    const __m256d wc = _mm256_set1_pd(w.wc), wn = _mm256_set1_pd(w.wn), wd = _mm256_set1_pd(w.wd);
    const __m256d den = _mm256_set1_pd(w.dDenominator), zero = _mm256_setzero_pd(), top = _mm256_set1_pd(255.0);
    alignas(32) double un[SPAN], ud[SPAN], mn[SPAN], mc[SPAN], dn[SPAN], dd[SPAN];
    const size_t s = nStep;
    size_t j0 = 0;
    // Pieces of whole vectors. The products of a piece read up to 3 bytes beyond the bytes it
    // needs, which the row holds while 4 more values follow; the rest is left to the plain path.
    while (j0 + 12 <= nCount && s <= 3) {
        size_t n = nCount - j0 - 4;
        if (n > CHUNK)
            n = CHUNK;
        n &= ~size_t(7);
        const size_t nSpan = n + 2 * s;
        Products(pUp + j0, nSpan, wn, wd, un, ud);
        Products(pMid + j0, nSpan, wn, wc, mn, mc);
        Products(pDown + j0, nSpan, wn, wd, dn, dd);
        for (size_t j = 0; j < n; j += 8) {
            __m128i r[2];
            for (size_t h = 0; h < 2; ++h) {
                const size_t i = j + 4 * h;
                __m256d sum = _mm256_add_pd(_mm256_loadu_pd(mn + i), _mm256_loadu_pd(mc + i + s));  // L, C
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(mn + i + 2 * s));                        // R
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(dn + i + s));                            // D
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(dd + i));                                // DL
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(dd + i + 2 * s));                        // DR
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(un + i + s));                            // U
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(ud + i + 2 * s));                        // UR
                sum = _mm256_add_pd(sum, _mm256_loadu_pd(ud + i));                                // UL
                const __m256d q = _mm256_div_pd(sum, den);
                // max gives its second operand for a NaN: a quotient that is no number becomes
                // 0, as in the plain kernel; above 255 it becomes 255.
                r[h] = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(q, zero), top));
            }
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(r[0], r[1]), _mm_setzero_si128());
            _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut + j0 + j), bytes);
        }
        j0 += n;
    }
    if (j0 < nCount)
        SoftenRowPlain(w, pUp + j0, pMid + j0, pDown + j0, nStep, nCount - j0, pOut + j0);
}
