// Whole files in one heap block, for slidetool's commands.
#include "tools/slidetool/whole_file.h"

#include <cstdio>
#include <cstdlib>

uint8_t* ReadFileWhole(const char* path, size_t* size)
{
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    std::fseek(f, 0, SEEK_END);
    const long length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    uint8_t* bytes = length >= 0 ? static_cast<uint8_t*>(std::malloc(size_t(length) + 1)) : nullptr;
    if (bytes && std::fread(bytes, 1, size_t(length), f) != size_t(length)) {
        std::free(bytes);
        bytes = nullptr;
    }
    std::fclose(f);
    *size = size_t(length);
    return bytes;
}

bool WriteFileWhole(const char* path, const uint8_t* bytes, size_t size)
{
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
