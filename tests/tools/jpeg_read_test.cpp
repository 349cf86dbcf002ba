// Reading baseline JPEG: each sampling ImageMagick writes, each scale, restart intervals resetting the colour
// predictors; progressive files left to the system. That the sides round up at each scale is the fuzzer's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/slidetool/jpeg_read.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Load(const char* name)
{
    std::ifstream file(std::string(NIMBRA_JPEG_FILES "/") + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Picture {
    int result = -1;
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

Picture Decode(const Bytes& file, int shift)
{
    Picture p;
    uint32_t* pixels = nullptr;
    p.result = JpegDecode(file.data(), file.size(), shift, &pixels, &p.width, &p.height);
    if (p.result == 0) p.pixels.assign(pixels, pixels + size_t(p.width) * size_t(p.height));
    std::free(pixels);
    return p;
}

// Within a few steps of the colour in each of blue, green and red.
bool Near(uint32_t pixel, uint32_t colour)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int(pixel >> shift & 0xFF) - int(colour >> shift & 0xFF)) > 6) return false;
    return true;
}

const uint32_t kQuadrants[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};  // red green over blue white

}  // namespace

TEST(JpegRead, EachSamplingDecodesTheQuadrants)
{
    for (const char* name : {"quadrants_444.jpg", "quadrants_420.jpg", "quadrants_422.jpg"}) {
        const Picture p = Decode(Load(name), 0);
        ASSERT_EQ(p.result, 0) << name;
        for (int q = 0; q < 4; ++q) {
            const uint32_t pixel = p.pixels[size_t(q / 2 * 16 + 8) * 32 + size_t(q % 2 * 16 + 8)];
            EXPECT_TRUE(Near(pixel, kQuadrants[q])) << name << " quadrant " << q << ": " << std::hex << pixel;
        }
    }
}

TEST(JpegRead, EachScaleAveragesTheBlocks)
{
    const Bytes file = Load("quadrants_444.jpg");
    for (int shift = 1; shift <= 3; ++shift) {
        const Picture p = Decode(file, shift);
        ASSERT_EQ(p.result, 0) << shift;
        const uint32_t lastOfBlue = p.pixels[size_t(p.height - 1) * size_t(p.width) + size_t(p.width / 2 - 1)];
        EXPECT_TRUE(Near(lastOfBlue, kQuadrants[2])) << shift << ": " << std::hex << lastOfBlue;
    }
}

// Three grey 8 by 8 blocks written by hand, a restart after each, their colour differences 200, 200 and
// -200: a block is 128 plus an eighth of its colour, so 153 153 103, or 153 178 153 without the restarts.
TEST(JpegRead, ARestartStartsTheColourPredictionAgain)
{
    const Picture p = Decode(Load("grey_restarts.jpg"), 3);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0x999999, 0x999999, 0x676767}));
}

// The system's loader gets them.
TEST(JpegRead, ProgressiveFilesAreRefused)
{
    const Bytes progressive = Load("quadrants_progressive.jpg");
    int32_t width = 0, height = 0;
    EXPECT_EQ(JpegReadSize(progressive.data(), progressive.size(), &width, &height), -1);
}

TEST(JpegRead, ShiftIsTheSmallestScaleThatStillFills)
{
    EXPECT_EQ(JpegShiftFor(1280, 960, 640, 480), 1);
    EXPECT_EQ(JpegShiftFor(1279, 960, 640, 480), 0);
    EXPECT_EQ(JpegShiftFor(1280, 959, 640, 480), 0);
    EXPECT_EQ(JpegShiftFor(100000, 100000, 1, 1), 3);
}
