// Pictures made by hand for the imagefile tests: BMP files of any layout, 24-bit BMPs, a slide's picture.
#pragma once

#include <cstring>
#include <vector>

#include "tools/picture_write/bmp_write.h"
#include "tools/picture_write/qjx_encode.h"

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

inline void Put32(Bytes& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }

struct BmpSpec {
    int32_t width = 1, height = 1;
    int bitCount = 24;
    Pixels table;  // written as stored
    Bytes rows;    // stored order, already padded
    uint32_t clrUsed = 0, infoSize = 40, compression = 0, gap = 0;  // gap: bytes between table and rows
};

inline Bytes BuildBmp(const BmpSpec& s)
{
    Bytes b(14 + s.infoSize + 4 * s.table.size() + s.gap, 0);
    for (size_t i = 0; i < s.table.size(); ++i) Put32(b, 14 + s.infoSize + 4 * i, s.table[i]);
    const uint32_t fields[][2] = {{0, 0x4D42}, {10, uint32_t(b.size())}, {14, s.infoSize}, {18, uint32_t(s.width)},
        {22, uint32_t(s.height)}, {26, 1 | uint32_t(s.bitCount) << 16}, {30, s.compression}, {46, s.clrUsed}};
    for (const auto& f : fields) Put32(b, f[0], f[1]);  // "BM" first; the file's size, at 2, stays 0
    b.insert(b.end(), s.rows.begin(), s.rows.end());
    return b;
}

inline Bytes Bmp24(const Pixels& topRowFirst, int width, int height)
{
    Bytes file(BmpFileSize24(width, height));
    BmpWrite24(topRowFirst.data(), width, height, file.data());
    return file;
}

// Stripes, as the README suggests, with some noise.
inline Pixels SlidePicture()
{
    Pixels picture(kQjxPixelCount);
    for (uint32_t i = 0; i < kQjxPixelCount; ++i)
        picture[i] = ((i % 640) / 20 * 0x081020 + (i / 640) % 7 * 0x30 + (i * 2654435761u >> 29)) & 0xFFFFFF;
    return picture;
}
