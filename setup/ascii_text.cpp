// Blanks and ASCII letter case.
#include "setup/ascii_text.h"

#include <cstring>

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsWordIgnoringCase(const char* text, size_t length, const char* word)
{
    if (strlen(word) != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (AsciiLower(text[i]) != word[i]) return false;
    return true;
}
