// One-surface operations with a constant: fill, saturating add, average, and setting one byte lane.
// Each clips with ClipRect first; a clipped width or height of 0 draws nothing and still succeeds.
#include "render/w_dib32.h"

#include <cstring>

int CDIBSurface::Fill(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    if (w == 0 || h == 0) return 0;
    // One row is filled pixel by pixel; the others are copies of it, at the speed of memcpy.
    DWORD* const last = PixelPtr(x, y + h - 1);
    for (int i = 0; i < w; ++i) last[i] = colour;
    for (int r = h - 2; r >= 0; --r) std::memcpy(PixelPtr(x, y + r), last, static_cast<size_t>(w) * 4);
    return 0;
}

// The three colour bytes are added in one 32-bit addition after dropping their lowest bits; each carry
// lands in the lowest bit of the byte above, and c - (c >> 8) turns every carried byte into 255. The
// carry bit itself stays: red's overflow sets the fourth byte to 1.
int CDIBSurface::AddColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    const DWORD k = colour & 0xFEFEFE;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i) {
            const DWORD t = (d[i] & 0xFEFEFE) + k, c = t & 0x1010100;
            d[i] = t | (c - (c >> 8));
        }
    }
    return 0;
}

// Both halves lose the lowest bit of each colour byte first, so the sum cannot overflow into a neighbour.
int CDIBSurface::AverageColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    const DWORD half = (colour & 0xFEFEFE) >> 1;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i) d[i] = ((d[i] & 0xFEFEFE) >> 1) + half;
    }
    return 0;
}

int CDIBSurface::SetChannel(int channel, int x, int y, int w, int h, int value)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    if (channel < 0 || channel > 3) return -1;
    const DWORD others = ~(0xFFu << (8 * channel)), lane = static_cast<DWORD>(value & 0xFF) << (8 * channel);
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i) d[i] = (d[i] & others) | lane;
    }
    return 0;
}
