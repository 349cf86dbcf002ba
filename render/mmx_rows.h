// Row walkers for the MMX pixel routines: two pixels per step in one 64-bit register. Included only by
// the files compiled for MMX (named *_mmx.cpp).
#pragma once

#include <windows.h>

#include <mmintrin.h>

#include <cstring>

namespace mmx {

inline __m64 LoadPixel(const DWORD* p) { return _mm_cvtsi32_si64(static_cast<int>(*p)); }
inline DWORD LowPixel(__m64 v) { return static_cast<DWORD>(_mm_cvtsi64_si32(v)); }
inline __m64 LoadPair(const DWORD* p)
{
    __m64 v;
    std::memcpy(&v, p, 8);
    return v;
}
inline void StorePair(DWORD* p, __m64 v) { std::memcpy(p, &v, 8); }
inline __m64 Twice(DWORD v) { return _mm_set_pi32(static_cast<int>(v), static_cast<int>(v)); }
// The three colour bytes of both pixels.
inline __m64 Colour() { return Twice(0x00FFFFFF); }

// Calls pair(0), pair(2), ... for every whole pair of the n pixels of a row, in that order, and returns
// the number of pixels done. Four pairs a step, still one after the other, cost the processor less loop
// than one a step.
template <class Pair>
int EachPair(int n, Pair pair)
{
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        pair(i);
        pair(i + 2);
        pair(i + 4);
        pair(i + 6);
    }
    for (; i + 2 <= n; i += 2)
        pair(i);
    return i;
}

// Applies op(destination, source) to a row, left to right, two pixels at a time. A pair reads both of
// its source pixels before it writes: that differs from one pixel at a time only when the source is the
// destination row itself one pixel to the left (pairs false), which then goes one pixel at a time.
template <class Op>
void Row(DWORD* d, const DWORD* s, int n, bool pairs, Op op)
{
    int i = pairs ? EachPair(n, [&](int at) { StorePair(d + at, op(LoadPair(d + at), LoadPair(s + at))); }) : 0;
    for (; i < n; ++i)
        d[i] = LowPixel(op(LoadPixel(d + i), LoadPixel(s + i)));
}

// Whether Row may go two pixels at a time for a copy from (sx, sy) of source to (dx, dy) of target.
template <class Surface>
bool PairsAllowed(const Surface* target, int dx, int dy, const Surface* source, int sx, int sy)
{
    return !(source == target && sy == dy && sx == dx - 1);
}

// The same for one constant k (both halves equal) instead of a source row.
template <class Op>
void ConstantRow(DWORD* d, __m64 k, int n, Op op)
{
    const int i = EachPair(n, [&](int at) { StorePair(d + at, op(LoadPair(d + at), k)); });
    if (i < n)
        d[i] = LowPixel(op(LoadPixel(d + i), k));
}

}  // namespace mmx
