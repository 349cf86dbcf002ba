// The routines that scale colour bytes by a level / 255 (the blend kernels, AlphaFrom, Darken), computed
// exactly in MMX registers, two pixels at a time; this file is compiled for MMX.
#include "render/w_dib32.h"

#include "render/mmx_rows.h"

namespace {

using namespace mmx;

// floor(v x level / 255) for a byte v equals floor(v x m / 65536) with m = level x 257 + (level > 0): m
// exceeds level x 65536 / 255 by less than 1, too little to carry any v below 256 past the next whole
// number. A signed 16-bit multiply holds m only for levels up to 127; for higher ones (High) it multiplies
// by m - 65536 and adds v back.
inline __m64 Factor(int level)
{
    return _mm_set1_pi16(static_cast<short>(level * 257 + (level > 0)));
}

template <bool High>
inline __m64 ScaleLanes(__m64 v, __m64 m)
{
    const __m64 q = _mm_mulhi_pi16(v, m);
    return High ? _mm_add_pi16(q, v) : q;
}

// floor(v x level / 255) for each byte v of two pixels; m = Factor(level).
template <bool High>
inline __m64 Scale(__m64 v, __m64 m)
{
    const __m64 zero = _mm_setzero_si64();
    return _mm_packs_pu16(ScaleLanes<High>(_mm_unpacklo_pi8(v, zero), m),
                          ScaleLanes<High>(_mm_unpackhi_pi8(v, zero), m));
}

// d + (s - d) x level / 255 truncated toward zero, per byte: the size of the step is scaled, then
// negated (two's complement) where s fell below d, and added. The true result lies in 0..255, so the
// byte sums are exact. scale(v) is the scaling of the step's bytes.
template <class ScaleStep>
inline __m64 Mix(__m64 d, __m64 s, ScaleStep scale)
{
    const __m64 up = _mm_subs_pu8(s, d), down = _mm_subs_pu8(d, s);
    const __m64 step = scale(_mm_or_si64(up, down));
    const __m64 falling = _mm_cmpeq_pi8(up, _mm_setzero_si64());
    return _mm_add_pi8(d, _mm_sub_pi8(_mm_xor_si64(step, falling), falling));
}

int ClampLevel(int level)
{
    return level < 0 ? 0 : level > 255 ? 255 : level;
}

bool KnownMode(int mode)
{
    return mode == kBlendMix || mode == kBlendAdd || mode == kBlendSubtract;
}

template <bool High>
void BlendRect(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode,
               int level)
{
    const __m64 m = Factor(level), colour = Colour(), invert = _mm_set1_pi8(-1);
    auto scale = [&](__m64 v) { return Scale<High>(v, m); };
    const bool pairs = PairsAllowed(target, dx, dy, source, sx, sy);
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        if (mode == kBlendMix)
            Row(d, s, w, pairs, [&](__m64 dp, __m64 sp) { return _mm_and_si64(Mix(dp, sp, scale), colour); });
        else if (mode == kBlendAdd)
            Row(d, s, w, pairs, [&](__m64 dp, __m64 sp) { return _mm_and_si64(_mm_adds_pu8(dp, scale(sp)), colour); });
        else
            Row(d, s, w, pairs, [&](__m64 dp, __m64 sp) {
                return _mm_and_si64(_mm_subs_pu8(dp, scale(_mm_xor_si64(sp, invert))), colour);
            });
    }
}

template <bool High>
void BlendColourRect(CDIBSurface* target, int x, int y, int w, int h, DWORD colour_, int mode, int level)
{
    const __m64 m = Factor(level), colour = Colour();
    auto scale = [&](__m64 v) { return Scale<High>(v, m); };
    const __m64 k = Twice(colour_);
    // Add and subtract scale only the constant, so its scaled bytes are worked out once.
    const __m64 step = scale(mode == kBlendSubtract ? _mm_xor_si64(k, _mm_set1_pi8(-1)) : k);
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(x, y + r);
        if (mode == kBlendMix)
            ConstantRow(d, k, w, [&](__m64 dp, __m64 kp) { return _mm_and_si64(Mix(dp, kp, scale), colour); });
        else if (mode == kBlendAdd)
            ConstantRow(d, step, w, [&](__m64 dp, __m64 sp) { return _mm_and_si64(_mm_adds_pu8(dp, sp), colour); });
        else
            ConstantRow(d, step, w, [&](__m64 dp, __m64 sp) { return _mm_and_si64(_mm_subs_pu8(dp, sp), colour); });
    }
}

