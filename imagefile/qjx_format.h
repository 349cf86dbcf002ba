// QJX slide files: the fixed picture size and the file header, shared by the reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagefile/show_shape.h"

// Layout: "QJ", decodedSize (u32 LE), then groups of one flag byte (bit 7 first) and up to eight items:
// flag bit 1 = literal pixel (blue, green, red); 0 = reference word W (LE),
// length (W & 15) + 1 pixels, distance (W >> 4) + 1 pixels back.
// A slide is always the stage's size.
constexpr int kQjxWidth = kStageWidth;
constexpr int kQjxHeight = kStageHeight;
constexpr uint32_t kQjxPixelCount = uint32_t(kQjxWidth) * kQjxHeight;
constexpr uint32_t kQjxDecodedSize = kQjxPixelCount * 3;  // 921600
constexpr uint32_t kQjxRowBytes = uint32_t(kQjxWidth) * 3;
constexpr size_t kQjxHeaderSize = 6;
constexpr uint8_t kQjxMagic0 = 0x51;  // 'Q'
constexpr uint8_t kQjxMagic1 = 0x4A;  // 'J'
constexpr uint32_t kQjxMaxLength = 16;
constexpr uint32_t kQjxMaxDistance = 4096;
