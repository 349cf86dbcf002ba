// FormatText: the printf formatting the shipped programs use, in plain code built for the 486, in place
// of the toolchain's formatter (which is built for later processors).
#pragma once

#include <cstdarg>
#include <cstddef>

// Formats like C99 vsnprintf: writes at most size - 1 characters and a terminating zero (nothing when
// size is 0), and returns the length of the whole text, even when it was cut short. Conversions:
// %d %i %u %x %X %c %s %p %%, with the flags '-' and '0', a width and a precision (digits or '*'), and
// the sizes hh, h, l, ll, z, j, t and I64. A floating-point conversion prints as "?" and consumes its
// double; any other sequence is copied as it stands.
int FormatText(char* out, size_t size, const char* format, va_list args);
