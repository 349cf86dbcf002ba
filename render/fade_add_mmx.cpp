// FadeFrom and AddFrom with the processor's packed-integer (MMX) instructions, two pixels at a time; this
// file is compiled for MMX.
#include "render/w_dib32.h"

#include "render/mmx_rows.h"

using mmx::LoadPair;
using mmx::LoadPixel;
using mmx::StorePair;

// Each byte becomes clamp(s + 2 x floor((d - s) x f / 65536), 0, 255): the signed high-half multiply is
// exactly that floor, and packing with unsigned saturation is the clamp. f is (weight bits 0..7) x 128
// for the colour bytes and (weight bits 16..23) x 128 for the fourth byte; at most 32640, so it fits a
// signed 16-bit lane.
int CDIBSurface::FadeFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int weight)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    const short fc = static_cast<short>((weight & 0xFF) * 128);
    const short fa = static_cast<short>(((weight >> 16) & 0xFF) * 128);
    const __m64 factor = _mm_set_pi16(fa, fc, fc, fc);
    const __m64 zero = _mm_setzero_si64();
    // Pixels go from right to left. Two are done at once, which reads a pair before writing it: that
    // differs from one at a time only when the source row starts one pixel right of the destination row
    // in the same memory, and that case keeps the single steps.
    const bool pairs = !(source == this && sy == dy && sx == dx + 1);
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        int i = w - 1;
        // The pair whose right pixel is at.
        auto pair = [&](int at) {
            const __m64 dp = LoadPair(d + at - 1), sp = LoadPair(s + at - 1);
            const __m64 dlo = _mm_unpacklo_pi8(dp, zero), dhi = _mm_unpackhi_pi8(dp, zero);
            const __m64 slo = _mm_unpacklo_pi8(sp, zero), shi = _mm_unpackhi_pi8(sp, zero);
            __m64 qlo = _mm_mulhi_pi16(_mm_sub_pi16(dlo, slo), factor);
            __m64 qhi = _mm_mulhi_pi16(_mm_sub_pi16(dhi, shi), factor);
            qlo = _mm_add_pi16(_mm_add_pi16(qlo, qlo), slo);
            qhi = _mm_add_pi16(_mm_add_pi16(qhi, qhi), shi);
            StorePair(d + at - 1, _mm_packs_pu16(qlo, qhi));
        };
        if (pairs) {
            // Four pairs a step, one after the other, cost the processor less loop than one a step.
            for (; i >= 7; i -= 8) {
                pair(i);
                pair(i - 2);
                pair(i - 4);
                pair(i - 6);
            }
            for (; i >= 1; i -= 2)
                pair(i);
        }
        for (; i >= 0; --i) {
            const __m64 dw = _mm_unpacklo_pi8(LoadPixel(d + i), zero);
            const __m64 sw = _mm_unpacklo_pi8(LoadPixel(s + i), zero);
            __m64 q = _mm_mulhi_pi16(_mm_sub_pi16(dw, sw), factor);
            q = _mm_add_pi16(_mm_add_pi16(q, q), sw);
            d[i] = static_cast<DWORD>(_mm_cvtsi64_si32(_mm_packs_pu16(q, zero)));
        }
    }
    _mm_empty();
    return 0;
}

// Saturating byte sums, all four bytes, two pixels at a time from the right end of the row; an odd
// leftmost pixel is done by itself.
int CDIBSurface::AddFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        int i = w - 2;
        auto pair = [&](int at) { StorePair(d + at, _mm_adds_pu8(LoadPair(d + at), LoadPair(s + at))); };
        // Eight pixels a step, each pair still read and written before the next one to its left.
        for (; i >= 6; i -= 8) {
            pair(i);
            pair(i - 2);
            pair(i - 4);
            pair(i - 6);
        }
        for (; i >= 0; i -= 2)
            pair(i);
        if (i == -1)
            d[0] = static_cast<DWORD>(_mm_cvtsi64_si32(_mm_adds_pu8(LoadPixel(d), LoadPixel(s))));
    }
    _mm_empty();
    return 0;
}
