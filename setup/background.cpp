// The main dialog's picture, kept locked in the module while the dialog is open.
#include "setup/background.h"

namespace {

const BITMAPINFO* gPicture;

// The pixels follow the header directly, so only an uncompressed 24-bit picture without colour table
// of the expected size can be painted from the resource data.
bool Usable(const BITMAPINFOHEADER& header, DWORD size)
{
    const DWORD stride = (kBackgroundWidth * 3 + 3) & ~3u;
    return size >= sizeof header + stride * kBackgroundHeight && header.biSize == sizeof header &&
           header.biWidth == kBackgroundWidth && header.biHeight == kBackgroundHeight && header.biPlanes == 1 &&
           header.biBitCount == 24 && header.biCompression == BI_RGB && header.biClrUsed == 0;
}

}  // namespace

bool LoadBackground(HINSTANCE instance)
{
    gPicture = nullptr;
    HRSRC found = FindResourceA(instance, "BACKCG", MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (found == nullptr) return false;
    HGLOBAL loaded = LoadResource(instance, found);
    if (loaded == nullptr) return false;
    const BITMAPINFO* picture = static_cast<const BITMAPINFO*>(LockResource(loaded));
    if (picture == nullptr || !Usable(picture->bmiHeader, SizeofResource(instance, found))) return false;
    gPicture = picture;
    return true;
}

void PaintBackground(HDC dc)
{
    if (gPicture == nullptr) return;
    const BYTE* pixels = reinterpret_cast<const BYTE*>(gPicture) + gPicture->bmiHeader.biSize;
    StretchDIBits(dc, 0, 0, kBackgroundWidth, kBackgroundHeight, 0, 0, kBackgroundWidth, kBackgroundHeight, pixels,
                  gPicture, DIB_RGB_COLORS, SRCCOPY);
}

// Resource data belongs to the module; there is nothing to free on 32-bit Windows.
void ReleaseBackground() { gPicture = nullptr; }
