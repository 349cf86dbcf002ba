// Fuzzes the QJX decoder against the reference (a slide only fixes the count): a two-byte pixel count, a stream.
#include "qjx_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    std::vector<uint32_t> picture;
    int result;
    if (!DecodeBoth(data + 2, size - 2, uint32_t(data[0] | data[1] << 8), &picture, &result)) __builtin_trap();
    return 0;
}
