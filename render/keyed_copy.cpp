// Colour-keyed drawing: the keyed copy and the nearest-neighbour keyed stretch.
#include "render/w_dib32.h"

#include "imagefile/mem_alloc.h"

// BltFrom has clipped already; clipping again here changes nothing and keeps a direct call inside
// both surfaces too.
void CDIBSurface::CopyKeyed(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, DWORD key)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return;
    for (int r = 0; r < h; ++r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i) {
            const DWORD v = s[i] & 0xFFFFFF;
            if (v != key) d[i] = v;
        }
    }
}

// Positions are fixed point with 8 fraction bits. A negative source width or height walks the source
// backwards from its given column or row, starting half a step inside it (a mirror); so does a negative
// destination width. Only destination pixels and source samples inside their surfaces are visited, so
// no argument can make the stretch read or write outside a surface.
void CDIBSurface::StretchKeyed(int dx, int dy, int dw, int dh, CDIBSurface* source, int sx, int sy, int sw,
                               int sh, DWORD key)
{
    if (!source || dw == 0 || dh <= 0) return;  // no step to take; a negative height draws nothing
    const long long cols = dw < 0 ? -static_cast<long long>(dw) : dw;
    const long long stepX = static_cast<long long>(sw) * 256 / dw, stepY = static_cast<long long>(sh) * 256 / dh;
    const long long fx = sw < 0 ? (sx + 1LL) * 256 + stepX / 2 : sx * 256LL;
    const long long fy = sh < 0 ? (sy + 1LL) * 256 + stepY / 2 : sy * 256LL;
    auto columnOf = [&](long long j) { return (fx + j * stepX) >> 8; };
    auto inside = [&](long long c) { return c >= 0 && c < source->width; };

    // Destination columns j0..j1 and rows k0..k1 that land on this surface; the sampled column moves
    // monotonically with j, so those inside the source form one run.
    long long j0 = dx < 0 ? -static_cast<long long>(dx) : 0;
    long long j1 = cols < width - static_cast<long long>(dx) ? cols : width - static_cast<long long>(dx);
    const long long k0 = dy < 0 ? -static_cast<long long>(dy) : 0;
    const long long k1 = dh < height - static_cast<long long>(dy) ? dh : height - static_cast<long long>(dy);
    while (j0 < j1 && !inside(columnOf(j0))) ++j0;
    while (j1 > j0 && !inside(columnOf(j1 - 1))) --j1;
    if (j0 >= j1 || k0 >= k1) return;

    const int count = static_cast<int>(j1 - j0);
    int* column = static_cast<int*>(MemAlloc(static_cast<DWORD>(count) * sizeof(int)));
    if (!column) return;
    for (int i = 0; i < count; ++i) column[i] = static_cast<int>(columnOf(j0 + i));
    for (long long k = k0; k < k1; ++k) {
        const long long row = (fy + k * stepY) >> 8;
        if (row < 0 || row >= source->height) continue;
        DWORD* d = PixelPtr(static_cast<int>(dx + j0), static_cast<int>(dy + k));
        const DWORD* s = source->rowTable[row];
        for (int i = 0; i < count; ++i)
            if (s[column[i]] != key) d[i] = s[column[i]];
    }
    MemFree(column);
}
