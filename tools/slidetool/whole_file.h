// Whole files in one heap block, for slidetool's commands.
#pragma once

#include <cstddef>
#include <cstdint>

// The file's bytes in a block from malloc (the caller frees it), its length in *size; null when the
// file cannot be read whole.
uint8_t* ReadFileWhole(const char* path, size_t* size);

// Writes size bytes as the whole file; false when any of them, or the closing, failed.
bool WriteFileWhole(const char* path, const uint8_t* bytes, size_t size);
