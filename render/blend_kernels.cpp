// The three level-driven blend kernels (mix, add, subtract) and the two operations that apply them.
#include "render/w_dib32.h"

#include "render/scale_tables.h"

namespace {

// Source pixels come from a row (BlendFrom) or are one constant colour (BlendColor); both share a kernel.
struct RowSource {
    const DWORD* s;
    DWORD operator[](int i) const { return s[i]; }
};
struct ConstantSource {
    DWORD k;
    DWORD operator[](int) const { return k; }
};

// d + (s - d) x level / 255 truncated toward zero. The signed table row holds that step as a byte to be
// added modulo 256; the true sum always lies in 0..255, so the wrap-around gives the exact byte.
template <class Source>
void MixRow(DWORD* d, Source s, int n, const BYTE* step)
{
    for (int i = 0; i < n; ++i) {
        const DWORD D = d[i], S = s[i];
        const int d0 = D & 0xFF, d1 = (D >> 8) & 0xFF, d2 = (D >> 16) & 0xFF;
        const DWORD r0 = (d0 + step[static_cast<int>(S & 0xFF) - d0]) & 0xFF;
        const DWORD r1 = (d1 + step[static_cast<int>((S >> 8) & 0xFF) - d1]) & 0xFF;
        const DWORD r2 = (d2 + step[static_cast<int>((S >> 16) & 0xFF) - d2]) & 0xFF;
        d[i] = r0 | (r1 << 8) | (r2 << 16);
    }
}

// min(255, d + floor(level x s / 255)).
template <class Source>
void AddRow(DWORD* d, Source s, int n, const BYTE* scale)
{
    for (int i = 0; i < n; ++i) {
        const DWORD D = d[i], S = s[i];
        DWORD r0 = (D & 0xFF) + scale[S & 0xFF];
        DWORD r1 = ((D >> 8) & 0xFF) + scale[(S >> 8) & 0xFF];
        DWORD r2 = ((D >> 16) & 0xFF) + scale[(S >> 16) & 0xFF];
        if (r0 > 255) r0 = 255;
        if (r1 > 255) r1 = 255;
        if (r2 > 255) r2 = 255;
        d[i] = r0 | (r1 << 8) | (r2 << 16);
    }
}

// max(0, d - floor(level x (255 - s) / 255)).
template <class Source>
void SubtractRow(DWORD* d, Source s, int n, const BYTE* scale)
{
    for (int i = 0; i < n; ++i) {
        const DWORD D = d[i], S = ~s[i];  // 255 - s in each colour byte
        int r0 = static_cast<int>(D & 0xFF) - scale[S & 0xFF];
        int r1 = static_cast<int>((D >> 8) & 0xFF) - scale[(S >> 8) & 0xFF];
        int r2 = static_cast<int>((D >> 16) & 0xFF) - scale[(S >> 16) & 0xFF];
        if (r0 < 0) r0 = 0;
        if (r1 < 0) r1 = 0;
        if (r2 < 0) r2 = 0;
        d[i] = static_cast<DWORD>(r0) | (static_cast<DWORD>(r1) << 8) | (static_cast<DWORD>(r2) << 16);
    }
}

// The mix kernel at its end levels needs no table: the destination or the source, fourth byte cleared.
template <class Source>
void KeepRow(DWORD* d, Source, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] &= 0xFFFFFF;
}
template <class Source>
void TakeRow(DWORD* d, Source s, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = s[i] & 0xFFFFFF;
}

template <class Source>
void BlendRow(int mode, int level, DWORD* d, Source s, int n)
{
    if (mode == kBlendMix) {
        if (level == 0)
            KeepRow(d, s, n);
        else if (level == 255)
            TakeRow(d, s, n);
        else
            MixRow(d, s, n, SignedScaleTable() + level * 512 + 256);
    } else if (mode == kBlendAdd) {
        AddRow(d, s, n, ScaleTable() + level * 256);
    } else {
        SubtractRow(d, s, n, ScaleTable() + level * 256);
    }
}

int ClampLevel(int level)
{
    return level < 0 ? 0 : level > 255 ? 255 : level;
}

}  // namespace

int CDIBSurface::BlendFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode, int level)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    if (mode != kBlendMix && mode != kBlendAdd && mode != kBlendSubtract)
        return -1;
    // The tables are built with the first surface; should that have failed, try again rather than read
    // a missing table.
    if (!BuildScaleTables())
        return -1;
    level = ClampLevel(level);
    for (int r = h - 1; r >= 0; --r)
        BlendRow(mode, level, PixelPtr(dx, dy + r), RowSource{source->PixelPtr(sx, sy + r)}, w);
    return 0;
}

int CDIBSurface::BlendColor(int x, int y, int w, int h, DWORD colour, int mode, int level)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (mode != kBlendMix && mode != kBlendAdd && mode != kBlendSubtract)
        return -1;
    if (!BuildScaleTables())
        return -1;
    level = ClampLevel(level);
    if (w == 0)
        return 0;
    for (int r = h - 1; r >= 0; --r)
        BlendRow(mode, level, PixelPtr(x, y + r), ConstantSource{colour}, w);
    return 0;
}
