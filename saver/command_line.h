// Decoding of the saver's command line ("nimbra.scr /p 1234" and friends).
// Plain code without <windows.h>: the command line is untrusted text.
#pragma once

#include <cstdint>

#include "saver/run_mode.h"

struct DecodedCommandLine {
    RunMode mode;
    int32_t handle;            // window handle argument as a number, 0 when none
    bool ownerFromForeground;  // Configure with nothing after the letter: owner is the foreground window
};

// text is the whole command line as GetCommandLineA gives it, program path first; null reads as empty.
DecodedCommandLine DecodeCommandLine(const char* text);

// Decimal number as the C library's atoi reads it (white space, sign, digits), but saturating at
// the 32-bit limits instead of overflowing. *end, when given, receives the first character not read.
int32_t ReadDecimal(const char* text, const char** end);
