// Fuzzes the JPEG reader: any bytes, at the scale the last byte picks, decode into exactly the size they
// claim or are refused, never touching memory outside the file.
#include <cstdlib>

#include "tools/slidetool/jpeg_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0, claimedWidth = 0, claimedHeight = 0;
    const int shift = size ? data[size - 1] & 3 : 0;
    if (JpegDecode(data, size, shift, &pixels, &width, &height) != 0) return 0;
    const bool claimed = JpegReadSize(data, size, &claimedWidth, &claimedHeight) == 0;
    if (!claimed || width != (claimedWidth + (1 << shift) - 1) >> shift) __builtin_trap();
    if (height != (claimedHeight + (1 << shift) - 1) >> shift) __builtin_trap();
    pixels[size_t(width) * size_t(height) - 1] |= 1;  // the whole picture is there
    std::free(pixels);
    return 0;
}
