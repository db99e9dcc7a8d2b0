// The softening kernel in two SSE2 lanes. Built for the x86-64 baseline.
#include "effects/SoftenRows.h"

#include <emmintrin.h>

#include <cstring>

namespace {

// Results are made in pieces of this many values; the products they need stay in the first
// level cache.
constexpr size_t CHUNK = 256;
// The most bytes of a row one piece reads: its values and a pixel of three bytes either side.
constexpr size_t SPAN = CHUNK + 8;

// Two neighbouring channel bytes as two doubles (exact).
inline __m128d Load2(const uint8_t* p) {
    uint16_t n;
    std::memcpy(&n, p, 2);
    const __m128i z = _mm_setzero_si128();
    const __m128i v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(n), z), z);
    return _mm_cvtepi32_pd(v);
}

// Each byte of p[0, n) times two weights (n even), every product rounded once as in the plain
// kernel.
inline void Products(const uint8_t* p, size_t n, __m128d wa, __m128d wb, double* pa, double* pb) {
    for (size_t i = 0; i < n; i += 2) {
        const __m128d v = Load2(p + i);
        _mm_store_pd(pa + i, _mm_mul_pd(v, wa));
        _mm_store_pd(pb + i, _mm_mul_pd(v, wb));
    }
}

}  // namespace

void SoftenRowSse2(const CSoftenWeights& w, const uint8_t* pUp, const uint8_t* pMid, const uint8_t* pDown,
                   size_t nStep, size_t nCount, uint8_t* pOut) {
    const __m128d wc = _mm_set1_pd(w.wc), wn = _mm_set1_pd(w.wn), wd = _mm_set1_pd(w.wd);
    const __m128d den = _mm_set1_pd(w.dDenominator), zero = _mm_setzero_pd(), top = _mm_set1_pd(255.0);
    alignas(16) double un[SPAN], ud[SPAN], mn[SPAN], mc[SPAN], dn[SPAN], dd[SPAN];
    const size_t s = nStep;
    size_t j0 = 0;
    // Pieces of whole groups of four values (their spans are even, so the products read no byte
    // beyond them); the rest is left to the plain path.
    while (j0 + 4 <= nCount && s <= 3) {
        size_t n = nCount - j0;
        if (n > CHUNK)
            n = CHUNK;
        n &= ~size_t(3);
        const size_t nSpan = n + 2 * s;
        Products(pUp + j0, nSpan, wn, wd, un, ud);
        Products(pMid + j0, nSpan, wn, wc, mn, mc);
        Products(pDown + j0, nSpan, wn, wd, dn, dd);
        for (size_t j = 0; j < n; j += 4) {
            __m128i r[2];
            for (size_t h = 0; h < 2; ++h) {
                const size_t i = j + 2 * h;
                __m128d sum = _mm_add_pd(_mm_loadu_pd(mn + i), _mm_loadu_pd(mc + i + s));  // L, C
                sum = _mm_add_pd(sum, _mm_loadu_pd(mn + i + 2 * s));                     // R
                sum = _mm_add_pd(sum, _mm_loadu_pd(dn + i + s));                         // D
                sum = _mm_add_pd(sum, _mm_loadu_pd(dd + i));                             // DL
                sum = _mm_add_pd(sum, _mm_loadu_pd(dd + i + 2 * s));                     // DR
                sum = _mm_add_pd(sum, _mm_loadu_pd(un + i + s));                         // U
                sum = _mm_add_pd(sum, _mm_loadu_pd(ud + i + 2 * s));                     // UR
                sum = _mm_add_pd(sum, _mm_loadu_pd(ud + i));                             // UL
                const __m128d q = _mm_div_pd(sum, den);
                // max gives its second operand for a NaN: a quotient that is no number becomes
                // 0, as in the plain kernel; above 255 it becomes 255.
                r[h] = _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(q, zero), top));
            }
            const __m128i v = _mm_unpacklo_epi64(r[0], r[1]);
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(v, v), _mm_setzero_si128());
            const int32_t nBytes = _mm_cvtsi128_si32(bytes);
            std::memcpy(pOut + j0 + j, &nBytes, 4);
        }
        j0 += n;
    }
    if (j0 < nCount)
        SoftenRowPlain(w, pUp + j0, pMid + j0, pDown + j0, nStep, nCount - j0, pOut + j0);
}