template <bool High>
void DarkenRect(CDIBSurface* target, int x, int y, int w, int h, int level)
{
    const __m64 m = Factor(level), colour = Colour();
    for (int r = h - 1; r >= 0; --r)
        ConstantRow(target->PixelPtr(x, y + r), m, w,
                    [&](__m64 dp, __m64) { return _mm_and_si64(Scale<High>(dp, m), colour); });
}

}  // namespace

int CDIBSurface::BlendFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode, int level)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    if (!KnownMode(mode))
        return -1;
    level = ClampLevel(level);
    if (level >= 128)
        BlendRect<true>(this, dx, dy, source, sx, sy, w, h, mode, level);
    else
        BlendRect<false>(this, dx, dy, source, sx, sy, w, h, mode, level);
    _mm_empty();
    return 0;
}

int CDIBSurface::BlendColor(int x, int y, int w, int h, DWORD colour, int mode, int level)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (!KnownMode(mode))
        return -1;
    level = ClampLevel(level);
    if (level >= 128)
        BlendColourRect<true>(this, x, y, w, h, colour, mode, level);
    else
        BlendColourRect<false>(this, x, y, w, h, colour, mode, level);
    _mm_empty();
    return 0;
}

// Each pixel is mixed over the destination by its own fourth byte a; where a is 0 the destination pixel
// stays as it is, fourth byte included.
int CDIBSurface::AlphaFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    const __m64 colour = Colour(), alpha = Twice(0xFF000000);
    const __m64 times257 = _mm_set1_pi16(257), over127 = _mm_set1_pi16(127);
    const bool pairs = PairsAllowed(this, dx, dy, source, sx, sy);
    auto blend = [&](__m64 dp, __m64 sp) {
        const __m64 zero = _mm_setzero_si64();
        // Lanes [b g r a] of each pixel become [a a a a], then the factor of that level, worked out as in
        // Factor, with the lanes that need v added back.
        const __m64 lo = _mm_unpacklo_pi8(sp, zero), hi = _mm_unpackhi_pi8(sp, zero);
        const __m64 alo = _mm_unpackhi_pi16(lo, lo), ahi = _mm_unpackhi_pi16(hi, hi);
        const __m64 levelLo = _mm_unpackhi_pi32(alo, alo), levelHi = _mm_unpackhi_pi32(ahi, ahi);
        const __m64 mLo = _mm_sub_pi16(_mm_mullo_pi16(levelLo, times257), _mm_cmpgt_pi16(levelLo, zero));
        const __m64 mHi = _mm_sub_pi16(_mm_mullo_pi16(levelHi, times257), _mm_cmpgt_pi16(levelHi, zero));
        const __m64 backLo = _mm_cmpgt_pi16(levelLo, over127), backHi = _mm_cmpgt_pi16(levelHi, over127);
        auto scale = [&](__m64 v) {
            const __m64 vlo = _mm_unpacklo_pi8(v, zero), vhi = _mm_unpackhi_pi8(v, zero);
            return _mm_packs_pu16(_mm_add_pi16(_mm_mulhi_pi16(vlo, mLo), _mm_and_si64(vlo, backLo)),
                                  _mm_add_pi16(_mm_mulhi_pi16(vhi, mHi), _mm_and_si64(vhi, backHi)));
        };
        const __m64 mixed = _mm_and_si64(Mix(dp, sp, scale), colour);
        const __m64 keep = _mm_cmpeq_pi32(_mm_and_si64(sp, alpha), zero);
        return _mm_or_si64(_mm_and_si64(keep, dp), _mm_andnot_si64(keep, mixed));
    };
    for (int r = h - 1; r >= 0; --r)
        Row(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), w, pairs, blend);
    _mm_empty();
    return 0;
}

int CDIBSurface::Darken(int x, int y, int w, int h, int level)
{
    // Clipped like the other one-surface operations, so that no rectangle can reach outside.
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    level = ClampLevel(level);
    if (level >= 128)
        DarkenRect<true>(this, x, y, w, h, level);
    else
        DarkenRect<false>(this, x, y, w, h, level);
    _mm_empty();
    return 0;
}
