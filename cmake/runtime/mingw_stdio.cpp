// The formatted-output entry points that mingw-w64's <stdio.h> sends printf, fprintf and snprintf to,
// given here so that the shipped programs format with FormatText and write through the C runtime
// DLL's own streams.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "cmake/runtime/format_text.h"

extern "C" {

int __cdecl __mingw_vsnprintf(char* out, size_t size, const char* format, va_list args)
{
    return FormatText(out, size, format, args);
}

int __cdecl __mingw_vsprintf(char* out, const char* format, va_list args)
{
    return FormatText(out, static_cast<size_t>(-1) / 2, format, args);
}

int __cdecl __mingw_vfprintf(FILE* stream, const char* format, va_list args)
{
    char small[512];
    va_list again;
    va_copy(again, args);
    int length = FormatText(small, sizeof small, format, args);
    char* text = small;
    if (length >= static_cast<int>(sizeof small)) {
        text = static_cast<char*>(std::malloc(length + 1));
        if (text == nullptr) {
            va_end(again);
            return -1;
        }
        FormatText(text, length + 1, format, again);
    }
    va_end(again);
    size_t written = std::fwrite(text, 1, length, stream);
    if (text != small) std::free(text);
    return written == static_cast<size_t>(length) ? length : -1;
}

int __cdecl __mingw_vprintf(const char* format, va_list args) { return __mingw_vfprintf(stdout, format, args); }

}  // extern "C"
