// One-surface operations with a constant: fill, saturating add, average, and setting one byte lane.
#include "render/w_dib32.h"

int CDIBSurface::Fill(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (w == 0)
        return 0;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i)
            d[i] = colour;
    }
    return 0;
}

// All three colour bytes in one addition: each operand loses its lowest bits, so a byte's carry lands
// in the lowest bit of the next byte up, and every byte that carried is then forced to 255. The carry
// bits stay in the result (red's in the fourth byte).
int CDIBSurface::AddColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (w == 0)
        return 0;
    const DWORD k = colour & 0xFEFEFE;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i) {
            const DWORD t = (d[i] & 0xFEFEFE) + k;
            const DWORD c = t & 0x1010100;
            d[i] = t | (c - (c >> 8));
        }
    }
    return 0;
}

int CDIBSurface::AverageColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (w == 0)
        return 0;
    const DWORD k = (colour & 0xFEFEFE) >> 1;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i)
            d[i] = ((d[i] & 0xFEFEFE) >> 1) + k;
    }
    return 0;
}

int CDIBSurface::SetChannel(int channel, int x, int y, int w, int h, int value)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (channel < 0 || channel > 3)
        return -1;
    if (w == 0)
        return 0;
    for (int r = h - 1; r >= 0; --r) {
        BYTE* d = reinterpret_cast<BYTE*>(PixelPtr(x, y + r)) + channel;
        for (int i = 0; i < w; ++i)
            d[i * 4] = static_cast<BYTE>(value);
    }
    return 0;
}
