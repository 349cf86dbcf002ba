// Every Exif orientation is a transpose (for the quarter turns, 5 to 8) followed by mirroring left to
// right and/or top to bottom; all three are done in the picture's own buffer, so that a photo of twelve
// million pixels never needs a second copy of itself.
#include "tools/slidetool/picture_upright.h"

#include <cstdlib>
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

// In-place transpose of a width by height picture (row-major) into height by width: the pixel at
// index i moves to (i * height) mod (count - 1), the first and last stay; each cycle of that
// permutation is followed once, a bit a pixel marking what has been moved.
bool Transpose(uint32_t* pixels, uint64_t width, uint64_t height)
{
    const uint64_t count = width * height;
    if (width == 1 || height == 1) return true;  // the same bytes either way
    uint8_t* moved = static_cast<uint8_t*>(std::calloc(size_t((count + 7) / 8), 1));
    if (!moved) return false;
    const uint64_t modulus = count - 1;
    for (uint64_t start = 1; start < modulus; ++start) {
        if (moved[start >> 3] & (1u << (start & 7))) continue;
        uint64_t at = start;
        uint32_t carried = pixels[start];
        do {
            const uint64_t to = at * height % modulus;
            std::swap(carried, pixels[to]);
            moved[to >> 3] |= uint8_t(1u << (to & 7));
            at = to;
        } while (at != start);
    }
    std::free(moved);
    return true;
}

}  // namespace

int TurnUpright(uint32_t* pixels, int32_t* width, int32_t* height, int orientation)
{
    if (orientation < 1 || orientation > 8) return 0;
    const Steps steps = kSteps[orientation];
    if (steps.transpose) {
        if (!Transpose(pixels, uint64_t(*width), uint64_t(*height))) return -1;
        std::swap(*width, *height);
    }
    const size_t w = size_t(*width), h = size_t(*height);
    if (steps.acrossFlip)
        for (size_t y = 0; y < h; ++y)
            for (uint32_t *left = pixels + y * w, *right = left + w - 1; left < right; ++left, --right)
                std::swap(*left, *right);
    if (steps.downFlip)
        for (size_t top = 0, bottom = h - 1; top < bottom; ++top, --bottom)
            for (size_t x = 0; x < w; ++x) std::swap(pixels[top * w + x], pixels[bottom * w + x]);
    return 0;
}
