// CDIBSurface: a 32-bit drawing surface held in a DIB section that stays selected into a memory DC,
// so the same pixels can be written by the software routines and handed to GDI.
#pragma once

#include <windows.h>

// A pixel is the 32-bit value 0x00RRGGBB (bytes blue, green, red, fourth byte); pixel (0, 0) is the
// top-left one whatever the memory order of the rows. Colours, keys and fill values use that form.
// Final, yet every operation is virtual: the table of 34 operations, in this order, is the surface as
// its callers know it, kept whole even where nothing in this program calls an operation.
class CDIBSurface final {
public:
    explicit CDIBSurface(HWND window);  // makes no GDI object; counts the instance
    ~CDIBSurface();                     // uncounts the instance, then Destroy

    // Table of operations, in this order (slots 0 to 33).
    virtual HWND GetWnd() { return window; }
    virtual HDC GetMemDC() { return memDC; }
    virtual int GetWidth() { return width; }
    virtual int GetHeight() { return height; }  // never negative
    virtual int GetStride() { return stride; }  // bytes per row
    virtual int GetPitch() { return pitch; }  // row y to row y + 1 in memory: +stride top-down, -stride bottom-up
    virtual RGBQUAD* GetColorTable() { return colorTable; }  // 256 entries, directly behind the bitmap header
    virtual int GetBitCount() { return bitCount; }
    virtual BITMAPINFO* GetBitmapInfo() { return reinterpret_cast<BITMAPINFO*>(&bitmapHeader); }
    virtual void* GetBits() { return pixels; }
    virtual DWORD* PixelPtr(int x, int y);   // null outside the surface (and on a surface not created)
    virtual DWORD** GetRowTable() { return rowTable; }  // entry y = first pixel of row y
    virtual int Create(int width, int height);  // negative height: top-down rows
    virtual void Destroy();
    virtual int ClipCopy(int* dx, int* dy, CDIBSurface* source, int* sx, int* sy, int* w, int* h);
    virtual void StretchKeyed(int dx, int dy, int dw, int dh, CDIBSurface* source,
                              int sx, int sy, int sw, int sh, DWORD key);
    virtual int StretchFrom(const RECT* destination, CDIBSurface* source, const RECT* sourceRect, int flags);
    virtual void CopyKeyed(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, DWORD key);
    virtual int BltFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int flags);
    virtual int CopyFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h);
    virtual int BlendFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode, int level);
    virtual int CopyChannel(int dx, int dy, int destinationChannel, CDIBSurface* source,
                            int sx, int sy, int w, int h, int sourceChannel);
    virtual int AlphaFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h);
    virtual int FadeFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int weight);
    virtual int AddFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h);
    virtual int ClipRect(int* x, int* y, int* w, int* h);
    virtual int Fill(int x, int y, int w, int h, DWORD colour);
    virtual int BlendColor(int x, int y, int w, int h, DWORD colour, int mode, int level);
    virtual int AddColor(int x, int y, int w, int h, DWORD colour);
    virtual int AverageColor(int x, int y, int w, int h, DWORD colour);
    virtual int SetChannel(int channel, int x, int y, int w, int h, int value);
    virtual int Darken(int x, int y, int w, int h, int level);
    virtual int LoadImageFile(const char* path, const RGBQUAD* palette);  // palette may be null
    virtual int LoadQjx(const char* path);

    static int InstanceCount() { return instanceCount; }  // live surfaces of the whole program
    // Shared by every surface, built with the first and released with the last (null if allocation
    // failed): scaleTable[level * 256 + v] = level * v / 255; signedScaleTable[level * 512 + 256 + d] =
    // level * d / 255 truncated toward zero, for d in -255..255, as a byte to add modulo 256.
    static BYTE* scaleTable;
    static BYTE* signedScaleTable;

private:
    CDIBSurface(const CDIBSurface&) = delete;
    CDIBSurface& operator=(const CDIBSurface&) = delete;
    // D = f(D) for every pixel of a clipped rectangle, rows last to first, pixels left to right.
    template <class F>
    void EachPixel(int x, int y, int w, int h, F f)
    {
        for (int r = h - 1; r >= 0; --r)
            for (DWORD *p = PixelPtr(x, y + r), *end = p + w; p != end; ++p) *p = f(*p);
    }

    DWORD flags;              // bit 0: a DIB section exists
    HWND window;              // kept by Destroy, so the surface can be created again
    HDC windowDC;             // held from Create to Destroy
    HGDIOBJ previousBitmap;   // what the memory DC held before the DIB section
    HDC memDC;
    HBITMAP dibSection;
    void* pixels;
    int width, height;        // height: rows, never negative
    int bitCount, pitch, bytesPerPixel, stride;
    DWORD** rowTable;         // MemAlloc block, one entry per row
    BITMAPINFOHEADER bitmapHeader;
    RGBQUAD colorTable[256];  // must follow the header: together they are one BITMAPINFO

    static int instanceCount;
};

// Blend kernels selected by the mode of BlendFrom and BlendColor.
enum { kBlendMix = 0, kBlendAdd = 1, kBlendSubtract = 2 };

// A pixel made of f(d, s, shift) for the bytes of d and s at shift 0, 8, ... (Bytes of them; a fourth
// byte left out is 0), each result a value 0..255.
template <int Bytes, class F>
inline DWORD PerByte(DWORD d, DWORD s, F f)
{
    DWORD result = 0;
    for (int shift = 0; shift < 8 * Bytes; shift += 8)
        result |= static_cast<DWORD>(f(static_cast<int>((d >> shift) & 0xFF), static_cast<int>((s >> shift) & 0xFF),
                                       shift)) << shift;
    return result;
}
