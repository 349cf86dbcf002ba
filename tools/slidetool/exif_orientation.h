// The orientation tag of a camera's JPEG photo (Exif tag 0x0112): how the stored picture is to be turned
// or mirrored to stand upright. Plain code, no Win32: it reads bytes from any file it is given.
#pragma once

#include <cstddef>
#include <cstdint>

// The tag's value 1 to 8 from the first Exif segment (APP1) of a JPEG file held in memory, either
// byte order; 0 when there is none: not a JPEG, no Exif segment before the scan, no tag in the first
// directory, a value outside 1 to 8, or a segment that is malformed or cut short.
int ExifOrientation(const uint8_t* file, size_t size);
