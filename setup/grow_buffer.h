// A growing block of bytes for lists whose length the installer cannot bound in advance.
#pragma once

#include <cstddef>

struct GrowBuffer {
    char* data = nullptr;
    size_t size = 0;
    size_t capacity = 0;
};

// Appends length bytes; -1 (buffer unchanged) when memory runs out.
int GrowAppend(GrowBuffer& buffer, const void* bytes, size_t length);
void GrowClear(GrowBuffer& buffer);
void GrowFree(GrowBuffer& buffer);
