// Fitting pictures into a slide: place and size at the rounding edges, averages when shrinking,
// interpolation from pixel centres when enlarging, black around.
#include <gtest/gtest.h>

#include <vector>

#include "tools/slidetool/picture_fit.h"

namespace {

std::vector<uint32_t> Fit(const std::vector<uint32_t>& source, int32_t width, int32_t height, int32_t boxWidth,
                          int32_t boxHeight)
{
    std::vector<uint32_t> box(size_t(boxWidth) * size_t(boxHeight), 0xFFFFFFFF);
    EXPECT_EQ(FitPicture(source.data(), width, height, box.data(), boxWidth, boxHeight), 0);
    return box;
}

}  // namespace

TEST(PictureFit, PlaceKeepsProportionsCentred)
{
    const struct { int32_t width, height, x, y, w, h; } cases[] = {
        {640, 480, 0, 0, 640, 480},    {200, 150, 0, 0, 640, 480}, {2400, 1500, 0, 40, 640, 400},
        {300, 1000, 248, 0, 144, 480}, {641, 480, 0, 0, 640, 479}, {639, 480, 0, 0, 639, 480},
        {1, 100000, 319, 0, 1, 480},   {100000, 1, 0, 239, 640, 1}, {3, 1, 0, 133, 640, 213},
    };
    for (const auto& c : cases) {
        const FitPlace p = FitInside(c.width, c.height, 640, 480);
        EXPECT_EQ(p.x, c.x) << c.width << "x" << c.height;
        EXPECT_EQ(p.y, c.y) << c.width << "x" << c.height;
        EXPECT_EQ(p.width, c.w) << c.width << "x" << c.height;
        EXPECT_EQ(p.height, c.h) << c.width << "x" << c.height;
    }
}

TEST(PictureFit, AveragesShrinkingAndInterpolatesEnlarging)
{
    const uint32_t k = 0xFF000000, c = 0xFFFF8040;  // black and a colour, with a fourth byte to drop
    const uint32_t q1 = 0x402010, q3 = 0xBF6030;    // a quarter and three quarters of the colour
    const struct { std::vector<uint32_t> source; int32_t width, height, boxWidth, boxHeight; std::vector<uint32_t> box; } cases[] = {
        {{k, c}, 2, 1, 4, 2, {0, q1, q3, 0xFF8040, 0, q1, q3, 0xFF8040}},  // centres at 1/4 and 3/4 of a pixel
        {{k, c}, 1, 2, 2, 4, {0, 0, q1, q1, q3, q3, 0xFF8040, 0xFF8040}},
        {{0, 0x5A5A5A, 0xB4B4B4}, 3, 1, 2, 1, {0x1E1E1E, 0x969696}},   // each output pixel covers 1.5
        {{0, 0x5A5A5A, 0xB4B4B4}, 1, 3, 1, 2, {0x1E1E1E, 0x969696}},
        {{0, 0xFFFFFF, 0xFFFFFF, 0}, 2, 2, 1, 1, {0x808080}},            // 127.5 rounds up
        {{c, c}, 1, 2, 4, 4, {0, 0xFF8040, 0xFF8040, 0, 0, 0xFF8040, 0xFF8040, 0, 0, 0xFF8040, 0xFF8040, 0,
                              0, 0xFF8040, 0xFF8040, 0}},                // black beside
        {{c, c}, 2, 1, 2, 3, {0, 0, 0xFF8040, 0xFF8040, 0, 0}},          // black above and below
    };
    for (const auto& t : cases)
        EXPECT_EQ(Fit(t.source, t.width, t.height, t.boxWidth, t.boxHeight), t.box) << t.width << "x" << t.height;
}

TEST(PictureFit, ExtremeShapesStayInsideTheirBuffers)
{
    std::vector<uint32_t> line(100000, 0x123456);
    EXPECT_EQ(Fit(line, 1, 100000, 640, 480)[240 * 640 + 319], 0x123456u);
    EXPECT_EQ(Fit(line, 100000, 1, 640, 480)[239 * 640 + 320], 0x123456u);
}
