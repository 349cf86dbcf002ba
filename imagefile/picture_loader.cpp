// The surface's picture loaders: a QJX slide or a BMP file is read whole through CFS, checked and
// decoded by the portable readers, and only then put into the surface, so a bad file leaves it as it was.
#include "render/w_dib32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imagefile/bmp_read.h"
#include "imagefile/cfs.h"
#include "imagefile/qjx_decode.h"

namespace {

// The rest of an open file from offset `from` in one heap block; null when it cannot be read whole.
uint8_t* ReadRest(CFS& file, LONG from, size_t* size)
{
    const LONG total = file.GetSize();
    if (total < from) return nullptr;
    const size_t count = size_t(total - from);
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(count ? count : 1));
    if (!buffer) return nullptr;
    if (file.Seek(from, 0) != from || file.Read(buffer, int(count)) != int(count)) {
        std::free(buffer);
        return nullptr;
    }
    *size = count;
    return buffer;
}

// Create, or keep the DIB section the surface already has when its size and row order are the ones
// asked for: every picture is written whole, and touching the pages of a fresh section costs more
// than decoding a slide (the director loads every slide into the same 640 by 480 slot).
int Prepare(CDIBSurface& surface, int width, int height)
{
    const int rows = height < 0 ? -height : height;
    if (surface.GetBits() && surface.GetWidth() == width && surface.GetHeight() == rows &&
        (surface.GetPitch() > 0) == (height < 0))
        return 0;
    return surface.Create(width, height);
}

}  // namespace

int CDIBSurface::LoadImageFile(const char* path, const RGBQUAD* palette)
{
    CFS file;
    if (file.Open(path, "rb") != 0) return -1;
    uint8_t head[2];
    if (file.Read(head, 2) != 2) {
        file.Close();
        return -1;
    }
    if (head[0] == kQjxMagic0 && head[1] == kQjxMagic1) {
        file.Close();
        return LoadQjx(path);
    }
    if (head[0] != 'B' || head[1] != 'M') {
        file.Close();
        return -1;
    }

    size_t size = 0;
    uint8_t* bytes = ReadRest(file, 0, &size);
    file.Close();
    if (!bytes) return -1;
    BmpLayout layout;
    if (BmpReadLayout(bytes, size, &layout) != 0) {
        std::free(bytes);
        return -1;
    }
    uint32_t table[256];
    if (layout.bitCount <= 8) {
        BmpMakeColorTable(layout, bytes, palette, table);
        std::memcpy(GetColorTable(), table, sizeof table);
    }
    // The surface keeps the file's row order; the rows are placed by picture row either way.
    if (Prepare(*this, layout.width, layout.storedHeight) != 0) {
        std::free(bytes);
        return -1;
    }
    for (int y = 0; y < layout.height; ++y) {
        DWORD* row = PixelPtr(0, y);
        if (!row) {
            Destroy();
            std::free(bytes);
            return -1;
        }
        BmpConvertRow(layout, BmpStoredRow(layout, bytes, y), table, row);
    }
    std::free(bytes);
    return 0;
}

int CDIBSurface::LoadQjx(const char* path)
{
    // One read of the whole file from where a fresh open stands (its start): under Wine every file
    // call is a trip to the server, and a slide is small.
    CFS file;
    if (file.Open(path, "rb") != 0) return -1;
    const LONG total = file.GetSize();
    uint8_t* bytes = total >= 2 ? static_cast<uint8_t*>(std::malloc(size_t(total))) : nullptr;
    const bool read = bytes && file.Read(bytes, int(total)) == int(total);
    file.Close();
    if (!read || bytes[0] != kQjxMagic0 || bytes[1] != kQjxMagic1) {
        std::free(bytes);
        return -1;
    }
    const size_t size = size_t(total);
    // A top-down surface holds the picture's rows in file order, one after another, so the stream
    // is decoded straight into it: no second picture-sized buffer and no conversion pass.
    if (QjxCheckHeader(bytes, size) != 0 || Prepare(*this, kQjxWidth, -kQjxHeight) != 0) {
        std::free(bytes);
        return -1;
    }
    uint8_t* pixels = reinterpret_cast<uint8_t*>(PixelPtr(0, 0));
    const bool contiguous = GetPitch() == 4 * kQjxWidth && reinterpret_cast<uint8_t*>(PixelPtr(0, kQjxHeight - 1)) ==
                                                                pixels + size_t(kQjxHeight - 1) * 4 * kQjxWidth;
    const int result = contiguous ? QjxDecodeToPixels(pixels, bytes + kQjxHeaderSize, size - kQjxHeaderSize, kQjxPixelCount) : -1;
    std::free(bytes);
    // A stream found broken on the way leaves no half picture behind.
    if (result != 0) Destroy();
    return result;
}
