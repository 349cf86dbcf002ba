// Fuzzes BMP reading: an accepted file converts whole, with and without a palette, into exactly its size.
#include <vector>

#include "imagefile/bmp_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmpLayout layout;
    if (BmpReadLayout(data, size, &layout) != 0) return 0;
    std::vector<uint32_t> pixels(size_t(layout.width) * size_t(layout.height));
    uint32_t table[256], palette[256] = {0xFFFFFFFF};
    if (BmpDecode(data, size, nullptr, table, pixels.data(), pixels.size()) != 0) __builtin_trap();
    if (BmpDecode(data, size, palette, table, pixels.data(), pixels.size()) != 0) __builtin_trap();
    return 0;
}
