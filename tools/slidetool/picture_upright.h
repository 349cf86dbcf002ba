// Turning a decoded photo upright by its Exif orientation, in place. Plain code, no Win32.
#pragma once

#include <cstdint>

// Rewrites pixels (*width by *height, top row first) as the picture stands when orientation (Exif's
// 1 to 8) is applied: turned by a quarter, a half or three quarters, or mirrored; 5 to 8 swap *width and
// *height. 0 or any other value leaves the picture as it is. Works in the picture's own buffer; a
// quarter turn needs one bit a pixel of working memory. Returns 0, or -1 (picture unchanged) when
// that memory could not be had.
int TurnUpright(uint32_t* pixels, int32_t* width, int32_t* height, int orientation);
