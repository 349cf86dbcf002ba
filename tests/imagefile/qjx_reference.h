// The QJX format read one pixel at a time, as plainly as possible, and the check that the saver's
// decoder agrees with it; shared by the unit tests and the fuzzer.
#pragma once

#include <cstring>
#include <vector>

#include "imagefile/qjx_decode.h"

// pixelCount 32-bit pixels 0x00RRGGBB into out (zeroed); 0, or -1 for a stream the format does not allow.
inline int ReferenceDecode(uint8_t* out, const uint8_t* in, size_t inSize, uint32_t pixelCount)
{
    size_t ip = 0;
    uint32_t flags = 0;
    for (uint32_t op = 0, item = 0; op < pixelCount; ++item) {
        if (item % 8 == 0 && ip == inSize) return -1;
        if (item % 8 == 0) flags = in[ip++];  // each group of eight items: a flag byte, a set bit a literal
        const bool literal = flags & 0x80 >> item % 8;
        if (inSize - ip < (literal ? 3u : 2u)) return -1;
        if (literal) {
            std::memcpy(out + 4 * size_t(op++), in + ip, 3);
            ip += 3;
            continue;
        }
        const uint32_t w = in[ip] | in[ip + 1] << 8, length = (w & 15) + 1, distance = (w >> 4) + 1;
        ip += 2;
        if (distance > op || length > pixelCount - op) return -1;
        for (uint32_t k = op; k < op + length; ++k) std::memcpy(out + 4 * size_t(k), out + 4 * size_t(k - distance), 4);
        op += length;
    }
    return 0;
}

// Both decoders into exact-size buffers (the sanitizers see a stray byte); false when they disagree.
inline bool DecodeBoth(const uint8_t* in, size_t inSize, uint32_t count, std::vector<uint32_t>* picture, int* result)
{
    std::vector<uint32_t> plain(count);
    picture->assign(count, 0);
    *result = QjxDecode(reinterpret_cast<uint8_t*>(picture->data()), in, inSize, count);
    const int expected = ReferenceDecode(reinterpret_cast<uint8_t*>(plain.data()), in, inSize, count);
    if (*result != 0) picture->clear();
    return *result == expected && (expected != 0 || *picture == plain);
}
