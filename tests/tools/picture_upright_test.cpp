// Turning pictures upright: each of the eight orientations on a small picture written out by hand, copied
// into a wider picture.
#include <gtest/gtest.h>

#include <vector>

#include "tools/slidetool/picture_upright.h"

TEST(PictureUpright, EachOrientationOfAThreeByTwoPicture)
{
    enum : uint32_t { a = 0xA, b, c, d, e, f, s = 0x5 };  // s: a column beside the picture, never written
    const std::vector<uint32_t> stored = {a, b, c, d, e, f};  // a b c over d e f
    const struct { int orientation; std::vector<uint32_t> upright; } cases[] = {  // rows of four
        {0, {a, b, c, s, d, e, f, s}}, {1, {a, b, c, s, d, e, f, s}}, {2, {c, b, a, s, f, e, d, s}},
        {3, {f, e, d, s, c, b, a, s}}, {4, {d, e, f, s, a, b, c, s}}, {5, {a, d, s, s, b, e, s, s, c, f, s, s}},
        {6, {d, a, s, s, e, b, s, s, f, c, s, s}}, {7, {f, c, s, s, e, b, s, s, d, a, s, s}},
        {8, {c, f, s, s, b, e, s, s, a, d, s, s}}, {9, {a, b, c, s, d, e, f, s}},
    };
    for (const auto& t : cases) {
        std::vector<uint32_t> pixels(t.upright.size(), s);
        CopyUpright(stored.data(), 3, 2, t.orientation, pixels.data(), 4);
        EXPECT_EQ(pixels, t.upright) << t.orientation;
    }
}

TEST(PictureUpright, QuarterTurnsSwapTheSides)
{
    for (int orientation = 0; orientation <= 9; ++orientation) {
        int32_t width = 3, height = 2;
        UprightSize(orientation, &width, &height);
        EXPECT_EQ(width, orientation >= 5 && orientation <= 8 ? 2 : 3) << orientation;
    }
}
