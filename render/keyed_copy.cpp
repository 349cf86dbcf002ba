// Colour-keyed drawing: the keyed copy and the nearest-neighbour keyed stretch.
#include "render/w_dib32.h"

// Clips again after BltFrom (which changes nothing) so that a direct call stays inside both surfaces.
void CDIBSurface::CopyKeyed(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, DWORD key)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return;
    for (int r = 0; r < h; ++r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i)
            if ((s[i] & 0xFFFFFF) != key) d[i] = s[i] & 0xFFFFFF;
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
    const long long stepX = sw * 256LL / dw, stepY = sh * 256LL / dh;
    const long long fx = sw < 0 ? (sx + 1LL) * 256 + stepX / 2 : sx * 256LL;
    const long long fy = sh < 0 ? (sy + 1LL) * 256 + stepY / 2 : sy * 256LL;
    for (long long k = dy < 0 ? -static_cast<long long>(dy) : 0; k < dh && dy + k < height; ++k) {
        const long long row = (fy + k * stepY) >> 8;
        if (row < 0 || row >= source->height) continue;
        DWORD* d = rowTable[dy + k];
        const DWORD* s = source->rowTable[row];
        for (long long j = dx < 0 ? -static_cast<long long>(dx) : 0; j < cols && dx + j < width; ++j) {
            const long long column = (fx + j * stepX) >> 8;
            if (column >= 0 && column < source->width && s[column] != key) d[dx + j] = s[column];
        }
    }
}
