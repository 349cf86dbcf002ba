// Windows BMP reading: every size is checked in 64-bit arithmetic before a byte of the rows is read.
#include "imagefile/bmp_read.h"

#include <cstring>

namespace {

inline uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
inline void Store(uint8_t* out, int32_t x, uint32_t v) { std::memcpy(out + 4 * size_t(x), &v, 4); }
inline uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Stored row length, padded to 4 bytes.
uint64_t RowBytes(int bitCount, uint64_t width)
{
    switch (bitCount) {
    case 4: return (width + 7) / 8 * 4;
    case 8: return (width + 3) & ~uint64_t(3);
    case 24: return (3 * width + 3) & ~uint64_t(3);
    case 32: return 4 * width;
    default: return 0;
    }
}

}  // namespace

int BmpReadLayout(const uint8_t* file, size_t fileSize, BmpLayout* layout)
{
    const uint64_t size = fileSize;
    if (size < kBmpFileHeaderSize + kBmpInfoHeaderSize) return -1;
    if (file[0] != 'B' || file[1] != 'M') return -1;
    const uint64_t offBits = U32(file + 10);
    const uint64_t infoSize = U32(file + 14);
    const int32_t width = int32_t(U32(file + 18));
    const int32_t storedHeight = int32_t(U32(file + 22));
    const int bitCount = U16(file + 28);
    const uint32_t clrUsed = U32(file + 46);

    // Smaller info headers (the old 12-byte core header) keep their fields elsewhere.
    if (infoSize < kBmpInfoHeaderSize) return -1;
    if (width <= 0 || storedHeight == 0 || storedHeight == INT32_MIN) return -1;
    if (bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return -1;
    const uint64_t height = storedHeight < 0 ? uint64_t(-int64_t(storedHeight)) : uint64_t(storedHeight);
    if (uint64_t(width) * height > kBmpMaxPixels) return -1;

    const uint64_t tableOffset = kBmpFileHeaderSize + infoSize;
    uint64_t colors = 0;
    if (bitCount <= 8) {
        const uint64_t full = uint64_t(1) << bitCount;
        if (clrUsed > full) return -1;
        colors = clrUsed == 0 ? full : clrUsed;
        if (tableOffset + colors * 4 > size) return -1;
    }
    const uint64_t rowBytes = RowBytes(bitCount, uint64_t(width));
    if (offBits < tableOffset) return -1;
    if (offBits > size || rowBytes * height > size - offBits) return -1;

    layout->width = width;
    layout->height = int32_t(height);
    layout->storedHeight = storedHeight;
    layout->bitCount = bitCount;
    layout->colorCount = uint32_t(colors);
    layout->tableOffset = size_t(tableOffset);
    layout->pixelOffset = size_t(offBits);
    layout->rowBytes = size_t(rowBytes);
    return 0;
}

void BmpMakeColorTable(const BmpLayout& layout, const uint8_t* file, const void* palette, uint32_t* table)
{
    if (palette) {
        std::memcpy(table, palette, 256 * sizeof(uint32_t));
        return;
    }
    std::memset(table, 0, 256 * sizeof(uint32_t));
    for (uint32_t i = 0; i < layout.colorCount; ++i) table[i] = U32(file + layout.tableOffset + 4 * i);
}

const uint8_t* BmpStoredRow(const BmpLayout& layout, const uint8_t* file, int32_t y)
{
    const size_t stored = layout.storedHeight < 0 ? size_t(y) : size_t(layout.height - 1 - y);
    return file + layout.pixelOffset + stored * layout.rowBytes;
}

void BmpConvertRow(const BmpLayout& layout, const uint8_t* row, const uint32_t* table, void* destination)
{
    uint8_t* out = static_cast<uint8_t*>(destination);
    const int32_t width = layout.width;
    switch (layout.bitCount) {
    case 4:
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t b = row[x >> 1];
            Store(out, x, table[(x & 1) ? (b & 0x0F) : (b >> 4)] & 0x00FFFFFFu);
        }
        break;
    case 8:
        for (int32_t x = 0; x < width; ++x) Store(out, x, table[row[x]] & 0x00FFFFFFu);
        break;
    case 24:
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + 3 * size_t(x);
            Store(out, x, uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16);
        }
        break;
    case 32:
        std::memcpy(out, row, 4 * size_t(width));
        break;
    default:
        break;
    }
}

int BmpDecode(const uint8_t* file, size_t fileSize, const void* palette, uint32_t* table,
              uint32_t* pixels, size_t pixelCapacity)
{
    BmpLayout layout;
    if (BmpReadLayout(file, fileSize, &layout) != 0) return -1;
    if (uint64_t(layout.width) * uint64_t(layout.height) > pixelCapacity) return -1;
    BmpMakeColorTable(layout, file, palette, table);
    for (int32_t y = 0; y < layout.height; ++y)
        BmpConvertRow(layout, BmpStoredRow(layout, file, y), table, pixels + size_t(y) * size_t(layout.width));
    return 0;
}
