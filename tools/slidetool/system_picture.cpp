// The system's picture loader (OleLoadPicture, IPicture). OLE is loaded by name at run time, as the
// installer does, so that slidetool imports only what every Windows 95 system has; a system without
// the loader, or without a format, is told apart from a broken file.
#include "tools/slidetool/system_picture.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdlib>
#include <cstring>

#include "imagefile/bmp_read.h"

namespace {

typedef HRESULT(WINAPI* CoInitializeProc)(LPVOID);
typedef void(WINAPI* CoUninitializeProc)();
typedef HRESULT(WINAPI* CreateStreamOnHGlobalProc)(HGLOBAL, BOOL, LPSTREAM*);
typedef HRESULT(WINAPI* OleLoadPictureProc)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

// IID_IPicture, written out so that nothing beyond the system DLLs is linked for it.
const IID kIidPicture = {0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

// Rows fetched at a time from a bitmap that is not a DIB section: a few hundred kilobytes.
constexpr int32_t kBandBytes = 1 << 18;

void* Find(void* library, const char* name)
{
    return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

}  // namespace

SystemPictureLoader::SystemPictureLoader()
{
    ole = LoadLibraryA("ole32.dll");
    automation = LoadLibraryA("oleaut32.dll");
    loadPicture = Find(automation, "OleLoadPicture");
    if (!loadPicture) {
        // Windows 95 before the later OLE updates keeps the picture loader in OLEPRO32.DLL.
        older = LoadLibraryA("olepro32.dll");
        loadPicture = Find(older, "OleLoadPicture");
    }
    createStream = Find(ole, "CreateStreamOnHGlobal");
    const CoInitializeProc coInitialize = reinterpret_cast<CoInitializeProc>(Find(ole, "CoInitialize"));
    if (!loadPicture || !createStream || !coInitialize || !Find(ole, "CoUninitialize"))
        missing = "this system has no picture loader (OleLoadPicture in OLEAUT32.DLL or OLEPRO32.DLL)";
    else
        initialised = SUCCEEDED(coInitialize(nullptr));
}

SystemPictureLoader::~SystemPictureLoader()
{
    if (initialised) reinterpret_cast<CoUninitializeProc>(Find(ole, "CoUninitialize"))();
    if (older) FreeLibrary(static_cast<HMODULE>(older));
    if (automation) FreeLibrary(static_cast<HMODULE>(automation));
    if (ole) FreeLibrary(static_cast<HMODULE>(ole));
}

SystemPicture::~SystemPicture()
{
    std::free(band);
    if (screen) ReleaseDC(nullptr, screen);
    if (picture) picture->Release();
}

int SystemPicture::Read(SystemPictureLoader& loader, const uint8_t* file, size_t size, const char** reason)
{
    if (loader.missing) {
        *reason = loader.missing;
        return -1;
    }
    if (size > 0x7FFFFFFF) {
        *reason = "too large";
        return -1;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    void* bytes = block ? GlobalLock(block) : nullptr;
    IStream* stream = nullptr;
    if (bytes) {
        std::memcpy(bytes, file, size);
        GlobalUnlock(block);
    }
    // From here on the stream frees the block.
    if (!bytes || FAILED(reinterpret_cast<CreateStreamOnHGlobalProc>(loader.createStream)(block, TRUE, &stream))) {
        if (block) GlobalFree(block);
        *reason = "out of memory";
        return -1;
    }
    const OleLoadPictureProc load = reinterpret_cast<OleLoadPictureProc>(loader.loadPicture);
    const HRESULT loaded = load(stream, LONG(size), FALSE, kIidPicture, reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(loaded)) {
        picture = nullptr;
        *reason = "the system's picture loader does not read it (a format this system lacks, or a damaged file)";
        return -1;
    }
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) {
        *reason = "the system reads it as something other than a bitmap (an icon or a metafile)";
        return -1;
    }
    bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    DIBSECTION shape;
    std::memset(&shape, 0, sizeof shape);
    const int got = GetObjectA(bitmap, sizeof shape, &shape);
    if (got == 0 || shape.dsBm.bmWidth < 1 || shape.dsBm.bmHeight < 1) {
        *reason = "the system gave no picture";
        return -1;
    }
    // The same ceiling as for BMP files.
    if (uint64_t(shape.dsBm.bmWidth) * uint64_t(shape.dsBm.bmHeight) > kBmpMaxPixels) {
        *reason = "too large";
        return -1;
    }
    width = shape.dsBm.bmWidth;
    height = shape.dsBm.bmHeight;
    if (got == sizeof shape && shape.dsBm.bmBits && shape.dsBmih.biBitCount == 32 &&
        shape.dsBmih.biCompression == BI_RGB) {
        pitch = shape.dsBm.bmWidthBytes;
        bits = static_cast<const uint8_t*>(shape.dsBm.bmBits);
        if (shape.dsBmih.biHeight > 0) {  // bottom-up: the top row is stored last
            bits += ptrdiff_t(height - 1) * pitch;
            pitch = -pitch;
        }
        return 0;
    }
    bandRows = kBandBytes / (4 * width) > 0 ? kBandBytes / (4 * width) : 1;
    if (bandRows > height) bandRows = height;
    band = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * size_t(width) * size_t(bandRows)));
    screen = GetDC(nullptr);
    if (!band || !screen) {
        *reason = "out of memory";
        return -1;
    }
    return 0;
}

const uint32_t* SystemPicture::Row(int32_t y)
{
    if (bits) return reinterpret_cast<const uint32_t*>(bits + ptrdiff_t(y) * pitch);
    if (y >= bandFirst + bandCount) {
        bandFirst = y;
        bandCount = height - y < bandRows ? height - y : bandRows;
        BITMAPINFO format;
        std::memset(&format, 0, sizeof format);
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = height;  // bottom-up, where scan lines are counted from the bottom
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        const UINT bottom = UINT(height - y - bandCount);
        if (GetDIBits(screen, bitmap, bottom, UINT(bandCount), band, &format, DIB_RGB_COLORS) != bandCount)
            return nullptr;
    }
    // The band's first stored row is its lowest.
    return band + size_t(bandFirst + bandCount - 1 - y) * size_t(width);
}
