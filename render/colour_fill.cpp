// One-surface operations with a constant: fill, saturating add, average, and setting one byte lane.
// Each clips with ClipRect first; a clipped width or height of 0 draws nothing and still succeeds.
#include "render/w_dib32.h"

int CDIBSurface::Fill(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    EachPixel(x, y, w, h, [colour](DWORD) { return colour; });
    return 0;
}

// The three colour bytes are added in one 32-bit addition after dropping their lowest bits; each carry
// lands in the lowest bit of the byte above, and c - (c >> 8) turns every carried byte into 255. The
// carry bit itself stays: red's overflow sets the fourth byte to 1.
int CDIBSurface::AddColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    const DWORD k = colour & 0xFEFEFE;
    EachPixel(x, y, w, h, [k](DWORD d) {
        const DWORD t = (d & 0xFEFEFE) + k, c = t & 0x1010100;
        return t | (c - (c >> 8));
    });
    return 0;
}

// Both halves lose the lowest bit of each colour byte first, so the sum cannot overflow into a neighbour.
int CDIBSurface::AverageColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    const DWORD half = (colour & 0xFEFEFE) >> 1;
    EachPixel(x, y, w, h, [half](DWORD d) { return ((d & 0xFEFEFE) >> 1) + half; });
    return 0;
}

int CDIBSurface::SetChannel(int channel, int x, int y, int w, int h, int value)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    if (channel < 0 || channel > 3) return -1;
    const DWORD others = ~(0xFFu << (8 * channel)), lane = static_cast<DWORD>(value & 0xFF) << (8 * channel);
    EachPixel(x, y, w, h, [=](DWORD d) { return (d & others) | lane; });
    return 0;
}
