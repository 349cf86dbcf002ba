// Reading the orientation tag: the tag among other entries and segments, and a segment that is cut short or
// points outside itself reads as "no tag" (the fuzzer cuts it everywhere). Each value in both byte orders:
// makeshow_test.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tools/slidetool/exif_orientation.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Entry = std::array<uint32_t, 4>;  // tag, type, count, value

const Entry kSix = {0x0112, 3, 1, 6};
const Entry kMaker = {0x010F, 2, 4, 0};

// A JPEG's start, the segments before, and an APP1 segment "Exif" whose first directory (at offset
// directory) holds the entries; nothing after it, so that the sanitizer sees a byte read past the
// segment. With at, the file's byte at is value instead.
Bytes Jpeg(bool big, const std::vector<Entry>& entries, const Bytes& before = {}, uint32_t directory = 8,
           size_t at = 0, uint8_t value = 0xFF)
{
    Bytes tiff = big ? Bytes{'M', 'M', 0, '*'} : Bytes{'I', 'I', '*', 0};
    const auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) tiff.push_back(uint8_t(v >> 8 * (big ? bytes - 1 - i : i)));
    };
    put(directory, 4);
    put(uint32_t(entries.size()), 2);
    for (const Entry& e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
        put(e[3] << (big ? 16 : 0), 4);  // a SHORT sits in the first two bytes of the field
    }
    put(0, 4);  // no next directory
    Bytes file = {0xFF, 0xD8};
    file.insert(file.end(), before.begin(), before.end());
    file.insert(file.end(), {0xFF, 0xE1, uint8_t((tiff.size() + 8) >> 8), uint8_t(tiff.size() + 8)});
    file.insert(file.end(), {'E', 'x', 'i', 'f', 0, 0});
    file.insert(file.end(), tiff.begin(), tiff.end());
    if (at) file[at] = value;
    return file;
}

// An empty APP0 (JFIF's), an empty APP1 (so not Exif), then Exif with the tag after another entry.
const Bytes kWhole = Jpeg(true, {kMaker, kSix}, {0xFF, 0xE0, 0, 2, 0xFF, 0xE1, 0, 2});

// Read from a block of exactly the file's size, so that the sanitizer sees a byte read past its end.
int Read(Bytes file)
{
    file.shrink_to_fit();
    return ExifOrientation(file.data(), file.size());
}

}  // namespace

TEST(ExifOrientation, FindsTheTagAfterOtherSegmentsAndEntries)
{
    EXPECT_EQ(Read(kWhole), 6);
}

TEST(ExifOrientation, NoTagWithoutAValidOrientationEntry)
{
    const struct { const char* name; Bytes file; } cases[] = {
        {"value 0", Jpeg(false, {{0x0112, 3, 1, 0}})},
        {"value 9", Jpeg(true, {{0x0112, 3, 1, 9}})},
        {"not a SHORT", Jpeg(false, {{0x0112, 4, 1, 6}})},
        {"no values", Jpeg(false, {{0x0112, 3, 0, 6}})},
        {"inside the scan data", Jpeg(false, {kSix}, {0xFF, 0xDA, 0x00, 0x02})},
        {"not a JPEG", Jpeg(false, {kSix}, {}, 8, 1, 0xD9)},
        {"segment longer than the file", Jpeg(false, {kSix}, {}, 8, 4, 0x7F)},
        {"length 1, shorter than its own bytes", Jpeg(false, {kSix}, {}, 8, 5, 1)},  // 0x0001 with byte 4 at 0
        {"directory past the segment's end", Jpeg(false, {kSix}, {}, 20)},
        {"directory offset near 2^32", Jpeg(false, {kSix}, {}, 0xFFFFFFFF)},
        {"directory count on the last byte", Jpeg(false, {kSix}, {}, 25)},
        {"255 entries declared, two there", Jpeg(false, {kMaker, kSix}, {}, 8, 2 + 4 + 6 + 8)},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.file), 0) << c.name;
}
