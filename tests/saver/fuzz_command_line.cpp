// Fuzzes the saver's command-line decoder with arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "saver/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);  // zero-terminated copy
    DecodedCommandLine d = DecodeCommandLine(text.c_str());
    if (d.ownerFromForeground && d.handle != 0) __builtin_trap();
    return 0;
}
