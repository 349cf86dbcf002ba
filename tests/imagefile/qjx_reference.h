// The QJX format read one pixel at a time, as plainly as possible, and the check that the saver's
// decoder agrees with it; shared by the unit tests and the fuzzer.
#pragma once

#include <cstring>
#include <vector>

#include "imagefile/qjx_decode.h"

// pixelCount 32-bit pixels 0x00RRGGBB into out; 0, or -1 for a stream the format does not allow.
inline int ReferenceDecode(uint8_t* out, const uint8_t* in, size_t inSize, uint32_t pixelCount)
{
    size_t ip = 0;
    for (uint32_t op = 0, mask = 0, flags = 0; op < pixelCount; mask >>= 1) {
        if (mask == 0 && ip < inSize) flags = in[ip++], mask = 0x80;
        if (mask == 0 || inSize - ip < (flags & mask ? 3u : 2u)) return -1;
        if (flags & mask) {
            const uint8_t pixel[4] = {in[ip], in[ip + 1], in[ip + 2], 0};
            std::memcpy(out + 4 * size_t(op++), pixel, 4);
            ip += 3;
            continue;
        }
        const uint32_t w = in[ip] | in[ip + 1] << 8, length = (w & 15) + 1, distance = (w >> 4) + 1;
        ip += 2;
        if (distance > op || length > pixelCount - op) return -1;
        for (uint32_t k = 0; k < length; ++k, ++op)
            std::memcpy(out + 4 * size_t(op), out + 4 * size_t(op - distance), 4);
    }
    return 0;
}

// Both decoders into exact-size buffers (the sanitizers see a stray byte); false when they disagree.
inline bool DecodeBoth(const uint8_t* in, size_t inSize, uint32_t pixelCount, std::vector<uint32_t>* picture,
                       int* result)
{
    std::vector<uint32_t> plain(pixelCount);
    picture->assign(pixelCount, 0);
    *result = QjxDecode(reinterpret_cast<uint8_t*>(picture->data()), in, inSize, pixelCount);
    const int expected = ReferenceDecode(reinterpret_cast<uint8_t*>(plain.data()), in, inSize, pixelCount);
    if (*result != 0) picture->clear();
    return *result == expected && (expected != 0 || *picture == plain);
}
