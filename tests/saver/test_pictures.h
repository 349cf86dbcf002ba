// Pictures for slideshow tests: 24-bit BMP files written from a pixel function, and the dissolve mask.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "e2e.h"

namespace test_pictures {

// pixel(x, y) gives 0x00RRGGBB; rows are stored bottom-up as BMP files have them.
inline bool WriteBmp(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    int stride = (width * 3 + 3) & ~3;
    std::string bytes(54 + stride * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y) {
        size_t row = 54 + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            uint32_t c = pixel(x, y);
            bytes[row + 3 * x] = static_cast<char>(c);
            bytes[row + 3 * x + 1] = static_cast<char>(c >> 8);
            bytes[row + 3 * x + 2] = static_cast<char>(c >> 16);
        }
    }
    return e2e::WriteFileBytes(path, bytes);
}

// The colour of test slide n (1 to 15): distinct, never black.
inline uint32_t SlideColour(int n) { return 0x00102030u + static_cast<uint32_t>(n) * 0x00080A0Cu; }

// A 256 by 16 mask strip: in frame f the first 16 (f + 1) pixels of the block (row by row) are black.
inline bool WriteMask(const std::string& path)
{
    return WriteBmp(path, 256, 16, [](int x, int y) {
        int frame = x / 16;
        int order = y * 16 + x % 16;
        return order < 16 * (frame + 1) ? 0u : 0x00FFFFFFu;
    });
}

}  // namespace test_pictures
