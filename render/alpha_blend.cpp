// AlphaFrom: blends each source pixel over the destination by the source's own fourth byte.
#include "render/w_dib32.h"

#include "render/scale_tables.h"

int CDIBSurface::AlphaFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    if (!BuildScaleTables())
        return -1;
    const BYTE* const table = SignedScaleTable() + 256;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i) {
            const DWORD S = s[i];
            const DWORD a = S >> 24;
            if (a == 0)
                continue;
            // d + (s - d) x a / 255 truncated toward zero; the byte addition wraps to the exact result.
            const BYTE* step = table + a * 512;
            const DWORD D = d[i];
            const int d0 = D & 0xFF, d1 = (D >> 8) & 0xFF, d2 = (D >> 16) & 0xFF;
            const DWORD r0 = (d0 + step[static_cast<int>(S & 0xFF) - d0]) & 0xFF;
            const DWORD r1 = (d1 + step[static_cast<int>((S >> 8) & 0xFF) - d1]) & 0xFF;
            const DWORD r2 = (d2 + step[static_cast<int>((S >> 16) & 0xFF) - d2]) & 0xFF;
            d[i] = r0 | (r1 << 8) | (r2 << 16);
        }
    }
    return 0;
}
