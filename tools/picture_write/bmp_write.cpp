// 24-bit BMP writer: 40-byte info header, no colour table, rows padded to 4 bytes, bottom row first.
#include "tools/picture_write/bmp_write.h"

#include <cstring>

#include "tools/picture_write/bgr_pixels.h"

namespace {

void Put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v) { Put16(p, v); Put16(p + 2, v >> 16); }
size_t RowBytes(int32_t width) { return (size_t(width) * 3 + 3) & ~size_t(3); }

}  // namespace

size_t BmpFileSize24(int32_t width, int32_t height) { return 54 + RowBytes(width) * size_t(height); }

void BmpWrite24(const uint32_t* pixels, int32_t width, int32_t height, uint8_t* out)
{
    const size_t total = BmpFileSize24(width, height);
    const size_t rowBytes = RowBytes(width);
    std::memset(out, 0, 54);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, uint32_t(total));
    Put32(out + 10, 54);
    Put32(out + 14, 40);
    Put32(out + 18, uint32_t(width));
    Put32(out + 22, uint32_t(height));
    Put16(out + 26, 1);
    Put16(out + 28, 24);
    Put32(out + 34, uint32_t(rowBytes * size_t(height)));
    Put32(out + 38, 2835);  // 72 dots per inch
    Put32(out + 42, 2835);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = out + 54 + size_t(height - 1 - y) * rowBytes;
        PackBgr(pixels + size_t(y) * size_t(width), size_t(width), row);
        std::memset(row + 3 * size_t(width), 0, rowBytes - 3 * size_t(width));
    }
}
