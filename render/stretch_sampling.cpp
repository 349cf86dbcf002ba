// Learning StretchBlt's sampling: a line of pixels holding their own index (with a full fourth byte) is
// stretched, and each target pixel then names the source pixel it shows. The lines are kept from one
// learning to the next, one pair for each direction, and only grow: making a DIB section and its DC
// costs far more than the stretch.
#include "render/stretch_sampling.h"

#include <cstring>

#include "render/w_dib32.h"

namespace {

const DWORD kIndexMark = 0xFF000000;

// A top-down 32-bit DIB section of at least length pixels in one row (or one column) in its own DC.
class CLine {
public:
    ~CLine() { Release(); }

    DWORD* Pixels(int length, bool vertical)
    {
        if (length > capacity && !Make(length, vertical))
            return nullptr;
        return pixels;
    }
    HDC dc = nullptr;

private:
    bool Make(int length, bool vertical)
    {
        Release();
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = vertical ? 1 : length;
        info.bmiHeader.biHeight = vertical ? -length : -1;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
        previous = bitmap && bits ? SelectObject(dc, bitmap) : nullptr;
        if (!previous) {
            Release();
            return false;
        }
        pixels = static_cast<DWORD*>(bits);
        capacity = length;
        return true;
    }
    void Release()
    {
        if (previous)
            SelectObject(dc, previous);
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
        dc = nullptr;
        bitmap = nullptr;
        previous = nullptr;
        pixels = nullptr;
        capacity = 0;
    }

    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    DWORD* pixels = nullptr;
    int capacity = 0;
};

// The index line and the line it is stretched into, across ([0], learning columns) and down ([1],
// learning rows), behind one lock.
class CLearner {
public:
    CLearner() { InitializeCriticalSection(&lock); }
    ~CLearner() { DeleteCriticalSection(&lock); }

    bool Learn(int from, int to, bool vertical, int* map, DWORD* fourth)
    {
        EnterCriticalSection(&lock);
        const bool learnt = LearnLocked(from, to, vertical, map, fourth);
        LeaveCriticalSection(&lock);
        return learnt;
    }

private:
    bool LearnLocked(int from, int to, bool vertical, int* map, DWORD* fourth)
    {
        CLine& index = indices[vertical];
        CLine& result = results[vertical];
        DWORD* in = index.Pixels(from, vertical);
        const DWORD* out = result.Pixels(to, vertical);
        if (!in || !out)
            return false;
        for (int i = 0; i < from; ++i)
            in[i] = kIndexMark | static_cast<DWORD>(i);
        SetStretchBltMode(result.dc, COLORONCOLOR);
        if (!StretchBlt(result.dc, 0, 0, vertical ? 1 : to, vertical ? to : 1, index.dc, 0, 0, vertical ? 1 : from,
                        vertical ? from : 1, SRCCOPY))
            return false;
        GdiFlush();
        // Every target pixel must name a source pixel, and all must agree on the fourth byte.
        const DWORD mark = out[0] & kIndexMark;
        if (mark != kIndexMark && mark != 0)
            return false;
        for (int j = 0; j < to; ++j) {
            if ((out[j] & kIndexMark) != mark || (out[j] & ~kIndexMark) >= static_cast<DWORD>(from))
                return false;
            map[j] = static_cast<int>(out[j] & ~kIndexMark);
        }
        *fourth = mark ? 0xFFFFFFFF : 0xFFFFFF;
        return true;
    }

    CRITICAL_SECTION lock;
    CLine indices[2], results[2];
};

CLearner learner;  // made before WinMain, so before any second thread

}  // namespace

bool LearnStretchSampling(int from, int to, bool vertical, int* map, DWORD* fourth)
{
    if (from <= 0 || to <= 0 || from > 0xFFFFFF)
        return false;
    return learner.Learn(from, to, vertical, map, fourth);
}

void CopySampled(CDIBSurface* target, int tx, int ty, CDIBSurface* source, int sx, int sy, const int* columnOf,
                 int dw, const int* rowOf, int dh, DWORD keep)
{
    GdiFlush();  // GDI may still be drawing into either surface
    for (int i = 0; i < dh; ++i) {
        DWORD* out = target->PixelPtr(tx, ty + i);
        if (i > 0 && rowOf[i] == rowOf[i - 1]) {
            std::memcpy(out, target->PixelPtr(tx, ty + i - 1), static_cast<size_t>(dw) * 4);
            continue;
        }
        const DWORD* in = source->PixelPtr(sx, sy + rowOf[i]);
        for (int j = 0; j < dw; ++j)
            out[j] = in[columnOf[j]] & keep;
    }
}
