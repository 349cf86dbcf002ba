// Fuzzes the QJX decoder: short streams against a plain reference decoder, and whole slide files.
// Output buffers are exactly as large as the decoder may write, so any stray byte is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imagefile/qjx_decode.h"

namespace {

int PlainDecode(uint8_t* out, size_t outSize, const uint8_t* in, size_t inSize)
{
    size_t ip = 0, op = 0;
    unsigned mask = 0, flags = 0;
    while (op < outSize) {
        if (mask == 0) {
            if (ip >= inSize) return -1;
            flags = in[ip++];
            mask = 0x80;
        }
        if (flags & mask) {
            if (ip + 3 > inSize) return -1;
            for (int k = 0; k < 3; ++k) out[op++] = in[ip++];
        } else {
            if (ip + 2 > inSize) return -1;
            const unsigned w = in[ip] | in[ip + 1] << 8;
            ip += 2;
            const size_t len = ((w & 15) + 1) * 3, dist = ((w >> 4) + 1) * 3;
            if (dist > op || op + len > outSize) return -1;
            for (size_t k = 0; k < len; ++k, ++op) out[op] = out[op - dist];
        }
        mask >>= 1;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= 2 && data[0] == kQjxMagic0 && data[1] == kQjxMagic1) {
        uint8_t* out = static_cast<uint8_t*>(std::malloc(kQjxDecodedSize));
        QjxDecodeFile(data, size, out);
        std::free(out);
        return 0;
    }
    if (size < 2) return 0;
    // Any other input: a pixel count, then a stream.
    const uint32_t pixels = uint32_t(data[0]) | uint32_t(data[1]) << 8;
    const size_t bytes = size_t(pixels) * 3;
    uint8_t* fast = static_cast<uint8_t*>(std::malloc(bytes + 1));
    uint8_t* plain = static_cast<uint8_t*>(std::malloc(bytes + 1));
    const int a = QjxDecode(fast, data + 2, size - 2, pixels);
    const int b = PlainDecode(plain, bytes, data + 2, size - 2);
    if (a != b) __builtin_trap();
    if (a == 0 && std::memcmp(fast, plain, bytes) != 0) __builtin_trap();

    // The same stream into 32-bit pixels, in a block exactly as large as the picture.
    uint8_t* wide = static_cast<uint8_t*>(std::malloc(size_t(pixels) * 4 + 1));
    if (QjxDecodeToPixels(wide, data + 2, size - 2, pixels) != b) __builtin_trap();
    for (uint32_t i = 0; b == 0 && i < pixels; ++i)
        if (std::memcmp(wide + 4 * i, plain + 3 * i, 3) != 0 || wide[4 * i + 3] != 0) __builtin_trap();
    std::free(wide);
    std::free(fast);
    std::free(plain);
    return 0;
}
