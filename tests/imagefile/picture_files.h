// Picture files made by hand for the imagefile tests: BMP files of any layout, 24-bit BMPs from pixels,
// and a slide whose encoding needs literals, short references and long runs.
#pragma once

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "imagefile/qjx_decode.h"
#include "tools/picture_write/bmp_write.h"
#include "tools/picture_write/qjx_encode.h"

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

inline void Put32(Bytes& b, size_t at, uint32_t v) { for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k)); }

struct BmpSpec {
    int32_t width = 1, height = 1;
    int bitCount = 24;
    Pixels table;  // written as stored
    Bytes rows;    // stored order, already padded
    uint32_t clrUsed = 0, infoSize = 40, compression = 0;
    size_t gap = 0;  // bytes between the table and the rows (bfOffBits points past them)
};

inline Bytes BuildBmp(const BmpSpec& s)
{
    Bytes b(std::max<size_t>(54, 14 + s.infoSize + 4 * s.table.size() + s.gap), 0);
    const uint32_t offBits = uint32_t(b.size());
    for (size_t i = 0; i < s.table.size(); ++i) Put32(b, 14 + s.infoSize + 4 * i, s.table[i]);
    b.insert(b.end(), s.rows.begin(), s.rows.end());
    const std::pair<size_t, uint32_t> fields[] = {{0, 'B' | 'M' << 8}, {2, uint32_t(b.size())}, {10, offBits},
        {14, s.infoSize}, {18, uint32_t(s.width)}, {22, uint32_t(s.height)}, {26, 1 | uint32_t(s.bitCount) << 16},
        {30, s.compression}, {46, s.clrUsed}};
    for (const auto& [at, value] : fields) Put32(b, at, value);
    return b;
}

inline Bytes Bmp24(const Pixels& topRowFirst, int width, int height)
{
    Bytes file(BmpFileSize24(width, height));
    BmpWrite24(topRowFirst.data(), width, height, file.data());
    return file;
}

// Pixels 0x00RRGGBB: grey rows (long runs), a 13-pixel pattern (short references), then noise.
inline Pixels SlidePicture()
{
    Pixels picture(kQjxPixelCount);
    std::mt19937 rng(3);
    for (uint32_t i = 0; i < kQjxPixelCount; ++i) {
        const uint32_t y = i / kQjxWidth;
        picture[i] = (y < 160 ? y * 0x010101 : y < 400 ? (i % 13) * 0x0A1B2C + y % 3 : rng()) & 0xFFFFFF;
    }
    return picture;
}

inline Bytes EncodeSlide(const Pixels& picture)
{
    Bytes bgr(kQjxDecodedSize), file(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
    for (uint32_t i = 0; i < kQjxPixelCount; ++i) std::memcpy(&bgr[3 * i], &picture[i], 3);
    file.resize(QjxEncodeFile(bgr.data(), file.data()));
    return file;
}
