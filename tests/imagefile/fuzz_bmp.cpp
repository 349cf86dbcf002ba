// Fuzzes BMP reading: an accepted file converts whole, with and without a palette, into exactly its size.
#include <cstdlib>
#include <initializer_list>

#include "imagefile/bmp_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmpLayout layout;
    if (BmpReadLayout(data, size, &layout) != 0) return 0;
    const size_t count = size_t(layout.width) * size_t(layout.height);
    uint32_t* pixels = static_cast<uint32_t*>(std::malloc(count * sizeof(uint32_t)));
    uint32_t table[256], palette[256] = {0xFFFFFFFF};
    for (const uint32_t* p : {static_cast<uint32_t*>(nullptr), palette})
        if (BmpDecode(data, size, p, table, pixels, count) != 0) __builtin_trap();
    for (size_t i = 0; layout.bitCount != 32 && i < count; ++i)
        if (pixels[i] >> 24) __builtin_trap();
    std::free(pixels);
    return 0;
}
