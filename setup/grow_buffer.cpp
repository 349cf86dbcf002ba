// Growing byte blocks on the program heap.
#include "setup/grow_buffer.h"

#include <cstdlib>
#include <cstring>

int GrowAppend(GrowBuffer& buffer, const void* bytes, size_t length)
{
    if (length > static_cast<size_t>(-1) / 2 - buffer.size) return -1;
    size_t needed = buffer.size + length;
    if (needed > buffer.capacity) {
        size_t capacity = buffer.capacity ? buffer.capacity : 256;
        while (capacity < needed) capacity *= 2;
        char* grown = static_cast<char*>(realloc(buffer.data, capacity));
        if (grown == nullptr) return -1;
        buffer.data = grown;
        buffer.capacity = capacity;
    }
    if (length) memcpy(buffer.data + buffer.size, bytes, length);
    buffer.size = needed;
    return 0;
}

void GrowClear(GrowBuffer& buffer) { buffer.size = 0; }

void GrowFree(GrowBuffer& buffer)
{
    free(buffer.data);
    buffer = GrowBuffer();
}
