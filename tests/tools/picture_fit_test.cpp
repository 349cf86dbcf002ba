// Fitting pictures into a slide: place and size at the rounding edges, averages when shrinking,
// interpolation from pixel centres when enlarging, black around, shapes of one pixel a side.
#include <gtest/gtest.h>

#include "tools/slidetool/picture_fit.h"

TEST(PictureFit, PlaceAndPixels)
{
    const struct { int32_t width, height, x, y, w, h; } places[] = {
        {640, 480, 0, 0, 640, 480},    {200, 150, 0, 0, 640, 480}, {2400, 1500, 0, 40, 640, 400},
        {300, 1000, 248, 0, 144, 480}, {641, 480, 0, 0, 640, 479}, {639, 480, 0, 0, 639, 480},
        {1, 100000, 319, 0, 1, 480},   {100000, 1, 0, 239, 640, 1}, {3, 2, 0, 26, 640, 427}, {3, 7, 217, 0, 206, 480},
    };
    for (const auto& e : places) {
        const FitPlace p = FitInside(e.width, e.height, 640, 480);
        EXPECT_TRUE(p.x == e.x && p.y == e.y && p.width == e.w && p.height == e.h) << e.width << "x" << e.height;
    }

    const uint32_t k = 0xFF000000, c = 0xFFFF8040, o = 0xFF8040;  // black and a colour, the fourth byte dropped
    const uint32_t q1 = 0x402010, q3 = 0xBF6030;                 // a quarter and three quarters of the colour
    const std::vector<uint32_t> line(100000, c);
    const struct { std::vector<uint32_t> source; int32_t width, height, boxWidth, boxHeight;
                   std::vector<uint32_t> box; } pictures[] = {
        {{k, c}, 2, 1, 4, 2, {0, q1, q3, o, 0, q1, q3, o}},  // centres at 1/4 and 3/4 of a source pixel
        {{k, c}, 1, 2, 2, 4, {0, 0, q1, q1, q3, q3, o, o}},
        {{0, 0x5A5A5A, 0xB4B4B4}, 3, 1, 2, 1, {0x1E1E1E, 0x969696}},  // each output pixel covers 1.5
        {{0, 0x5A5A5A, 0xB4B4B4}, 1, 3, 1, 2, {0x1E1E1E, 0x969696}},
        {{0, 0xFFFFFF, 0xFFFFFF, 0}, 2, 2, 1, 1, {0x808080}},           // 127.5 rounds up
        {line, 1, 100000, 3, 3, {0, o, 0, 0, o, 0, 0, o, 0}},
        {line, 100000, 1, 3, 3, {0, 0, 0, o, o, o, 0, 0, 0}},
    };
    for (const auto& t : pictures) {
        std::vector<uint32_t> box(t.box.size(), 0xFFFFFFFF);
        EXPECT_EQ(FitPicture(t.source.data(), t.width, t.height, box.data(), t.boxWidth, t.boxHeight), 0);
        EXPECT_EQ(box, t.box) << t.width << "x" << t.height;
    }
}
