// The two operations that hand their plain case to GDI (StretchBlt, BitBlt) and their keyed case to the
// software keyed copies.
#include "render/w_dib32.h"

const int kKeyedFlag = 0x1000000;

int CDIBSurface::StretchFrom(const RECT* destination, CDIBSurface* source, const RECT* sourceRect, int flags_)
{
    if (!source || !destination || !sourceRect) return -1;
    const int dw = destination->right - destination->left, dh = destination->bottom - destination->top;
    const int sw = sourceRect->right - sourceRect->left, sh = sourceRect->bottom - sourceRect->top;
    // -1 has bit 24 set, yet stretches through GDI.
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
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    // Bit 24 selects the keyed copy even in -1, which therefore keys on white.
    if (flags_ & kKeyedFlag)
        CopyKeyed(dx, dy, source, sx, sy, w, h, static_cast<DWORD>(flags_) & 0xFFFFFF);
    else
        BitBlt(memDC, dx, dy, w, h, source->memDC, sx, sy, SRCCOPY);
    return 0;
}
