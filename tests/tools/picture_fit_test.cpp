// Fitting pictures into a slide: place and size at the rounding edges, averages when shrinking,
// interpolation from pixel centres when enlarging, black around, the rows asked for once each, and a
// turned photo placed by its upright size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/slidetool/picture_fit.h"

namespace {

// A picture in memory, noting which rows were asked for.
class Rows : public PictureRows {
public:
    Rows(const std::vector<uint32_t>& pixels, int32_t width) : pixels(pixels), width(width) {}
    const uint32_t* Row(int32_t y) override
    {
        asked.push_back(y);
        return pixels.data() + size_t(y) * size_t(width);
    }
    std::vector<int32_t> asked;

private:
    const std::vector<uint32_t>& pixels;
    int32_t width;
};

std::vector<uint32_t> Fit(const std::vector<uint32_t>& source, int32_t width, int32_t height, int32_t boxWidth,
                          int32_t boxHeight, int orientation = 1)
{
    Rows rows(source, width);
    std::vector<uint32_t> box(size_t(boxWidth) * size_t(boxHeight), 0xFFFFFFFF);
    EXPECT_EQ(FitPicture(rows, width, height, orientation, box.data(), boxWidth, boxHeight), 0);
    return box;
}

std::string Text(const FitPlace& p)
{
    return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.width) + "x" +
           std::to_string(p.height);
}

const uint32_t k = 0xFF000000, c = 0xFFFF8040, o = 0xFF8040;  // black and a colour, the fourth byte dropped
const uint32_t q1 = 0x402010, q3 = 0xBF6030;                 // a quarter and three quarters of the colour

}  // namespace

TEST(PictureFit, PlaceKeepsProportionsAndCentres)
{
    const struct { int32_t width, height; const char* place; } places[] = {
        {640, 480, "0,0 640x480"},   {200, 150, "0,0 640x480"},    {2400, 1500, "0,40 640x400"},
        {300, 1000, "248,0 144x480"}, {641, 480, "0,0 640x479"},    {639, 480, "0,0 639x480"},
        {1, 100000, "319,0 1x480"},  {100000, 1, "0,239 640x1"},   {3, 2, "0,26 640x427"},
        {3, 7, "217,0 206x480"},
    };
    for (const auto& e : places) EXPECT_EQ(Text(FitInside(e.width, e.height, 640, 480)), e.place) << e.width;
}

TEST(PictureFit, GrowingInterpolatesFromPixelCentres)
{
    // Output centres at 1/4 and 3/4 of a source pixel.
    EXPECT_EQ(Fit({k, c}, 2, 1, 4, 2), (std::vector<uint32_t>{0, q1, q3, o, 0, q1, q3, o}));
    EXPECT_EQ(Fit({k, c}, 1, 2, 2, 4), (std::vector<uint32_t>{0, 0, q1, q1, q3, q3, o, o}));
}

TEST(PictureFit, ShrinkingAveragesWhatEachPixelCovers)
{
    // Each output pixel covers one and a half source pixels.
    EXPECT_EQ(Fit({0, 0x5A5A5A, 0xB4B4B4}, 3, 1, 2, 1), (std::vector<uint32_t>{0x1E1E1E, 0x969696}));
    EXPECT_EQ(Fit({0, 0x5A5A5A, 0xB4B4B4}, 1, 3, 1, 2), (std::vector<uint32_t>{0x1E1E1E, 0x969696}));
    EXPECT_EQ(Fit({0, 0xFFFFFF, 0xFFFFFF, 0}, 2, 2, 1, 1), (std::vector<uint32_t>{0x808080})) << "127.5 rounds up";
}

TEST(PictureFit, ThinPicturesStandOnBlack)
{
    const std::vector<uint32_t> line(100000, c);
    EXPECT_EQ(Fit(line, 1, 100000, 3, 3), (std::vector<uint32_t>{0, o, 0, 0, o, 0, 0, o, 0}));
    EXPECT_EQ(Fit(line, 100000, 1, 3, 3), (std::vector<uint32_t>{0, 0, 0, o, o, o, 0, 0, 0}));
}

TEST(PictureFit, AsksForEachRowOnceFromTheTop)
{
    const std::vector<uint32_t> shrinking(7 * 5, c), growing(2 * 3, c);
    std::vector<uint32_t> small(4 * 3), large(4 * 6);
    Rows five(shrinking, 7), three(growing, 2);
    ASSERT_EQ(FitPicture(five, 7, 5, 1, small.data(), 4, 3), 0);
    EXPECT_EQ(five.asked, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    ASSERT_EQ(FitPicture(three, 2, 3, 1, large.data(), 4, 6), 0);
    EXPECT_EQ(three.asked, (std::vector<int32_t>{0, 1, 2}));
}

TEST(PictureFit, ATurnedPhotoIsPlacedByItsUprightSize)
{
    // Stored 2 wide and 3 high, upright (orientation 6) 3 wide and 2 high: it fills a 6 by 4 box.
    const std::vector<uint32_t> stored = {1, 2, 3, 4, 5, 6}, upright = {5, 3, 1, 6, 4, 2};
    EXPECT_EQ(Fit(stored, 2, 3, 3, 2, 6), Fit(upright, 3, 2, 3, 2));
    EXPECT_EQ(Fit(stored, 2, 3, 6, 4, 6), Fit(upright, 3, 2, 6, 4));
}
