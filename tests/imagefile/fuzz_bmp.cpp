// Fuzzes BMP reading: the layout check, the colour table and every row, with and without a palette.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imagefile/bmp_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmpLayout layout;
    if (BmpReadLayout(data, size, &layout) != 0) return 0;
    const size_t count = size_t(layout.width) * size_t(layout.height);
    uint32_t* pixels = static_cast<uint32_t*>(std::malloc(count * sizeof(uint32_t)));
    uint32_t table[256];
    uint32_t palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = uint32_t(i) * 0x01010101u;
    if (BmpDecode(data, size, nullptr, table, pixels, count) != 0) __builtin_trap();
    if (BmpDecode(data, size, palette, table, pixels, count) != 0) __builtin_trap();
    if (layout.bitCount != 32)
        for (size_t i = 0; i < count; ++i)
            if (pixels[i] >> 24) __builtin_trap();
    std::free(pixels);
    return 0;
}
