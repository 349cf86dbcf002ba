// Fuzzes the "WININIT.INI" rebuild: a result ends in exactly the new entry and invents nothing beyond
// a section header and line ends; a refusal leaves nothing behind.
#include <cstdint>
#include <cstring>

#include "setup/wininit_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char kTail[] = "NUL=C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE\r\n";
    const size_t tail = sizeof kTail - 1;
    GrowBuffer out;
    bool done = AddDeleteEntry(reinterpret_cast<const char*>(data), size, "C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE", out) ==
                WininitEdit::Done;
    if (done ? out.size < tail || memcmp(out.data + out.size - tail, kTail, tail) != 0 || out.size > 2 * size + 64
             : out.size != 0)
        __builtin_trap();
    GrowFree(out);
    return 0;
}
