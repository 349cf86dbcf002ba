// Reading the orientation tag: the tag among other entries and segments, and entries that do not make one.
// Each value in both byte orders: makeshow_test. Values past 8, and segments cut short or pointing outside
// themselves, are the fuzzer's: it finds a planted fault in any of those checks within seconds.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tools/slidetool/exif_orientation.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Entry = std::array<uint32_t, 4>;  // tag, type, count, value

const Entry kSix = {0x0112, 3, 1, 6};
const Entry kMaker = {0x010F, 2, 4, 0};

// A JPEG's start, the segments before, and an APP1 segment "Exif" whose first directory holds the entries.
Bytes Jpeg(bool big, const std::vector<Entry>& entries, const Bytes& before = {})
{
    Bytes tiff = big ? Bytes{'M', 'M', 0, '*'} : Bytes{'I', 'I', '*', 0};
    const auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) tiff.push_back(uint8_t(v >> 8 * (big ? bytes - 1 - i : i)));
    };
    put(8, 4);  // the directory right after the header
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
    return file;
}

// An empty APP0 (JFIF's), an empty APP1 (so not Exif), then Exif with the tag after another entry.
const Bytes kWhole = Jpeg(true, {kMaker, kSix}, {0xFF, 0xE0, 0, 2, 0xFF, 0xE1, 0, 2});

int Read(const Bytes& file) { return ExifOrientation(file.data(), file.size()); }

}  // namespace

TEST(ExifOrientation, FindsTheTagAfterOtherSegmentsAndEntries)
{
    EXPECT_EQ(Read(kWhole), 6);
}

TEST(ExifOrientation, NoTagWithoutAValidOrientationEntry)
{
    const struct { const char* name; Bytes file; } cases[] = {
        {"not a SHORT", Jpeg(false, {{0x0112, 4, 1, 6}})},
        {"no values", Jpeg(false, {{0x0112, 3, 0, 6}})},
        {"inside the scan data", Jpeg(false, {kSix}, {0xFF, 0xDA, 0x00, 0x02})},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.file), 0) << c.name;
}
