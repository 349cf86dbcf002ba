// Fitting a picture of any size inside a slide: proportions kept, turned upright, centred on black,
// averaged where it shrinks and interpolated where it grows. Plain code, no Win32.
#pragma once

#include <cstdint>

// Where a picture lands inside the box.
struct FitPlace {
    int32_t x, y, width, height;
};

// The largest size of width by height's proportions (rounded, at least 1 pixel) inside the box,
// centred. All sizes at least 1.
FitPlace FitInside(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

// A picture handed over a row at a time, so that a decoder's own pixels are read where they lie.
class PictureRows {
public:
    // Row y's pixels 0x..RRGGBB (the fourth byte is ignored), or null when it cannot be had. Rows are
    // asked for from the top down, each once; some may be passed over.
    virtual const uint32_t* Row(int32_t y) = 0;

protected:
    ~PictureRows() = default;
};

// Draws the picture (width by height as stored) into destination (boxWidth by boxHeight, top row
// first) turned upright by its Exif orientation (picture_upright.h), at FitInside's place of the upright
// picture, black around it. The fourth byte of every destination pixel is 0. Returns 0, or -1 when
// working memory or a row could not be had.
int FitPicture(PictureRows& source, int32_t width, int32_t height, int orientation, uint32_t* destination,
               int32_t boxWidth, int32_t boxHeight);
