// CScaledCopy: GDI's nearest-neighbour sampling, learnt by stretching a row and a column of index
// pixels, then applied to the stage by copying pixels and whole rows.
#include "render/scaled_copy.h"

#include <cstring>
#include <initializer_list>
#include <new>

CScaledCopy::CScaledCopy()
    : canvas(nullptr), columns(nullptr), rows(nullptr), columnMap(nullptr), rowMap(nullptr), mapWidth(0),
      mapTargetWidth(0), mapHeight(0), mapTargetHeight(0)
{
}

CScaledCopy::~CScaledCopy() { Release(); }

void CScaledCopy::Release()
{
    for (CDIBSurface** s : {&canvas, &columns, &rows, &columnMap, &rowMap}) {
        delete *s;
        *s = nullptr;
    }
    mapWidth = mapHeight = 0;
}

// A surface of at least (exactly, when exact) the size asked for; false when it cannot be made.
bool CScaledCopy::Ensure(CDIBSurface** surface, HWND window, int width, int height)
{
    if (*surface && (*surface)->GetWidth() >= width && (*surface)->GetHeight() >= height)
        return true;
    delete *surface;
    *surface = new (std::nothrow) CDIBSurface(window);
    if (*surface && (*surface)->Create(width, -height) == 0)
        return true;
    delete *surface;
    *surface = nullptr;
    return false;
}

bool CScaledCopy::Prepare(CDIBSurface* stage, int dw, int dh)
{
    // A map surface made anew holds no map yet.
    if (!columnMap || columnMap->GetWidth() < dw)
        mapWidth = 0;
    if (!rowMap || rowMap->GetHeight() < dh)
        mapHeight = 0;
    HWND window = stage->GetWnd();
    const int width = stage->GetWidth(), height = stage->GetHeight();
    if (!Ensure(&columns, window, width, 1) || !Ensure(&rows, window, 1, height) ||
        !Ensure(&columnMap, window, dw, 1) || !Ensure(&rowMap, window, 1, dh) || !Ensure(&canvas, window, dw, dh))
        return false;
    for (int x = 0; x < width; ++x)
        *columns->PixelPtr(x, 0) = static_cast<DWORD>(x);
    for (int y = 0; y < height; ++y)
        *rows->PixelPtr(0, y) = static_cast<DWORD>(y);
    return true;
}

bool CScaledCopy::Draw(HDC dc, int dx, int dy, int dw, int dh, CDIBSurface* stage, int sx, int sy, int w, int h)
{
    if (w <= 0 || h <= 0 || dw <= 0 || dh <= 0 || sx < 0 || sy < 0 || sx > stage->GetWidth() - w ||
        sy > stage->GetHeight() - h || !Prepare(stage, dw, dh))
        return false;
    // Which stage column and row each pixel of the target shows, as StretchBlt itself picks them: its
    // choice depends only on the sizes, one direction at a time, so the maps (offsets from sx and sy) are
    // learnt once for each pair of sizes; a wipe presents many strips of the same size.
    if (w != mapWidth || dw != mapTargetWidth) {
        HDC columnDC = columnMap->GetMemDC();
        SetStretchBltMode(columnDC, COLORONCOLOR);
        StretchBlt(columnDC, 0, 0, dw, 1, columns->GetMemDC(), 0, 0, w, 1, SRCCOPY);
        GdiFlush();
        mapWidth = w;
        mapTargetWidth = dw;
    }
    if (h != mapHeight || dh != mapTargetHeight) {
        HDC rowDC = rowMap->GetMemDC();
        SetStretchBltMode(rowDC, COLORONCOLOR);
        StretchBlt(rowDC, 0, 0, 1, dh, rows->GetMemDC(), 0, 0, 1, h, SRCCOPY);
        GdiFlush();
        mapHeight = h;
        mapTargetHeight = dh;
    }
    const DWORD* columnOf = columnMap->PixelPtr(0, 0);
    for (int j = 0; j < dw; ++j)
        if ((columnOf[j] & 0xFFFFFF) >= static_cast<DWORD>(w))
            return false;
    DWORD previous = 0xFFFFFFFF;
    for (int i = 0; i < dh; ++i) {
        const DWORD row = *rowMap->PixelPtr(0, i) & 0xFFFFFF;
        if (row >= static_cast<DWORD>(h))
            return false;
        DWORD* out = canvas->PixelPtr(0, i);
        if (row == previous) {
            std::memcpy(out, canvas->PixelPtr(0, i - 1), static_cast<size_t>(dw) * 4);
            continue;
        }
        const DWORD* in = stage->PixelPtr(sx, sy + static_cast<int>(row));
        for (int j = 0; j < dw; ++j)
            out[j] = in[columnOf[j] & 0xFFFFFF];
        previous = row;
    }
    BitBlt(dc, dx, dy, dw, dh, canvas->GetMemDC(), 0, 0, SRCCOPY);
    return true;
}
