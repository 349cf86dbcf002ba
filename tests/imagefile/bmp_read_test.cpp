// BMP reading from memory: every supported depth and row order, and the files that are refused (the
// colour table and the caller's palette are checked through the surface loader).
#include <gtest/gtest.h>

#include <iterator>

#include "imagefile/bmp_read.h"
#include "picture_files.h"

namespace {

// The picture top row first, or nothing when the file is refused.
Pixels Read(const Bytes& file)
{
    BmpLayout layout;
    if (BmpReadLayout(file.data(), file.size(), &layout) != 0) return {};
    Pixels pixels(size_t(layout.width) * layout.height, 0xDEADBEEF), table(256);
    if (BmpDecode(file.data(), file.size(), nullptr, table.data(), pixels.data(), pixels.size()) != 0) return {};
    return pixels;
}

}  // namespace

TEST(BmpRead, EveryDepthAndRowOrder)
{
    Pixels full(256, 0), grey;
    full[0] = 0xFF112233;  // reserved byte set: the pixel still gets a zero fourth byte
    full[255] = 0x00445566;
    for (uint32_t i = 0; i < 16; ++i) grey.push_back(i * 0x010101);
    const Bytes rgb = {1, 2, 3, 4, 5, 6, 0x77, 0x77, 7, 8, 9, 10, 11, 12, 0x77, 0x77};  // two padded rows
    const struct {
        BmpSpec file;
        Pixels pixels;  // top row first
    } cases[] = {
        {{2, 1, 8, full, {0, 255, 0, 0}}, {0x112233, 0x445566}},
        {{2, 1, 8, {0xAA, 0xBB}, {1, 200, 0, 0}, 2}, {0xBB, 0}},  // index past biClrUsed reads a zero entry
        {{3, 2, 4, grey, {0x12, 0x3F, 0xEE, 0xEE, 0x45, 0x6F, 0xEE, 0xEE}},
         {0x040404, 0x050505, 0x060606, 0x010101, 0x020202, 0x030303}},
        // Rows found through bfOffBits past a gap; biCompression is not looked at.
        {{2, 2, 24, {}, rgb, 0, 40, 1, 10}, {0x090807, 0x0C0B0A, 0x030201, 0x060504}},
        {{2, -2, 24, {}, rgb}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}},  // top-down
        {{1, 1, 32, {}, {1, 2, 3, 4}}, {0x04030201}},
        {{1, 1, 8, {0x00102030}, {0, 0, 0, 0}, 1, 124}, {0x102030}},  // table behind a larger info header
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(Read(BuildBmp(cases[i].file)), cases[i].pixels) << i;
}

TEST(BmpRead, RefusesFilesWithoutASafeReading)
{
    const BmpSpec good{2, 2, 24, {}, Bytes(16, 1)};
    const Bytes file = BuildBmp(good);
    ASSERT_FALSE(Read(file).empty());
    void (*const changes[])(BmpSpec&) = {
        [](BmpSpec& s) { s.width = 0; },
        [](BmpSpec& s) { s.width = -2; },
        [](BmpSpec& s) { s.height = 0; },
        [](BmpSpec& s) { s.height = INT32_MIN; },
        [](BmpSpec& s) { s.bitCount = 1; },
        [](BmpSpec& s) { s.bitCount = 16; },
        [](BmpSpec& s) { s.infoSize = 12; },
        [](BmpSpec& s) { s.height = 3; },                                     // last row missing
        [](BmpSpec& s) { s.width = 0x40000000; },                             // 4 * width overflows 32 bits
        [](BmpSpec& s) { s.width = 0x7FFFFFFF; s.height = -0x7FFFFFFF; },
        [](BmpSpec& s) { s.bitCount = 8; s.clrUsed = 257; s.table.assign(257, 0); },
        [](BmpSpec& s) { s.bitCount = 4; s.clrUsed = 17; s.table.assign(17, 0); },
        [](BmpSpec& s) { s.bitCount = 8; s.table.assign(255, 0); s.rows.clear(); },  // ends inside the table
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        BmpSpec s = good;
        changes[i](s);
        EXPECT_TRUE(Read(BuildBmp(s)).empty()) << i;
    }
    for (size_t cut = 0; cut < file.size(); ++cut) EXPECT_TRUE(Read(Bytes(file.begin(), file.begin() + cut)).empty()) << cut;
    // bfOffBits inside the info header or far past the end; an info header larger than the file.
    for (const auto& [at, value] : {std::pair<size_t, uint32_t>{10, 20}, {10, 0xFFFFFFF0u}, {14, 0xFFFFFFF0u}}) {
        Bytes bad = file;
        Put32(bad, at, value);
        EXPECT_TRUE(Read(bad).empty()) << at << " " << value;
    }
    Bytes bad = file;
    bad[1] = 'X';
    EXPECT_TRUE(Read(bad).empty());
}
