// The two operations that hand their plain case to GDI (StretchBlt, BitBlt) and their keyed case to
// the software keyed copies.
#include "render/w_dib32.h"

namespace {

const int kKeyedFlag = 0x1000000;

// right - left and bottom - top, or false when a size does not fit 32 bits.
bool RectSize(const RECT* r, int* w, int* h)
{
    const long long rw = static_cast<long long>(r->right) - r->left;
    const long long rh = static_cast<long long>(r->bottom) - r->top;
    if (rw < -0x7FFFFFFFLL || rw > 0x7FFFFFFF || rh < -0x7FFFFFFFLL || rh > 0x7FFFFFFF)
        return false;
    *w = static_cast<int>(rw);
    *h = static_cast<int>(rh);
    return true;
}

}  // namespace

int CDIBSurface::StretchFrom(const RECT* destination, CDIBSurface* source, const RECT* sourceRect, int flags_)
{
    if (!source || !destination || !sourceRect)
        return -1;
    int dw, dh, sw, sh;
    if (!RectSize(destination, &dw, &dh) || !RectSize(sourceRect, &sw, &sh))
        return -1;
    if (flags_ != -1 && (flags_ & kKeyedFlag)) {
        StretchKeyed(destination->left, destination->top, dw, dh, source, sourceRect->left, sourceRect->top, sw, sh,
                     static_cast<DWORD>(flags_) & 0xFFFFFF);
        return 0;
    }
    SetStretchBltMode(memDC, COLORONCOLOR);
    StretchBlt(memDC, destination->left, destination->top, dw, dh, source->memDC, sourceRect->left, sourceRect->top,
               sw, sh, SRCCOPY);
    return 0;
}

int CDIBSurface::BltFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int flags_)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    // Bit 24 selects the keyed copy even in -1, which therefore keys on white.
    if (flags_ & kKeyedFlag)
        CopyKeyedClipped(dx, dy, source, sx, sy, w, h, static_cast<DWORD>(flags_) & 0xFFFFFF);
    else
        BitBlt(memDC, dx, dy, w, h, source->memDC, sx, sy, SRCCOPY);
    return 0;
}
