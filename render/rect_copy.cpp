// Plain rectangle copies between surfaces: whole pixels (CopyFrom) and one byte lane (CopyChannel).
#include "render/w_dib32.h"

#include <cstring>

int CDIBSurface::CopyFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    const size_t bytes = static_cast<size_t>(w) * 4;
    // Rows go from the last to the first, so a copy downwards within one surface reads every row
    // before it is overwritten. A copy upwards over itself needs the opposite order.
    if (source == this && dy < sy) {
        for (int r = 0; r < h; ++r)
            std::memmove(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), bytes);
        return 0;
    }
    // memmove rather than a pixel loop: a sideways copy within one row must not smear.
    for (int r = h - 1; r >= 0; --r)
        std::memmove(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), bytes);
    return 0;
}

int CDIBSurface::CopyChannel(int dx, int dy, int destinationChannel, CDIBSurface* source, int sx, int sy, int w,
                             int h, int sourceChannel)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    if (destinationChannel < 0 || destinationChannel > 3 || sourceChannel < 0 || sourceChannel > 3)
        return -1;
    for (int r = h - 1; r >= 0; --r) {
        BYTE* d = reinterpret_cast<BYTE*>(PixelPtr(dx, dy + r)) + destinationChannel;
        const BYTE* s = reinterpret_cast<const BYTE*>(source->PixelPtr(sx, sy + r)) + sourceChannel;
        for (int i = 0; i < w; ++i)
            d[i * 4] = s[i * 4];
    }
    return 0;
}
