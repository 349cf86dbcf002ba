// Fuzzes the QJX decoder against the reference: whole slide files, or a pixel count and a stream.
// Output buffers are exactly as large as the decoder may write, so one stray byte is caught.
#include <cstdlib>

#include "imagefile/qjx_decode.h"
#include "qjx_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const bool file = data[0] == kQjxMagic0 && data[1] == kQjxMagic1;
    const uint32_t pixels = file ? kQjxPixelCount : uint32_t(data[0] | data[1] << 8);
    const size_t skip = file ? kQjxHeaderSize : 2, bytes = size_t(pixels) * kQjxPixelBytes;
    uint8_t* fast = static_cast<uint8_t*>(std::malloc(bytes));
    uint8_t* plain = static_cast<uint8_t*>(std::malloc(bytes));
    const int a = file ? QjxDecodeFile(data, size, fast) : QjxDecode(fast, data + 2, size - 2, pixels);
    const int b = file && QjxCheckHeader(data, size) ? -1 : ReferenceDecode(plain, data + skip, size - skip, pixels);
    if (a != b || (a == 0 && std::memcmp(fast, plain, bytes) != 0)) __builtin_trap();
    std::free(fast);
    std::free(plain);
    return 0;
}
