// Turning a photo upright by its Exif orientation. Plain code, no Win32.
#pragma once

#include <cstddef>
#include <cstdint>

// The size of a *width by *height picture stood upright by orientation (Exif's 1 to 8): 5 to 8, the
// quarter turns, swap the two; any other value leaves the picture as it is.
void UprightSize(int orientation, int32_t* width, int32_t* height);

// Copies pixels (width by height as stored, top row first) into destination, a picture of stride
// pixels a row, as they stand when orientation is applied: turned by a quarter, a half or three
// quarters, or mirrored.
void CopyUpright(const uint32_t* pixels, int32_t width, int32_t height, int orientation, uint32_t* destination,
                 size_t stride);
