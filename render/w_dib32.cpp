// CDIBSurface: construction, the DIB section's creation and release, accessors and pixel addressing,
// and the scale tables that all surfaces share.
#include "render/w_dib32.h"

#include "imagefile/mem_alloc.h"

int CDIBSurface::instanceCount = 0;
BYTE* CDIBSurface::scaleTable = nullptr;
BYTE* CDIBSurface::signedScaleTable = nullptr;

namespace {

// level x v / 255 for every level and byte: the blends and Darken look it up instead of dividing.
void BuildScaleTables()
{
    BYTE* scale = CDIBSurface::scaleTable = static_cast<BYTE*>(MemAlloc(0x10000));
    if (!scale) return;
    for (int level = 0; level < 256; ++level)
        for (int v = 0; v < 256; ++v) scale[level * 256 + v] = static_cast<BYTE>(level * v / 255);
    BYTE* signedScale = CDIBSurface::signedScaleTable = static_cast<BYTE*>(MemAlloc(0x20000));
    if (!signedScale) return;
    for (int level = 0; level < 256; ++level) {
        BYTE* row = signedScale + level * 512 + 256;
        for (int d = 0; d < 256; ++d) row[d] = scale[level * 256 + d];
        for (int d = 1; d < 256; ++d) row[-d] = static_cast<BYTE>(-row[d]);
    }
}

void ReleaseScaleTables()
{
    MemFree(CDIBSurface::scaleTable);
    MemFree(CDIBSurface::signedScaleTable);
    CDIBSurface::scaleTable = CDIBSurface::signedScaleTable = nullptr;
}

}  // namespace

CDIBSurface::CDIBSurface(HWND window_)
    : flags(0), window(window_), windowDC(nullptr), previousBitmap(nullptr), memDC(nullptr), dibSection(nullptr),
      pixels(nullptr), width(0), height(0), bitCount(0), pitch(0), bytesPerPixel(0), stride(0), rowTable(nullptr),
      bitmapHeader(), colorTable()
{
    if (++instanceCount == 1) BuildScaleTables();
}

CDIBSurface::~CDIBSurface()
{
    if (--instanceCount == 0) ReleaseScaleTables();
    Destroy();
}

// Width and height are 0 on a surface that is not created, so this also covers that case.
DWORD* CDIBSurface::PixelPtr(int x, int y)
{
    return x < 0 || y < 0 || x >= width || y >= height ? nullptr : rowTable[y] + x;
}

int CDIBSurface::Create(int newWidth, int newHeight)
{
    if (!window) return -1;
    // Sizes whose pixel memory would not fit a signed 32-bit byte count are refused before anything
    // changes; stride and row addresses are 32-bit values.
    const long long rows = newHeight < 0 ? -static_cast<long long>(newHeight) : newHeight;
    if (newWidth <= 0 || rows == 0 || static_cast<long long>(newWidth) * 4 * rows > 0x7FFFFFFF) return -1;
    if (flags & 1) Destroy();

    const DWORD bytes = static_cast<DWORD>(newWidth) * 4 * static_cast<DWORD>(rows);
    bitmapHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), newWidth, newHeight, 1, 32, BI_RGB, bytes, 0, 0, 0, 0};

    pixels = nullptr;
    windowDC = GetDC(window);
    dibSection = CreateDIBSection(windowDC, GetBitmapInfo(), DIB_RGB_COLORS, &pixels, nullptr, 0);
    memDC = dibSection && pixels ? CreateCompatibleDC(windowDC) : nullptr;
    if (memDC) previousBitmap = SelectObject(memDC, dibSection);
    flags |= 1;
    // Without its row table the surface cannot address a pixel, so it must not stay created.
    rowTable = memDC ? static_cast<DWORD**>(MemAlloc(static_cast<DWORD>(rows) * sizeof(DWORD*))) : nullptr;
    if (!rowTable) {
        Destroy();
        return -1;
    }
    bytesPerPixel = 4;
    stride = newWidth * 4;
    bitCount = 32;
    pitch = newHeight < 0 ? stride : -stride;
    for (int y = 0; y < rows; ++y)
        rowTable[y] = reinterpret_cast<DWORD*>(static_cast<BYTE*>(pixels) +
                                               (newHeight < 0 ? y : static_cast<int>(rows) - 1 - y) * stride);
    // Width and height become visible only now, so that PixelPtr never sees a size without rows.
    width = newWidth;
    height = static_cast<int>(rows);
    return 0;
}

void CDIBSurface::Destroy()
{
    if (!(flags & 1)) return;
    if (memDC) SelectObject(memDC, previousBitmap);
    ReleaseDC(window, windowDC);
    if (dibSection) DeleteObject(dibSection);
    if (memDC) DeleteDC(memDC);
    MemFree(rowTable);
    rowTable = nullptr;
    memDC = windowDC = nullptr;
    previousBitmap = dibSection = nullptr;
    pixels = nullptr;
    flags = 0;
    bitCount = height = width = stride = bytesPerPixel = pitch = 0;
}
