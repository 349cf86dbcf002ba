// CDIBSurface: construction, the DIB section's creation and release, accessors and pixel addressing.
#include "render/w_dib32.h"

#include <cstring>

#include "imagefile/mem_alloc.h"

int CDIBSurface::instanceCount = 0;

CDIBSurface::CDIBSurface(HWND window_)
    : flags(0), window(window_), windowDC(nullptr), previousBitmap(nullptr), memDC(nullptr), dibSection(nullptr),
      pixels(nullptr), width(0), height(0), bitCount(0), pitch(0), bytesPerPixel(0), stride(0), rowTable(nullptr)
{
    std::memset(&bitmapHeader, 0, sizeof bitmapHeader);
    std::memset(colorTable, 0, sizeof colorTable);
    ++instanceCount;
}

CDIBSurface::~CDIBSurface()
{
    --instanceCount;
    Destroy();
}

int CDIBSurface::InstanceCount()
{
    return instanceCount;
}

HWND CDIBSurface::GetWnd() { return window; }
HDC CDIBSurface::GetMemDC() { return memDC; }
int CDIBSurface::GetWidth() { return width; }
int CDIBSurface::GetHeight() { return height; }
int CDIBSurface::GetStride() { return stride; }
int CDIBSurface::GetPitch() { return pitch; }
RGBQUAD* CDIBSurface::GetColorTable() { return colorTable; }
int CDIBSurface::GetBitCount() { return bitCount; }
BITMAPINFO* CDIBSurface::GetBitmapInfo() { return reinterpret_cast<BITMAPINFO*>(&bitmapHeader); }
void* CDIBSurface::GetBits() { return pixels; }
DWORD** CDIBSurface::GetRowTable() { return rowTable; }

DWORD* CDIBSurface::PixelPtr(int x, int y)
{
    // Width and height are 0 on a surface that is not created, so this also covers that case.
    if (x < 0 || y < 0 || x >= width || y >= height)
        return nullptr;
    return rowTable[y] + x;
}

int CDIBSurface::Create(int newWidth, int newHeight)
{
    if (!window)
        return -1;
    // Sizes whose pixel memory would not fit a signed 32-bit byte count are refused before anything
    // changes; stride and row addresses are 32-bit values.
    const long long rows = newHeight < 0 ? -static_cast<long long>(newHeight) : newHeight;
    if (newWidth <= 0 || rows == 0 || static_cast<long long>(newWidth) * 4 * rows > 0x7FFFFFFF)
        return -1;
    if (flags & 1)
        Destroy();

    bytesPerPixel = 4;
    stride = newWidth * 4;
    bitCount = 32;
    pitch = newHeight < 0 ? stride : -stride;
    pixels = nullptr;

    std::memset(&bitmapHeader, 0, sizeof bitmapHeader);
    bitmapHeader.biSize = sizeof(BITMAPINFOHEADER);
    bitmapHeader.biWidth = newWidth;
    bitmapHeader.biHeight = newHeight;
    bitmapHeader.biPlanes = 1;
    bitmapHeader.biBitCount = 32;
    bitmapHeader.biCompression = BI_RGB;
    bitmapHeader.biSizeImage = static_cast<DWORD>(stride) * static_cast<DWORD>(rows);

    windowDC = GetDC(window);
    dibSection = CreateDIBSection(windowDC, GetBitmapInfo(), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!dibSection || !pixels) {
        if (dibSection)
            DeleteObject(dibSection);
        ReleaseDC(window, windowDC);
        windowDC = nullptr;
        dibSection = nullptr;
        pixels = nullptr;
        bytesPerPixel = stride = bitCount = pitch = 0;
        return -1;
    }
    memDC = CreateCompatibleDC(windowDC);
    previousBitmap = SelectObject(memDC, dibSection);
    flags |= 1;

    // Without its row table the surface cannot address a pixel, so it must not stay created.
    rowTable = static_cast<DWORD**>(MemAlloc(static_cast<DWORD>(rows) * sizeof(DWORD*)));
    if (!rowTable || !memDC) {
        Destroy();
        return -1;
    }
    BYTE* const base = static_cast<BYTE*>(pixels);
    for (int y = 0; y < rows; ++y) {
        const int memoryRow = newHeight < 0 ? y : static_cast<int>(rows) - 1 - y;
        rowTable[y] = reinterpret_cast<DWORD*>(base + memoryRow * stride);
    }
    // Width and height become visible only now, so that PixelPtr never sees a size without rows.
    width = newWidth;
    height = static_cast<int>(rows);
    return 0;
}

void CDIBSurface::Destroy()
{
    if (!(flags & 1))
        return;
    if (memDC)
        SelectObject(memDC, previousBitmap);
    ReleaseDC(window, windowDC);
    DeleteObject(dibSection);
    if (memDC)
        DeleteDC(memDC);
    MemFree(rowTable);
    rowTable = nullptr;
    flags = 0;
    memDC = nullptr;
    previousBitmap = nullptr;
    windowDC = nullptr;
    pixels = nullptr;
    dibSection = nullptr;
    bitCount = height = width = stride = bytesPerPixel = pitch = 0;
}
