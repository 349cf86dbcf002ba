// Turning pictures upright: each of the eight orientations on a small picture written out by hand, and
// the quarter turn's in-place transpose on pictures whose permutation has long and many cycles.
#include <gtest/gtest.h>

#include <vector>

#include "tools/slidetool/picture_upright.h"

TEST(PictureUpright, EachOrientationOfAThreeByTwoPicture)
{
    enum : uint32_t { a = 0xA, b, c, d, e, f };
    const std::vector<uint32_t> stored = {a, b, c, d, e, f};  // a b c over d e f
    const struct { int orientation; int32_t width, height; std::vector<uint32_t> upright; } cases[] = {
        {0, 3, 2, {a, b, c, d, e, f}}, {1, 3, 2, {a, b, c, d, e, f}}, {2, 3, 2, {c, b, a, f, e, d}},
        {3, 3, 2, {f, e, d, c, b, a}}, {4, 3, 2, {d, e, f, a, b, c}}, {5, 2, 3, {a, d, b, e, c, f}},
        {6, 2, 3, {d, a, e, b, f, c}}, {7, 2, 3, {f, c, e, b, d, a}}, {8, 2, 3, {c, f, b, e, a, d}},
        {9, 3, 2, {a, b, c, d, e, f}},
    };
    for (const auto& t : cases) {
        std::vector<uint32_t> pixels = stored;
        int32_t width = 3, height = 2;
        ASSERT_EQ(TurnUpright(pixels.data(), &width, &height, t.orientation), 0);
        EXPECT_EQ(width, t.width) << t.orientation;
        EXPECT_EQ(height, t.height) << t.orientation;
        EXPECT_EQ(pixels, t.upright) << t.orientation;
    }
}

TEST(PictureUpright, TransposeInPlaceMovesEveryPixel)
{
    const struct { int32_t width, height; } shapes[] = {{7, 5}, {5, 7}, {64, 3}, {1, 9}, {9, 1}, {1, 1}, {40, 30}};
    for (const auto& s : shapes) {
        std::vector<uint32_t> pixels(size_t(s.width) * size_t(s.height));
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint32_t(i);  // its own stored index
        int32_t width = s.width, height = s.height;
        ASSERT_EQ(TurnUpright(pixels.data(), &width, &height, 5), 0);
        int wrong = 0;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                wrong += pixels[size_t(y) * size_t(width) + size_t(x)] != uint32_t(x * s.width + y);
        EXPECT_EQ(wrong, 0) << s.width << "x" << s.height;
    }
}
