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

}  // namespace

int CDIBSurface::LoadImageFile(const char* path, const RGBQUAD* palette)
{
    CFS file;
    if (file.Open(path, "rb") != 0) return -1;
    uint8_t head[kBmpFileHeaderSize];
    if (file.Seek(0, 0) != 0 || file.Read(head, 2) != 2) {
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
    if (Create(layout.width, layout.storedHeight) != 0) {
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
    CFS file;
    if (file.Open(path, "rb") != 0) return -1;
    uint8_t magic[2];
    if (file.Seek(0, 0) != 0 || file.Read(magic, 2) != 2 || magic[0] != kQjxMagic0 || magic[1] != kQjxMagic1) {
        file.Close();
        return -1;
    }
    size_t size = 0;
    uint8_t* bytes = ReadRest(file, 0, &size);
    file.Close();
    if (!bytes) return -1;

    // Four spare bytes let the row conversion read whole 32-bit words.
    uint8_t* decoded = static_cast<uint8_t*>(std::malloc(kQjxDecodedSize + 4));
    if (!decoded || QjxDecodeFile(bytes, size, decoded) != 0) {
        std::free(decoded);
        std::free(bytes);
        return -1;
    }
    std::free(bytes);
    decoded[kQjxDecodedSize] = 0;
    if (Create(kQjxWidth, kQjxHeight) != 0) {
        std::free(decoded);
        return -1;
    }
    for (int y = 0; y < kQjxHeight; ++y) QjxConvertRow(PixelPtr(0, y), decoded + size_t(y) * kQjxRowBytes);
    std::free(decoded);
    return 0;
}
