// Blanks and ASCII letter case: the one definition every text format of the installer uses. Only
// ASCII letters fold; other bytes (also those of double-byte characters) compare as they are.
#pragma once

#include <cstddef>

bool IsBlank(char c);  // a space or a tab
char AsciiLower(char c);
// True when the length bytes of text are word (given in lower case) in any ASCII letter case.
bool IsWordIgnoringCase(const char* text, size_t length, const char* word);
