// Fuzzes the QJX decoder against the reference: a whole slide file, or any other input as a pixel count
// and a stream. Output buffers are exactly as large as the decoder may write.
#include "qjx_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t skip = QjxCheckHeader(data, size) == 0 ? kQjxHeaderSize : 2;
    if (size < skip) return 0;
    const uint32_t pixels = skip == kQjxHeaderSize ? kQjxPixelCount : uint32_t(data[0] | data[1] << 8);
    std::vector<uint32_t> picture;
    int result;
    if (!DecodeBoth(data + skip, size - skip, pixels, &picture, &result)) __builtin_trap();
    return 0;
}
