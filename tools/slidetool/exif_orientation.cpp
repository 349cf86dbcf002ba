// Finds the orientation tag in a JPEG's Exif segment. Every offset in the segment comes from the file,
// so each is checked against the segment's end in 64-bit arithmetic before a byte behind it is read.
#include "tools/slidetool/exif_orientation.h"

#include <cstring>

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr uint64_t kEntrySize = 12;  // tag, type, count, value or offset

// The TIFF structure inside the segment, in its own byte order.
struct Tiff {
    const uint8_t* base;
    uint64_t size;
    bool bigEndian;
    uint16_t U16(uint64_t at) const
    {
        return bigEndian ? uint16_t(base[at] << 8 | base[at + 1]) : uint16_t(base[at] | base[at + 1] << 8);
    }
    uint32_t U32(uint64_t at) const
    {
        return bigEndian ? uint32_t(U16(at)) << 16 | U16(at + 2) : uint32_t(U16(at + 2)) << 16 | U16(at);
    }
};

int OrientationInTiff(const uint8_t* base, uint64_t size)
{
    if (size < 8) return 0;
    Tiff tiff{base, size, false};
    if (std::memcmp(base, "MM\0*", 4) == 0) tiff.bigEndian = true;
    else if (std::memcmp(base, "II*\0", 4) != 0) return 0;
    const uint64_t directory = tiff.U32(4);
    if (directory > size || size - directory < 2) return 0;
    const uint64_t entries = tiff.U16(directory);
    if (entries * kEntrySize > size - directory - 2) return 0;  // a directory longer than its segment
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t at = directory + 2 + i * kEntrySize;
        if (tiff.U16(at) != kOrientationTag) continue;
        // A SHORT value of count 1 sits in the first two bytes of the value field.
        if (tiff.U16(at + 2) != kTypeShort || tiff.U32(at + 4) < 1) return 0;
        const int value = tiff.U16(at + 8);
        return value >= 1 && value <= 8 ? value : 0;
    }
    return 0;
}

}  // namespace

int ExifOrientation(const uint8_t* file, size_t fileSize)
{
    const uint64_t size = fileSize;
    if (size < 4 || file[0] != 0xFF || file[1] != 0xD8) return 0;
    uint64_t at = 2;
    // The segments before the scan: a marker (0xFF, any fill bytes 0xFF, then its code) and, for all
    // but the stand-alone markers, a big-endian length that counts itself.
    while (at < size) {
        if (file[at] != 0xFF) return 0;
        while (at < size && file[at] == 0xFF) ++at;
        if (at >= size) return 0;
        const uint8_t code = file[at++];
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;
        if (code == 0xD9 || code == 0xDA) return 0;  // end of picture, or the scan: no Exif before it
        if (size - at < 2) return 0;
        const uint64_t length = uint64_t(file[at]) << 8 | file[at + 1];
        if (length < 2 || length > size - at) return 0;
        const uint8_t* body = file + at + 2;
        const uint64_t bodySize = length - 2;
        if (code == 0xE1 && bodySize >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return OrientationInTiff(body + 6, bodySize - 6);
        at += length;
    }
    return 0;
}
