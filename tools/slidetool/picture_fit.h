// Fitting a picture of any size inside a slide: proportions kept, centred on black, averaged where it
// shrinks and interpolated where it grows. Plain code, no Win32.
#pragma once

#include <cstdint>

// Where a picture lands inside the box.
struct FitPlace {
    int32_t x, y, width, height;
};

// The largest size of width by height's proportions (rounded, at least 1 pixel) inside the box,
// centred. All sizes at least 1.
FitPlace FitInside(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

// Draws source (width by height pixels 0x00RRGGBB, top row first) into destination (boxWidth by
// boxHeight, top row first) at FitInside's place, black around it. The fourth byte of every
// destination pixel is 0. Returns 0, or -1 when working memory could not be had.
int FitPicture(const uint32_t* source, int32_t width, int32_t height, uint32_t* destination, int32_t boxWidth,
               int32_t boxHeight);
