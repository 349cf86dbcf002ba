// Pictures in the formats Windows itself reads (JPEG, PNG, GIF where the system has them), through
// the system's OLE picture loader, handed to the fitting a row at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/slidetool/picture_fit.h"

struct IPicture;
struct HBITMAP__;
struct HDC__;

// The loader's libraries and COM, taken once for a whole run of pictures.
class SystemPictureLoader {
public:
    SystemPictureLoader();
    ~SystemPictureLoader();
    // Null when the system has none, with reason saying so.
    const char* missing = nullptr;

private:
    friend class SystemPicture;
    void* ole = nullptr;
    void* automation = nullptr;
    void* older = nullptr;
    void* loadPicture = nullptr;
    void* createStream = nullptr;
    bool initialised = false;
};

// One decoded picture. Its rows are read where the system keeps them when it keeps a 32-bit DIB
// section, and otherwise fetched from the bitmap in bands, so no second copy of the picture is made.
class SystemPicture : public PictureRows {
public:
    ~SystemPicture();
    // Decodes a whole picture file held in memory. Returns 0, or -1 with *reason saying why in a few words.
    int Read(SystemPictureLoader& loader, const uint8_t* file, size_t size, const char** reason);
    const uint32_t* Row(int32_t y) override;
    int32_t width = 0, height = 0;

private:
    IPicture* picture = nullptr;
    HBITMAP__* bitmap = nullptr;
    HDC__* screen = nullptr;
    const uint8_t* bits = nullptr;  // a top-down or bottom-up DIB section's first stored row
    ptrdiff_t pitch = 0;
    uint32_t* band = nullptr;  // bandCount rows from bandFirst on, from GetDIBits, the lowest first
    int32_t bandFirst = 0, bandCount = 0, bandRows = 0;
};
