// Every Exif orientation is a transpose (for the quarter turns, 5 to 8) followed by mirroring left to
// right and/or top to bottom: each stored pixel has one place in the upright picture.
#include "tools/slidetool/picture_upright.h"

#include <utility>

namespace {

struct Steps {
    bool transpose, acrossFlip, downFlip;
};

// Orientation 6 (stored turned a quarter anticlockwise) stands upright as the transpose mirrored left
// to right; 8 as the transpose mirrored top to bottom; 7 as both; 5 is the transpose alone.
const Steps kSteps[9] = {
    {false, false, false}, {false, false, false}, {false, true, false}, {false, true, true}, {false, false, true},
    {true, false, false},  {true, true, false},   {true, true, true},   {true, false, true},
};

Steps StepsOf(int orientation) { return orientation >= 1 && orientation <= 8 ? kSteps[orientation] : kSteps[0]; }

}  // namespace

void UprightSize(int orientation, int32_t* width, int32_t* height)
{
    if (StepsOf(orientation).transpose) std::swap(*width, *height);
}

void CopyUpright(const uint32_t* pixels, int32_t width, int32_t height, int orientation, uint32_t* destination,
                 size_t stride)
{
    const Steps steps = StepsOf(orientation);
    int32_t uprightWidth = width, uprightHeight = height;
    UprightSize(orientation, &uprightWidth, &uprightHeight);
    // Where stored pixel (0, 0) lands, and how far one step along a stored row and down a stored
    // column moves in the destination.
    const ptrdiff_t across = steps.acrossFlip ? -1 : 1, down = steps.downFlip ? -ptrdiff_t(stride) : ptrdiff_t(stride);
    const ptrdiff_t origin = (steps.acrossFlip ? uprightWidth - 1 : 0) +
                             (steps.downFlip ? ptrdiff_t(uprightHeight - 1) * ptrdiff_t(stride) : 0);
    const ptrdiff_t alongRow = steps.transpose ? down : across, alongColumn = steps.transpose ? across : down;
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* to = destination + origin + ptrdiff_t(y) * alongColumn;
        const uint32_t* from = pixels + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x, to += alongRow) *to = from[x];
    }
}
