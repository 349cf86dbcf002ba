// Fuzzes the Exif orientation reader: any bytes give a value 0 to 8, never a read outside them.
#include "tools/slidetool/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int orientation = ExifOrientation(data, size);
    if (orientation < 0 || orientation > 8) __builtin_trap();
    return 0;
}
