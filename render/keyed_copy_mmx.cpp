// Colour-keyed drawing: the clipped keyed copy (two pixels at a time in MMX registers; this file is
// compiled for MMX) and the nearest-neighbour keyed stretch.
#include "render/w_dib32.h"

#include <cstring>

#include "imagefile/mem_alloc.h"
#include "render/mmx_rows.h"

using namespace mmx;

void CDIBSurface::CopyKeyed(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, DWORD key)
{
    if (source && ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) == 0)
        CopyKeyedClipped(dx, dy, source, sx, sy, w, h, key);
}

void CDIBSurface::CopyKeyedClipped(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, DWORD key)
{
    const __m64 colour = Colour(), keys = Twice(key);
    const bool pairs = PairsAllowed(this, dx, dy, source, sx, sy);
    for (int r = 0; r < h; ++r)
        Row(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), w, pairs, [&](__m64 d, __m64 s) {
            // d where the pixel is keyed, else v: d with the bits that differ from v flipped where not keyed
            // (one operation fewer than masking both and combining them).
            const __m64 v = _mm_and_si64(s, colour);
            const __m64 keyed = _mm_cmpeq_pi32(v, keys);
            return _mm_xor_si64(d, _mm_andnot_si64(keyed, _mm_xor_si64(d, v)));
        });
    _mm_empty();
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

    // A stretched picture repeats source rows. When the row before came from the same source row and no
    // pixel of it was keyed out, it is exactly what this row would draw, and a plain copy of it is faster
    // (not within one surface, where drawing a row may have changed the source).
    long long previous = -1;
    bool previousWhole = false;
    const size_t rowBytes = static_cast<size_t>(count) * 4;
    for (long long k = k0; k < k1; ++k) {
        const long long row = (fy + k * stepY) >> 8;
        if (row < 0 || row >= source->height) {
            previous = -1;
            continue;
        }
        DWORD* d = PixelPtr(static_cast<int>(dx + j0), static_cast<int>(dy + k));
        if (row == previous && previousWhole && source != this) {
            std::memcpy(d, PixelPtr(static_cast<int>(dx + j0), static_cast<int>(dy + k - 1)), rowBytes);
            continue;
        }
        const DWORD* s = source->rowTable[row];
        bool whole = true;
        for (int i = 0; i < count; ++i) {
            const DWORD v = s[column[i]];
            if (v != key)
                d[i] = v;
            else
                whole = false;
        }
        previous = row;
        previousWhole = whole;
    }
    MemFree(column);
}
