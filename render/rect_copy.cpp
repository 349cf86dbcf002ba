// Rectangle copies between surfaces: whole pixels (CopyFrom) and one byte lane (CopyChannel).
// Every operation here clips first with ClipCopy; the loops then trust their rectangle.
#include "render/w_dib32.h"

#include <cstring>

int CDIBSurface::CopyFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    const size_t bytes = static_cast<size_t>(w) * 4;
    // Rows go from the last to the first, so a copy downwards within one surface reads every row
    // before it is overwritten; a copy upwards over itself needs the opposite order. memmove, because
    // a sideways copy within one row must not smear.
    if (source == this && dy < sy) {
        for (int r = 0; r < h; ++r) std::memmove(PixelPtr(dx, dy + r), PixelPtr(sx, sy + r), bytes);
        return 0;
    }
    for (int r = h - 1; r >= 0; --r) std::memmove(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), bytes);
    return 0;
}

int CDIBSurface::CopyChannel(int dx, int dy, int destinationChannel, CDIBSurface* source, int sx, int sy, int w,
                             int h, int sourceChannel)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    if (destinationChannel < 0 || destinationChannel > 3 || sourceChannel < 0 || sourceChannel > 3) return -1;
    const int down = 8 * sourceChannel, up = 8 * destinationChannel;
    const DWORD others = ~(0xFFu << up);
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i) d[i] = (d[i] & others) | ((s[i] >> down) & 0xFF) << up;
    }
    return 0;
}
