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
    const __m64 colour = Colour(), low16 = Twice(0xFFFF), over127 = Twice(127), low = _mm_set1_pi16(0xFF);
    const bool pairs = PairsAllowed(this, dx, dy, source, sx, sy);
    auto blend = [&](__m64 dp, __m64 sp) {
        const __m64 zero = _mm_setzero_si64();
        // Each pixel's level a in its 32-bit lane, then the factor of Factor (a x 257 = a OR a << 8) in both
        // of its 16-bit lanes. The bytes to scale go to those lanes without unpacking: the even ones masked
        // in place, the odd ones shifted down; no result exceeds its byte, so the two sets combine with an
        // OR. A factor of 65536 (a = 255) wraps to 0, which adding v back makes exact as in Scale.
        const __m64 a = _mm_srli_pi32(sp, 24);
        const __m64 m32 = _mm_sub_pi32(_mm_or_si64(a, _mm_slli_pi32(a, 8)), _mm_cmpgt_pi32(a, zero));
        const __m64 m = _mm_or_si64(_mm_and_si64(m32, low16), _mm_slli_pi32(m32, 16));
        const __m64 back = _mm_cmpgt_pi32(a, over127);
        auto lanes = [&](__m64 v) { return _mm_add_pi16(_mm_mulhi_pi16(v, m), _mm_and_si64(v, back)); };
        auto scale = [&](__m64 v) { return _mm_or_si64(lanes(_mm_and_si64(v, low)), _mm_slli_pi16(lanes(_mm_srli_pi16(v, 8)), 8)); };
        // Where a is 0 the step is 0, so the mix is the destination pixel itself: keep its fourth byte.
        const __m64 keep = _mm_cmpeq_pi32(a, zero);
        return _mm_and_si64(Mix(dp, sp, scale), _mm_or_si64(keep, colour));
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
