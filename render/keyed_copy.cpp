// Colour-keyed drawing: the clipped keyed copy and the nearest-neighbour keyed stretch.
#include "render/w_dib32.h"

#include "imagefile/mem_alloc.h"

void CDIBSurface::CopyKeyed(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, DWORD key)
{
    // BltFrom has clipped already and clipping again changes nothing then; a direct call with any
    // rectangle must still stay inside both surfaces.
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return;
    for (int r = 0; r < h; ++r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i) {
            const DWORD v = s[i] & 0xFFFFFF;
            if (v != key)
                d[i] = v;
        }
    }
}

// Positions are fixed point with 8 fraction bits. A negative source width or height walks the source
// backwards from its given column or row, starting half a step inside it (a mirror); so does a negative
// destination width. Only destination columns and source samples that lie inside their surfaces are
// visited, so no argument can make the stretch read or write outside a surface.
void CDIBSurface::StretchKeyed(int dx, int dy, int dw, int dh, CDIBSurface* source, int sx, int sy, int sw,
                               int sh, DWORD key)
{
    // A zero size has no step; a negative destination height draws nothing.
    if (!source || dw == 0 || dh <= 0)
        return;
    const long long cols = dw < 0 ? -static_cast<long long>(dw) : dw;
    const long long stepX = static_cast<long long>(sw) * 256 / dw;
    const long long stepY = static_cast<long long>(sh) * 256 / dh;
    const long long fx = sw < 0 ? (static_cast<long long>(sx) + 1) * 256 + stepX / 2 : static_cast<long long>(sx) * 256;
    const long long fy = sh < 0 ? (static_cast<long long>(sy) + 1) * 256 + stepY / 2 : static_cast<long long>(sy) * 256;

    // Destination columns j and rows k that land on this surface.
    long long j0 = dx < 0 ? -static_cast<long long>(dx) : 0;
    long long j1 = cols < static_cast<long long>(width) - dx ? cols : static_cast<long long>(width) - dx;
    const long long k0 = dy < 0 ? -static_cast<long long>(dy) : 0;
    const long long k1 = dh < static_cast<long long>(height) - dy ? dh : static_cast<long long>(height) - dy;
    if (j0 >= j1 || k0 >= k1)
        return;

    // The sampled column moves monotonically with j, so the columns inside the source form one run.
    const long long sourceWidth = source->width;
    auto columnOf = [&](long long j) { return (fx + j * stepX) >> 8; };
    auto inside = [&](long long c) { return c >= 0 && c < sourceWidth; };
    while (j0 < j1 && !inside(columnOf(j0)))
        ++j0;
    while (j1 > j0 && !inside(columnOf(j1 - 1)))
        --j1;
    if (j0 >= j1)
        return;

    const int count = static_cast<int>(j1 - j0);
    int* column = static_cast<int*>(MemAlloc(static_cast<DWORD>(count) * sizeof(int)));
    if (!column)
        return;
    for (int i = 0; i < count; ++i)
        column[i] = static_cast<int>(columnOf(j0 + i));

    for (long long k = k0; k < k1; ++k) {
        const long long row = (fy + k * stepY) >> 8;
        if (row < 0 || row >= source->height)
            continue;
        const DWORD* s = source->rowTable[row];
        DWORD* d = PixelPtr(static_cast<int>(dx + j0), static_cast<int>(dy + k));
        for (int i = 0; i < count; ++i) {
            const DWORD v = s[column[i]];
            if (v != key)
                d[i] = v;
        }
    }
    MemFree(column);
}
