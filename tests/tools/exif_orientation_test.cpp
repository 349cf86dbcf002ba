// Reading the orientation tag: both byte orders, the tag among other entries and segments, and every
// way a segment can be cut short or point outside itself reads as "no tag".
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tools/slidetool/exif_orientation.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes* b, bool big, uint32_t v)
{
    b->push_back(uint8_t(big ? v >> 8 : v));
    b->push_back(uint8_t(big ? v : v >> 8));
}

void Put32(Bytes* b, bool big, uint32_t v)
{
    Put16(b, big, big ? v >> 16 : v & 0xFFFF);
    Put16(b, big, big ? v & 0xFFFF : v >> 16);
}

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    uint16_t value;
};

// An APP1 segment "Exif" whose first directory holds the entries; directory says where it starts.
Bytes ExifSegment(bool big, const std::vector<Entry>& entries, uint32_t directory = 8)
{
    Bytes tiff = big ? Bytes{'M', 'M', 0, '*'} : Bytes{'I', 'I', '*', 0};
    Put32(&tiff, big, directory);
    Put16(&tiff, big, uint32_t(entries.size()));
    for (const Entry& e : entries) {
        Put16(&tiff, big, e.tag);
        Put16(&tiff, big, e.type);
        Put32(&tiff, big, e.count);
        Put16(&tiff, big, e.value);
        Put16(&tiff, big, 0);
    }
    Put32(&tiff, big, 0);  // no next directory
    Bytes segment = {0xFF, 0xE1, uint8_t((tiff.size() + 8) >> 8), uint8_t(tiff.size() + 8), 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

// A JPEG's start: the picture's first marker, the segments, then the scan.
Bytes Jpeg(const std::vector<Bytes>& segments)
{
    Bytes file = {0xFF, 0xD8};
    for (const Bytes& s : segments) file.insert(file.end(), s.begin(), s.end());
    const Bytes scan = {0xFF, 0xDA, 0x00, 0x02, 0x12, 0x34, 0xFF, 0xD9};
    file.insert(file.end(), scan.begin(), scan.end());
    return file;
}

const Entry kSix = {0x0112, 3, 1, 6};
const Bytes kJfif = {0xFF, 0xE0, 0x00, 0x07, 'J', 'F', 'I', 'F', 0};

// Read from a block of exactly the file's size, so that the sanitizer sees a byte read past its end.
int Read(const Bytes& file)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() + !file.size()]);
    std::copy(file.begin(), file.end(), exact.get());
    return ExifOrientation(exact.get(), file.size());
}

}  // namespace

TEST(ExifOrientation, ReadsEitherByteOrder)
{
    for (int value = 1; value <= 8; ++value) {
        EXPECT_EQ(Read(Jpeg({ExifSegment(false, {{0x0112, 3, 1, uint16_t(value)}})})), value);
        EXPECT_EQ(Read(Jpeg({ExifSegment(true, {{0x0112, 3, 1, uint16_t(value)}})})), value);
    }
}

TEST(ExifOrientation, FindsTheTagAmongOtherEntriesAndSegments)
{
    const Bytes xmp = {0xFF, 0xE1, 0x00, 0x06, 'h', 't', 't', 'p'};  // another APP1, not Exif
    EXPECT_EQ(Read(Jpeg({kJfif, xmp, ExifSegment(true, {{0x010F, 2, 4, 0}, {0x0110, 2, 4, 0}, kSix})})), 6);
    Bytes filled = Jpeg({ExifSegment(false, {kSix})});
    filled.insert(filled.begin() + 2, {0xFF, 0xFF});  // fill bytes before a marker
    EXPECT_EQ(Read(filled), 6);
}

TEST(ExifOrientation, NoTagWithoutAValidOrientationEntry)
{
    EXPECT_EQ(Read(Jpeg({kJfif})), 0);
    EXPECT_EQ(Read(Jpeg({ExifSegment(false, {{0x0112, 3, 1, 0}})})), 0);
    EXPECT_EQ(Read(Jpeg({ExifSegment(false, {{0x0112, 3, 1, 9}})})), 0);
    EXPECT_EQ(Read(Jpeg({ExifSegment(false, {{0x0112, 4, 1, 6}})})), 0) << "not a SHORT";
    EXPECT_EQ(Read(Jpeg({ExifSegment(false, {{0x0112, 3, 0, 6}})})), 0) << "no values";
    Bytes afterScan = Jpeg({});
    const Bytes exif = ExifSegment(false, {kSix});
    afterScan.insert(afterScan.begin() + 6, exif.begin(), exif.end());  // right after the scan's header
    EXPECT_EQ(Read(afterScan), 0) << "an Exif segment inside the scan data";
    Bytes notJpeg = Jpeg({exif});
    notJpeg[1] = 0xD9;
    EXPECT_EQ(Read(notJpeg), 0);
}

TEST(ExifOrientation, CutShortAnywhereIsNoTag)
{
    const Bytes whole = Jpeg({kJfif, ExifSegment(true, {{0x010F, 2, 4, 0}, kSix})});
    ASSERT_EQ(Read(whole), 6);
    const size_t exifEnd = 2 + kJfif.size() + ExifSegment(true, {{0x010F, 2, 4, 0}, kSix}).size();
    for (size_t size = 0; size < exifEnd; ++size) {
        const Bytes cut(whole.begin(), whole.begin() + long(size));
        EXPECT_EQ(Read(cut), 0) << size << " bytes";
    }
}

TEST(ExifOrientation, SizesAndOffsetsPointingOutsideAreNoTag)
{
    Bytes longer = Jpeg({ExifSegment(false, {kSix})});
    longer[4] = 0x7F;  // the segment claims more bytes than the file holds
    EXPECT_EQ(Read(longer), 0);
    Bytes tooShort = Jpeg({ExifSegment(false, {kSix})});
    tooShort[4] = 0, tooShort[5] = 1;  // a length shorter than its own two bytes
    EXPECT_EQ(Read(tooShort), 0);
    EXPECT_EQ(Read(Jpeg({ExifSegment(false, {kSix}, 20)})), 0) << "directory past the segment's end";
    EXPECT_EQ(Read(Jpeg({ExifSegment(false, {kSix}, 0xFFFFFFFF)})), 0) << "directory offset near 2^32";
    Bytes lastByte = {0xFF, 0xD8};  // the directory's count would be the segment's last byte and the next
    const Bytes atEnd = ExifSegment(false, {kSix}, 25);
    lastByte.insert(lastByte.end(), atEnd.begin(), atEnd.end());
    EXPECT_EQ(Read(lastByte), 0);
    Bytes manyEntries = Jpeg({ExifSegment(false, {{0x010F, 2, 4, 0}, kSix})});
    manyEntries[2 + 4 + 6 + 8] = 0xFF;  // 255 entries declared, two there
    EXPECT_EQ(Read(manyEntries), 0);
}
