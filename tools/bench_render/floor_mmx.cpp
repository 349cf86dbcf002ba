// The least work an MMX pixel routine does, timed beside the routines as what no routine of its kind can
// beat on the machine at hand; this file is compiled for MMX.
#include "tools/bench_render/floor_mmx.h"

#include <mmintrin.h>

namespace {

inline __m64* Pairs(DWORD* p) { return reinterpret_cast<__m64*>(p); }
inline const __m64* Pairs(const DWORD* p) { return reinterpret_cast<const __m64*>(p); }

}  // namespace

// Each loop does four pairs a step, with no dependence between them, so that nothing but the work
// itself limits it; pairs is a multiple of 4.
void FloorConstant(DWORD* d, int pairs)
{
    __m64* dp = Pairs(d);
    const __m64 k = _mm_set1_pi32(0x102030);
    for (int i = 0; i < pairs; i += 4) {
        const __m64 a = _mm_adds_pu8(dp[i], k), b = _mm_adds_pu8(dp[i + 1], k);
        const __m64 c = _mm_adds_pu8(dp[i + 2], k), e = _mm_adds_pu8(dp[i + 3], k);
        dp[i] = a;
        dp[i + 1] = b;
        dp[i + 2] = c;
        dp[i + 3] = e;
    }
    _mm_empty();
}

void FloorSum(DWORD* d, const DWORD* s, int pairs)
{
    __m64* dp = Pairs(d);
    const __m64* sp = Pairs(s);
    for (int i = 0; i < pairs; i += 4) {
        const __m64 a = _mm_adds_pu8(dp[i], sp[i]), b = _mm_adds_pu8(dp[i + 1], sp[i + 1]);
        const __m64 c = _mm_adds_pu8(dp[i + 2], sp[i + 2]), e = _mm_adds_pu8(dp[i + 3], sp[i + 3]);
        dp[i] = a;
        dp[i + 1] = b;
        dp[i + 2] = c;
        dp[i + 3] = e;
    }
    _mm_empty();
}

namespace {

inline __m64 Widened(__m64 a, __m64 b)
{
    const __m64 zero = _mm_setzero_si64();
    const __m64 low = _mm_add_pi16(_mm_unpacklo_pi8(a, zero), _mm_unpacklo_pi8(b, zero));
    const __m64 high = _mm_add_pi16(_mm_unpackhi_pi8(a, zero), _mm_unpackhi_pi8(b, zero));
    return _mm_packs_pu16(low, high);
}

}  // namespace

void FloorWiden(DWORD* d, const DWORD* s, int pairs)
{
    __m64* dp = Pairs(d);
    const __m64* sp = Pairs(s);
    for (int i = 0; i < pairs; i += 4) {
        const __m64 a = Widened(dp[i], sp[i]), b = Widened(dp[i + 1], sp[i + 1]);
        const __m64 c = Widened(dp[i + 2], sp[i + 2]), e = Widened(dp[i + 3], sp[i + 3]);
        dp[i] = a;
        dp[i + 1] = b;
        dp[i + 2] = c;
        dp[i + 3] = e;
    }
    _mm_empty();
}

void FloorScale(DWORD* d, int pairs)
{
    __m64* dp = Pairs(d);
    const __m64 zero = _mm_setzero_si64(), m = _mm_set1_pi16(100 * 257 + 1);
    auto scaled = [&](__m64 v) {
        return _mm_packs_pu16(_mm_mulhi_pi16(_mm_unpacklo_pi8(v, zero), m), _mm_mulhi_pi16(_mm_unpackhi_pi8(v, zero), m));
    };
    for (int i = 0; i < pairs; i += 4) {
        const __m64 a = scaled(dp[i]), b = scaled(dp[i + 1]), c = scaled(dp[i + 2]), e = scaled(dp[i + 3]);
        dp[i] = a;
        dp[i + 1] = b;
        dp[i + 2] = c;
        dp[i + 3] = e;
    }
    _mm_empty();
}
