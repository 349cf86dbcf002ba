// Files for slidetool's commands: whole files in one heap block, written whole, a file's first bytes,
// and folder\name paths.
#pragma once

#include <cstddef>
#include <cstdint>

// The file's bytes in a block from malloc (the caller frees it), its length in *size; null when the
// file cannot be read whole.
uint8_t* ReadFileWhole(const char* path, size_t* size);

// Up to size bytes from the file's start into bytes; how many were read, or -1 when it cannot be read.
long ReadFileStart(const char* path, uint8_t* bytes, size_t size);

// Writes size bytes as the whole file, replacing any file of that name; false when any of them, or the
// closing, failed.
bool WriteFileWhole(const char* path, const uint8_t* bytes, size_t size);

// The same only under a name that no file has yet: a file already there is not the caller's to replace.
// *created says whether this call made the file (and so whether it is the caller's to delete).
bool WriteNewFile(const char* path, const uint8_t* bytes, size_t size, bool* created);

// folder\name into path (260 bytes, the Win32 file functions' MAX_PATH), with no second separator after
// a folder that ends in one (or after a bare drive "C:"). False when the result does not fit.
bool JoinPath(const char* folder, const char* name, char* path);
