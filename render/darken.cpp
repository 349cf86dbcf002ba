// Darken: scales the colour bytes of a rectangle by level / 255.
#include "render/w_dib32.h"

#include "render/scale_tables.h"

namespace {

inline DWORD Scaled(DWORD p, const BYTE* scale)
{
    return scale[p & 0xFF] | (static_cast<DWORD>(scale[(p >> 8) & 0xFF]) << 8) |
           (static_cast<DWORD>(scale[(p >> 16) & 0xFF]) << 16);
}

}  // namespace

int CDIBSurface::Darken(int x, int y, int w, int h, int level)
{
    // Clipped like the other one-surface operations, so that no rectangle can reach outside.
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (!BuildScaleTables())
        return -1;
    if (level < 0)
        level = 0;
    if (level > 255)
        level = 255;
    const BYTE* const scale = ScaleTable() + level * 256;
    if (w == 0)
        return 0;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        int i = 0;
        for (; i + 4 <= w; i += 4) {
            const DWORD p0 = d[i], p1 = d[i + 1], p2 = d[i + 2], p3 = d[i + 3];
            d[i] = Scaled(p0, scale);
            d[i + 1] = Scaled(p1, scale);
            d[i + 2] = Scaled(p2, scale);
            d[i + 3] = Scaled(p3, scale);
        }
        for (; i < w; ++i)
            d[i] = Scaled(d[i], scale);
    }
    return 0;
}
