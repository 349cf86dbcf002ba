// Reading baseline JPEG: each sampling ImageMagick writes, each scale, sides rounded up, restart intervals
// resetting the colour predictors, files cut short; what the reader leaves to the system.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/slidetool/jpeg_read.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Load(const char* name)
{
    Bytes bytes;
    FILE* file = std::fopen((std::string(NIMBRA_JPEG_FILES "/") + name).c_str(), "rb");
    for (int c; file && (c = std::fgetc(file)) != EOF;) bytes.push_back(uint8_t(c));
    if (file) std::fclose(file);
    return bytes;
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

// A grey picture of 8 by 8 blocks written by hand: every block's colour difference coded in category 8
// (eight bits), no other coefficients, a restart marker after every interval blocks (0: none).
Bytes GreyBlocks(const std::vector<int>& differences, int interval)
{
    Bytes file = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    file.insert(file.end(), 64, 1);  // every coefficient unscaled
    const uint8_t width = uint8_t(8 * differences.size());
    const Bytes frame = {0xFF, 0xC0, 0, 11, 8, 0, 8, 0, width, 1, 1, 0x11, 0};
    const Bytes restart = {0xFF, 0xDD, 0, 4, 0, uint8_t(interval)};
    const Bytes scan = {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0};
    file.insert(file.end(), frame.begin(), frame.end());
    // One code each, "0": category 8 for the colour, end of block for the rest.
    for (const uint8_t table : {0x00, 0x10}) {
        const Bytes start = {0xFF, 0xC4, 0, 20, table, 1};
        file.insert(file.end(), start.begin(), start.end());
        file.insert(file.end(), 15, 0);
        file.push_back(table ? 0x00 : 8);
    }
    if (interval) file.insert(file.end(), restart.begin(), restart.end());
    file.insert(file.end(), scan.begin(), scan.end());
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = 0; i < differences.size(); ++i) {
        const int d = differences[i];
        bits = bits << 10 | uint32_t(d < 0 ? d + 255 : d) << 1;  // "0", eight bits, "0"
        count += 10;
        const bool last = i + 1 == differences.size(), intervalEnds = interval && (i + 1) % size_t(interval) == 0;
        for (; (last || intervalEnds) && count % 8; ++count) bits = bits << 1 | 1;  // padding ones
        for (; count >= 8; count -= 8) {
            file.push_back(uint8_t(bits >> (count - 8)));
            if (file.back() == 0xFF) file.push_back(0);
        }
        if (intervalEnds && !last) file.insert(file.end(), {0xFF, uint8_t(0xD0 + (i / size_t(interval)) % 8)});
    }
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
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

TEST(JpegRead, GreyPicturesComeOutGrey)
{
    const Picture p = Decode(Load("quadrants_gray.jpg"), 0);
    ASSERT_EQ(p.result, 0);
    EXPECT_TRUE(Near(p.pixels[24 * 32 + 24], 0xFFFFFF)) << std::hex << p.pixels[24 * 32 + 24];
    EXPECT_TRUE(Near(p.pixels[24 * 32 + 8], 0x121212)) << std::hex << p.pixels[24 * 32 + 8];
}

TEST(JpegRead, EachScaleAveragesTheBlocks)
{
    const Bytes file = Load("quadrants_444.jpg");
    for (int shift = 1; shift <= 3; ++shift) {
        const Picture p = Decode(file, shift);
        ASSERT_EQ(p.result, 0) << shift;
        EXPECT_EQ(p.width, 32 >> shift) << shift;
        const uint32_t lastOfBlue = p.pixels[size_t(p.height - 1) * size_t(p.width) + size_t(p.width / 2 - 1)];
        EXPECT_TRUE(Near(lastOfBlue, kQuadrants[2])) << shift << ": " << std::hex << lastOfBlue;
    }
}

TEST(JpegRead, ScaledSidesRoundUp)
{
    const Picture p = Decode(Load("gray_33x17.jpg"), 3);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.width, 5);
    EXPECT_EQ(p.height, 3);
}

TEST(JpegRead, HandMadeBlocksGiveTheirColour)
{
    // A block's colour is 128 plus an eighth of its coefficient.
    const Picture p = Decode(GreyBlocks({200, -200}, 0), 3);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0x999999, 0x808080})) << "the second predicted from the first";
}

TEST(JpegRead, ARestartStartsTheColourPredictionAgain)
{
    const Picture p = Decode(GreyBlocks({200, 200, -200}, 1), 3);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0x999999, 0x999999, 0x676767}));
}

TEST(JpegRead, DataCutShortReadsAsZeros)
{
    Bytes file = GreyBlocks({200, 200}, 0);
    file.resize(file.size() - 3);  // the end of the second block and the end marker
    const Picture p = Decode(file, 3);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.pixels[0], 0x999999u);
}

TEST(JpegRead, HeadersCutShortAnywhereAreRefused)
{
    const Bytes whole = Load("quadrants_420.jpg");
    int32_t width = 0, height = 0;
    ASSERT_EQ(JpegReadSize(whole.data(), whole.size(), &width, &height), 0);
    size_t scan = 0;
    while (!(whole[scan] == 0xFF && whole[scan + 1] == 0xDA)) ++scan;
    for (size_t size = 0; size < scan + 14; ++size) {  // the scan's header is 14 bytes
        const Bytes cut(whole.begin(), whole.begin() + long(size));
        EXPECT_EQ(JpegReadSize(cut.data(), cut.size(), &width, &height), -1) << size << " bytes";
    }
}

TEST(JpegRead, ProgressiveFilesAreLeftToTheSystem)
{
    const Bytes file = Load("quadrants_progressive.jpg");
    int32_t width = 0, height = 0;
    EXPECT_EQ(JpegReadSize(file.data(), file.size(), &width, &height), -1);
}

TEST(JpegRead, ShiftIsTheSmallestScaleThatStillFills)
{
    EXPECT_EQ(JpegShiftFor(4000, 3000, 640, 480), 2);
    EXPECT_EQ(JpegShiftFor(1280, 960, 640, 480), 1);
    EXPECT_EQ(JpegShiftFor(1279, 960, 640, 480), 0);
    EXPECT_EQ(JpegShiftFor(1280, 959, 640, 480), 0);
    EXPECT_EQ(JpegShiftFor(100000, 100000, 1, 1), 3);
}
