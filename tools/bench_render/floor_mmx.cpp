// The least work an MMX pixel routine does, timed beside the routines as what no routine of its kind can
// beat on the machine at hand; this file is compiled for MMX.
#include "tools/bench_render/floor_mmx.h"

#include <mmintrin.h>

namespace {

// d[i] = op(d[i], s[i]) over the pairs, four a step with no dependence between them, so that nothing but
// the work itself limits the loop.
template <class Op>
void FourAStep(DWORD* d, const DWORD* s, int pairs, Op op)
{
    __m64* dp = reinterpret_cast<__m64*>(d);
    const __m64* sp = reinterpret_cast<const __m64*>(s);
    for (int i = 0; i < pairs; i += 4) {
        const __m64 a = op(dp[i], sp[i]), b = op(dp[i + 1], sp[i + 1]);
        const __m64 c = op(dp[i + 2], sp[i + 2]), e = op(dp[i + 3], sp[i + 3]);
        dp[i] = a;
        dp[i + 1] = b;
        dp[i + 2] = c;
        dp[i + 3] = e;
    }
    _mm_empty();
}

}  // namespace

void FloorConstant(DWORD* d, int pairs)
{
    const __m64 k = _mm_set1_pi32(0x102030);
    FourAStep(d, d, pairs, [k](__m64 v, __m64) { return _mm_adds_pu8(v, k); });
}

void FloorSum(DWORD* d, const DWORD* s, int pairs)
{
    FourAStep(d, s, pairs, [](__m64 a, __m64 b) { return _mm_adds_pu8(a, b); });
}

void FloorScale(DWORD* d, int pairs)
{
    const __m64 zero = _mm_setzero_si64(), m = _mm_set1_pi16(100 * 257 + 1);
    FourAStep(d, d, pairs, [=](__m64 v, __m64) {
        return _mm_packs_pu16(_mm_mulhi_pi16(_mm_unpacklo_pi8(v, zero), m), _mm_mulhi_pi16(_mm_unpackhi_pi8(v, zero), m));
    });
}

void FloorWiden(DWORD* d, const DWORD* s, int pairs)
{
    const __m64 zero = _mm_setzero_si64();
    FourAStep(d, s, pairs, [=](__m64 a, __m64 b) {
        const __m64 low = _mm_add_pi16(_mm_unpacklo_pi8(a, zero), _mm_unpacklo_pi8(b, zero));
        const __m64 high = _mm_add_pi16(_mm_unpackhi_pi8(a, zero), _mm_unpackhi_pi8(b, zero));
        return _mm_packs_pu16(low, high);
    });
}
