// Picture files made by hand for the imagefile tests: BMP files of any layout, 24-bit BMPs from pixels,
// and a slide picture whose encoding needs literals, short references and long runs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imagefile/bmp_write.h"
#include "imagefile/qjx_encode.h"

using Bytes = std::vector<uint8_t>;

inline std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }
inline void Put32(Bytes& b, size_t at, uint32_t v) { for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k)); }

struct BmpSpec {
    int32_t width = 1, height = 1;
    int bitCount = 24;
    std::vector<uint32_t> table;  // written as stored
    Bytes rows;                   // stored order, already padded
    uint32_t clrUsed = 0, infoSize = 40, compression = 0;
    size_t gap = 0;               // bytes between the table and the rows (bfOffBits points past them)
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

// pixels: 0x00RRGGBB, top row first.
inline Bytes Bmp24(const std::vector<uint32_t>& pixels, int width, int height)
{
    Bytes file(BmpFileSize24(width, height));
    BmpWrite24(pixels.data(), width, height, file.data());
    return file;
}

// Blue, green, red, top row first: grey rows (long runs), a 13-pixel pattern (short references),
// then noise (literals).
inline Bytes SlidePicture()
{
    Bytes picture(kQjxDecodedSize);
    std::mt19937 rng(3);
    for (size_t i = 0; i < picture.size(); ++i) {
        const size_t y = i / kQjxRowBytes;
        picture[i] = uint8_t(y < 160 ? y : y < 400 ? i % 39 * 19 + y % 3 : rng());
    }
    return picture;
}

inline Bytes EncodeSlide(const Bytes& picture)
{
    Bytes file(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
    file.resize(QjxEncodeFile(picture.data(), file.data()));
    return file;
}
