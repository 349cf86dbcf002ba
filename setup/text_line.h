// Reading one line of a text stream of any length into a fixed buffer, without losing track of the rest.
#pragma once

#include <cstddef>
#include <cstdio>

struct TextLine {
    size_t length;  // bytes kept in the buffer, without the line feed (may include zero bytes)
    bool overlong;  // the line went on past the buffer; the rest up to its line feed was passed over
};

// Reads up to and including the next line feed (or the end of the file). Keeps at most size - 1 bytes,
// zero-terminated. Returns false when the file had no more bytes.
bool ReadTextLine(FILE* file, char* buffer, size_t size, TextLine* line);
