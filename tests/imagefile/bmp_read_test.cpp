// BMP reading from memory: every supported depth, colour tables, row order, and files that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imagefile/bmp_read.h"
#include "imagefile/bmp_write.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v) { for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k)); }

struct BmpSpec {
    int32_t width = 1;
    int32_t height = 1;
    int bitCount = 24;
    uint32_t clrUsed = 0;
    uint32_t infoSize = 40;
    uint32_t compression = 0;
    std::vector<uint32_t> table;  // written as stored
    size_t gap = 0;               // bytes between the table and the rows
    std::vector<Bytes> rows;      // stored order, already padded
};

Bytes Build(const BmpSpec& s)
{
    Bytes b(std::max<size_t>(54, 14 + s.infoSize + 4 * s.table.size() + s.gap), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, uint32_t(b.size()));
    Put32(b, 14, s.infoSize);
    Put32(b, 18, uint32_t(s.width));
    Put32(b, 22, uint32_t(s.height));
    b[26] = 1;
    b[28] = uint8_t(s.bitCount);
    Put32(b, 30, s.compression);
    Put32(b, 46, s.clrUsed);
    for (size_t i = 0; i < s.table.size(); ++i) Put32(b, 14 + s.infoSize + 4 * i, s.table[i]);
    for (const Bytes& r : s.rows) b.insert(b.end(), r.begin(), r.end());
    Put32(b, 2, uint32_t(b.size()));
    return b;
}

struct Decoded {
    int result;
    BmpLayout layout;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> table;
};

Decoded Read(const Bytes& file, const uint32_t* palette = nullptr)
{
    Decoded d{};
    d.table.assign(256, 0xDEADBEEF);
    d.result = BmpReadLayout(file.data(), file.size(), &d.layout);
    if (d.result != 0) return d;
    d.pixels.assign(size_t(d.layout.width) * d.layout.height, 0xDEADBEEF);
    d.result = BmpDecode(file.data(), file.size(), palette, d.table.data(), d.pixels.data(), d.pixels.size());
    return d;
}

}  // namespace

TEST(BmpRead, EightBitsWithFullAndShortTables)
{
    BmpSpec s;
    s.width = 2;
    s.bitCount = 8;
    s.table.assign(256, 0);
    s.table[0] = 0xFF112233;  // reserved byte set: the pixel still gets a zero fourth byte
    s.table[255] = 0x00445566;
    s.rows = {{0, 255, 0, 0}};
    Decoded d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.layout.colorCount, 256u);
    EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0x112233, 0x445566}));
    EXPECT_EQ(d.table[0], 0xFF112233u);

    s.clrUsed = 2;
    s.table = {0x000000AA, 0x000000BB};
    s.rows = {{1, 0, 0, 0}};
    d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0xBB, 0xAA}));
    EXPECT_EQ(d.table[2], 0u);  // entries the file does not give are zero
    // An index beyond a short table reads one of those zeros, inside the 256 entries.
    s.rows = {{1, 200, 0, 0}};
    d = Read(Build(s));
    EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0xBB, 0}));

    // The caller's palette replaces the file's table.
    std::vector<uint32_t> palette(256, 0x00ABCDEF);
    palette[1] = 0xFF010203;
    d = Read(Build(s), palette.data());
    EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0x010203, 0xABCDEF}));
    EXPECT_EQ(d.table, palette);
}

TEST(BmpRead, FourBitRowsOfOddWidth)
{
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 4;
    for (uint32_t i = 0; i < 16; ++i) s.table.push_back(i * 0x010101);
    s.rows = {{0x12, 0x3F, 0xEE, 0xEE}, {0x45, 0x6F, 0xEE, 0xEE}};  // bottom row first
    Decoded d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.layout.rowBytes, 4u);
    EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0x040404, 0x050505, 0x060606, 0x010101, 0x020202, 0x030303}));
}

TEST(BmpRead, TrueColourRowsAndRowOrder)
{
    BmpSpec s;
    s.width = 5;
    s.height = 2;
    Bytes bottom(16, 0), top(16, 0);
    for (int i = 0; i < 15; ++i) { bottom[i] = uint8_t(i); top[i] = uint8_t(100 + i); }
    bottom[15] = top[15] = 0x77;  // padding
    s.rows = {bottom, top};
    s.gap = 10;       // rows found through bfOffBits
    s.compression = 1;  // still read as plain rows
    Decoded d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.layout.rowBytes, 16u);
    EXPECT_EQ(d.pixels[0], 0x666564u);  // top row comes from the second stored row
    EXPECT_EQ(d.pixels[5], 0x020100u);
    EXPECT_EQ(d.pixels[9], 0x0E0D0Cu);

    // Negative height: rows stored top first, read the right way up.
    s.height = -2;
    d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.layout.height, 2);
    EXPECT_EQ(d.pixels[0], 0x020100u);
    EXPECT_EQ(d.pixels[5], 0x666564u);

    // 32 bits keep the fourth byte.
    s.bitCount = 32;
    s.width = 1;
    s.height = 1;
    s.gap = 0;
    s.rows = {{1, 2, 3, 4}};
    d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.pixels[0], 0x04030201u);
}

TEST(BmpRead, LargerInfoHeaderKeepsTheTableBehindIt)
{
    BmpSpec s;
    s.infoSize = 124;
    s.bitCount = 8;
    s.clrUsed = 1;
    s.table = {0x00102030};
    s.rows = {{0, 0, 0, 0}};
    Decoded d = Read(Build(s));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.pixels[0], 0x102030u);
}

TEST(BmpRead, WriterOutputReadsBack)
{
    std::vector<uint32_t> pixels(7 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint32_t(i * 0x0A0B0C) & 0xFFFFFF;
    Bytes file(BmpFileSize24(7, 3));
    BmpWrite24(pixels.data(), 7, 3, file.data());
    Decoded d = Read(file);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.pixels, pixels);
}

TEST(BmpRead, RefusesFilesWithoutASafeReading)
{
    BmpSpec good;
    good.width = 2;
    good.height = 2;
    good.rows = {Bytes(8, 1), Bytes(8, 2)};
    Bytes file = Build(good);
    ASSERT_EQ(Read(file).result, 0);

    auto refused = [](BmpSpec s) { return Read(Build(s)).result == -1; };
    auto with = [&](auto change) { BmpSpec s = good; change(s); return s; };
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.width = 0; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.width = -2; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.height = 0; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.height = INT32_MIN; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.bitCount = 1; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.bitCount = 16; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.infoSize = 12; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.height = 3; })));               // last row missing
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.width = 0x40000000; })));       // 4 * width overflows 32 bits
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.width = 0x7FFFFFFF; s.height = -0x7FFFFFFF; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.bitCount = 8; s.clrUsed = 257; })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.bitCount = 4; s.clrUsed = 17; s.table.assign(17, 0); })));
    EXPECT_TRUE(refused(with([](BmpSpec& s) { s.bitCount = 8; s.table.assign(255, 0); s.rows.clear(); })));

    for (size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_EQ(Read(Bytes(file.begin(), file.begin() + cut)).result, -1) << cut;
    Bytes bad = file;
    Put32(bad, 10, 20);  // rows inside the info header
    EXPECT_EQ(Read(bad).result, -1);
    Put32(bad, 10, 0xFFFFFFF0u);
    EXPECT_EQ(Read(bad).result, -1);
    Put32(bad, 10, 54);
    Put32(bad, 14, 0xFFFFFFF0u);  // info header larger than the file
    EXPECT_EQ(Read(bad).result, -1);
    bad = file;
    bad[1] = 'X';
    EXPECT_EQ(Read(bad).result, -1);
}
