// Packing 32-bit pixels into the writers' three-byte order.
#include "tools/picture_write/bgr_pixels.h"

void PackBgr(const uint32_t* pixels, size_t count, uint8_t* out)
{
    for (size_t i = 0; i < count; ++i) {
        out[3 * i] = uint8_t(pixels[i]);
        out[3 * i + 1] = uint8_t(pixels[i] >> 8);
        out[3 * i + 2] = uint8_t(pixels[i] >> 16);
    }
}
