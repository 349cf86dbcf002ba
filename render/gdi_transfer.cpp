// The two operations that hand their plain case to GDI (BitBlt; StretchBlt where copying rows cannot
// stand in for it) and their keyed case to the software keyed copies.
#include "render/w_dib32.h"

#include <new>

#include "render/stretch_sampling.h"

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

// The plain stretch from another surface as StretchBlt draws it, at the cost of copying pixels and rows:
// StretchBlt's sampling for these sizes is learnt, then applied. Only for positive sizes and rectangles
// inside both surfaces; false when it did not draw, and StretchBlt then does.
bool StretchByRows(CDIBSurface* target, const RECT* to, CDIBSurface* source, const RECT* from, int dw, int dh,
                   int sw, int sh)
{
    if (source == target || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || to->left < 0 || to->top < 0 ||
        to->right > target->GetWidth() || to->bottom > target->GetHeight() || from->left < 0 || from->top < 0 ||
        from->right > source->GetWidth() || from->bottom > source->GetHeight())
        return false;
    int* const columnOf = new (std::nothrow) int[static_cast<size_t>(dw) + static_cast<size_t>(dh)];
    if (!columnOf)
        return false;
    int* const rowOf = columnOf + dw;
    DWORD keepColumns = 0, keepRows = 0;
    const bool learnt = LearnStretchSampling(sw, dw, false, columnOf, &keepColumns) &&
                        LearnStretchSampling(sh, dh, true, rowOf, &keepRows);
    if (learnt)
        CopySampled(target, to->left, to->top, source, from->left, from->top, columnOf, dw, rowOf, dh,
                    keepColumns & keepRows);
    delete[] columnOf;
    return learnt;
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
    if (StretchByRows(this, destination, source, sourceRect, dw, dh, sw, sh))
        return 0;
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
