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

template <typename Proc>
Proc Find(HMODULE library, const char* name)
{
    return library ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// The picture's bitmap as 32-bit pixels, top row first.
int ReadBitmap(IPicture* picture, uint32_t** pixels, int32_t* width, int32_t* height, const char** reason)
{
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) {
        *reason = "the system reads it as something other than a bitmap (an icon or a metafile)";
        return -1;
    }
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP shape;
    if (GetObjectA(bitmap, sizeof shape, &shape) == 0 || shape.bmWidth < 1 || shape.bmHeight < 1) {
        *reason = "the system gave no picture";
        return -1;
    }
    // The same ceiling as for BMP files: the picture and its working copies must fit in memory.
    if (uint64_t(shape.bmWidth) * uint64_t(shape.bmHeight) > kBmpMaxPixels) {
        *reason = "too large";
        return -1;
    }
    uint32_t* out = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * size_t(shape.bmWidth) * size_t(shape.bmHeight)));
    if (!out) {
        *reason = "out of memory";
        return -1;
    }
    BITMAPINFO format;
    std::memset(&format, 0, sizeof format);
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = shape.bmWidth;
    format.bmiHeader.biHeight = -shape.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, UINT(shape.bmHeight), out, &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != shape.bmHeight) {
        std::free(out);
        *reason = "the system could not hand over its pixels";
        return -1;
    }
    for (size_t i = 0; i < size_t(shape.bmWidth) * size_t(shape.bmHeight); ++i) out[i] &= 0xFFFFFF;
    *pixels = out;
    *width = shape.bmWidth;
    *height = shape.bmHeight;
    return 0;
}

}  // namespace

int SystemPictureRead(const uint8_t* file, size_t size, uint32_t** pixels, int32_t* width, int32_t* height,
                      const char** reason)
{
    HMODULE ole = LoadLibraryA("ole32.dll");
    HMODULE automation = LoadLibraryA("oleaut32.dll");
    OleLoadPictureProc loadPicture = Find<OleLoadPictureProc>(automation, "OleLoadPicture");
    HMODULE older = nullptr;
    if (!loadPicture) {
        // Windows 95 before the later OLE updates keeps the picture loader in OLEPRO32.DLL.
        older = LoadLibraryA("olepro32.dll");
        loadPicture = Find<OleLoadPictureProc>(older, "OleLoadPicture");
    }
    CoInitializeProc coInitialize = Find<CoInitializeProc>(ole, "CoInitialize");
    CoUninitializeProc coUninitialize = Find<CoUninitializeProc>(ole, "CoUninitialize");
    CreateStreamOnHGlobalProc createStream = Find<CreateStreamOnHGlobalProc>(ole, "CreateStreamOnHGlobal");
    int result = -1;
    if (!loadPicture || !coInitialize || !coUninitialize || !createStream) {
        *reason = "this system has no picture loader (OleLoadPicture in OLEAUT32.DLL or OLEPRO32.DLL)";
    } else if (size > 0x7FFFFFFF) {
        *reason = "too large";
    } else {
        const bool initialised = SUCCEEDED(coInitialize(nullptr));
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
        void* bytes = block ? GlobalLock(block) : nullptr;
        IStream* stream = nullptr;
        if (!bytes) {
            *reason = "out of memory";
            if (block) GlobalFree(block);
        } else {
            std::memcpy(bytes, file, size);
            GlobalUnlock(block);
            if (FAILED(createStream(block, TRUE, &stream))) {  // the stream frees the block from here on
                GlobalFree(block);
                stream = nullptr;
                *reason = "out of memory";
            }
        }
        IPicture* picture = nullptr;
        if (stream && FAILED(loadPicture(stream, LONG(size), FALSE, kIidPicture, reinterpret_cast<void**>(&picture)))) {
            picture = nullptr;
            *reason = "the system's picture loader does not read it (a format this system lacks, or a damaged file)";
        }
        if (picture) {
            result = ReadBitmap(picture, pixels, width, height, reason);
            picture->Release();
        }
        if (stream) stream->Release();
        if (initialised) coUninitialize();
    }
    if (older) FreeLibrary(older);
    if (automation) FreeLibrary(automation);
    if (ole) FreeLibrary(ole);
    return result;
}
