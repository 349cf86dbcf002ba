// FadeFrom's and AddFrom's rectangles with the processor's packed-integer (MMX) instructions; the one
// file built for MMX, and called only when the processor has it (fade_add.cpp).
#include "render/fade_add_packed.h"

#include <mmintrin.h>
#include <cstring>

namespace {

__m64 LoadPixel(const DWORD* p) { return _mm_cvtsi32_si64(static_cast<int>(*p)); }
DWORD StorePixel(__m64 v) { return static_cast<DWORD>(_mm_cvtsi64_si32(v)); }

}  // namespace

// One pixel at a time, right to left, widened to four 16-bit lanes: s + 2 x ((d - s) x f >> 16), where
// the signed high-half multiply is exactly the formula's floor, packed back with unsigned saturation,
// which is its clamp. f is at most 255 x 128 = 32640, so it fits a signed lane.
void FadeRectPacked(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h,
                    int weight)
{
    const short fc = static_cast<short>((weight & 0xFF) * 128), fa = static_cast<short>(((weight >> 16) & 0xFF) * 128);
    const __m64 factor = _mm_set_pi16(fa, fc, fc, fc), zero = _mm_setzero_si64();
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = w - 1; i >= 0; --i) {
            const __m64 sw = _mm_unpacklo_pi8(LoadPixel(s + i), zero);
            const __m64 q = _mm_mulhi_pi16(_mm_sub_pi16(_mm_unpacklo_pi8(LoadPixel(d + i), zero), sw), factor);
            d[i] = StorePixel(_mm_packs_pu16(_mm_add_pi16(_mm_add_pi16(q, q), sw), zero));
        }
    }
    _mm_empty();
}

// Eight bytes with unsigned saturation, two pixels at a time from the right end of the row, both read
// before either is written; an odd leftmost pixel by itself.
void AddRectPacked(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        int i = w - 2;
        for (; i >= 0; i -= 2) {
            __m64 dp, sp;
            std::memcpy(&dp, d + i, 8);
            std::memcpy(&sp, s + i, 8);
            dp = _mm_adds_pu8(dp, sp);
            std::memcpy(d + i, &dp, 8);
        }
        if (i == -1) d[0] = StorePixel(_mm_adds_pu8(LoadPixel(d), LoadPixel(s)));
    }
    _mm_empty();
}
