// Fuzzes the "WININIT.INI" rebuild: the result keeps every byte outside the section and ends in
// exactly one new entry.
#include <cstdint>
#include <cstring>
#include <string>

#include "setup/wininit_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    GrowBuffer out;
    WininitEdit result = AddDeleteEntry(text, size, "C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE", out);
    if (result == WininitEdit::Done) {
        static const char kTail[] = "NUL=C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE\r\n";
        size_t tail = sizeof kTail - 1;
        if (out.size < tail || memcmp(out.data + out.size - tail, kTail, tail) != 0) __builtin_trap();
        // Nothing is invented: apart from the section header and line ends, the output is at most the input
        // plus the new entry.
        if (out.size > 2 * size + 64) __builtin_trap();
    } else if (out.size != 0) {
        __builtin_trap();
    }
    GrowFree(out);
    return 0;
}
