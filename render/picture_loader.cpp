// The surface's picture loaders: a file is read whole, then a QJX slide or a BMP file is put into the
// surface. A file that cannot be read, a slide refused by its header and any refused BMP (its reader
// checks the whole file first) leave the surface as it was; a slide found broken while decoding, or a
// surface that cannot be created, leaves it without a picture, never with half of one.
#include "render/w_dib32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imagefile/bmp_read.h"
#include "imagefile/cfs.h"
#include "imagefile/qjx_decode.h"

namespace {

// The whole file in one heap block, by one Read from where a fresh open stands: under Wine every
// file call is a trip to the server. Null when it cannot be opened or read whole.
uint8_t* ReadWholeFile(const char* path, size_t* size)
{
    CFS file;
    if (file.Open(path, "rb") != 0) return nullptr;
    // A fresh open stands at the start: two seeks find the size where GetSize takes three.
    const LONG total = file.Seek(0, 2);
    if (total < 0 || file.Seek(0, 0) != 0) return nullptr;
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(total > 0 ? size_t(total) : 1));
    if (bytes && file.Read(bytes, int(total)) == int(total)) {
        *size = size_t(total);
        return bytes;
    }
    std::free(bytes);
    return nullptr;
}

// A slide file in memory into the surface. A top-down surface holds the picture's rows in file
// order, one after another, so the stream is decoded straight into it.
int PutSlide(CDIBSurface& surface, const uint8_t* bytes, size_t size)
{
    if (QjxCheckHeader(bytes, size) != 0 || surface.Create(kQjxWidth, -kQjxHeight) != 0) return -1;
    if (QjxDecodeFile(bytes, size, static_cast<uint8_t*>(surface.GetBits())) == 0) return 0;
    surface.Destroy();
    return -1;
}

// A BMP file in memory into the surface, with the colour table it was converted with (4 and 8 bits
// only: 24- and 32-bit pictures leave the table as it was).
int PutBmp(CDIBSurface& surface, const uint8_t* bytes, size_t size, const RGBQUAD* palette)
{
    BmpLayout layout;
    if (BmpReadLayout(bytes, size, &layout) != 0) return -1;
    uint32_t table[256];
    if (layout.bitCount <= 8) {
        BmpMakeColorTable(layout, bytes, palette, table);
        std::memcpy(surface.GetColorTable(), table, sizeof table);
    }
    // The surface keeps the file's row order; the rows are placed by picture row either way.
    if (surface.Create(layout.width, layout.storedHeight) != 0) return -1;
    for (int y = 0; y < layout.height; ++y)
        BmpConvertRow(layout, BmpStoredRow(layout, bytes, y), table, surface.PixelPtr(0, y));
    return 0;
}

// A BMP file (when bmp is true) or a QJX slide, recognised by its first two bytes.
int LoadPicture(CDIBSurface& surface, const char* path, bool bmp, const RGBQUAD* palette)
{
    size_t size = 0;
    uint8_t* bytes = ReadWholeFile(path, &size);
    if (!bytes) return -1;
    int result = -1;
    if (bmp && size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') result = PutBmp(surface, bytes, size, palette);
    if (size >= 2 && bytes[0] == kQjxMagic0 && bytes[1] == kQjxMagic1) result = PutSlide(surface, bytes, size);
    std::free(bytes);
    return result;
}

}  // namespace

int CDIBSurface::LoadImageFile(const char* path, const RGBQUAD* palette)
{
    return LoadPicture(*this, path, true, palette);
}

int CDIBSurface::LoadQjx(const char* path) { return LoadPicture(*this, path, false, nullptr); }
