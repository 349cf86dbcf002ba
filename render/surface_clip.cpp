// The two clipping rules every rectangle operation starts with: against both surfaces, or the receiver.
#include "render/w_dib32.h"

// Works in 64 bits so that no argument, however large, can wrap around and let a rectangle that
// reaches outside a surface pass the final checks.
int CDIBSurface::ClipCopy(int* pdx, int* pdy, CDIBSurface* source, int* psx, int* psy, int* pw, int* ph)
{
    long long dx = *pdx, dy = *pdy, sx = *psx, sy = *psy, w = *pw, h = *ph;
    const long long rw = width, rh = height;
    const long long srcW = source ? source->width : 0, srcH = source ? source->height : 0;

    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (dx + w > rw) w = rw - dx;
    if (dy + h > rh) h = rh - dy;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (sx + w > srcW) w = srcW - sx;
    if (sy + h > srcH) h = srcH - sy;

    const bool refused = w <= 0 || h <= 0 || dx + w < 0 || dy + h < 0 || sx + w < 0 || sy + h < 0 ||
                         dx >= rw || dy >= rh || sx >= srcW || sy >= srcH;
    *pdx = static_cast<int>(dx);
    *pdy = static_cast<int>(dy);
    *psx = static_cast<int>(sx);
    *psy = static_cast<int>(sy);
    *pw = static_cast<int>(w);
    *ph = static_cast<int>(h);
    return refused ? -1 : 0;
}

int CDIBSurface::ClipRect(int* px, int* py, int* pw, int* ph)
{
    long long x = *px, y = *py;
    long long right = x + *pw, bottom = y + *ph;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (right > width) right = width;
    if (bottom > height) bottom = height;
    const long long w = right - x, h = bottom - y;
    *px = static_cast<int>(x);
    *py = static_cast<int>(y);
    *pw = static_cast<int>(w);
    *ph = static_cast<int>(h);
    return w < 0 || h < 0 ? -1 : 0;
}
