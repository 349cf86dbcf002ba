// The QJX writer used by the show-making tools: an LZ77 encoder with an optimal parse; no Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagefile/qjx_format.h"

// Largest stream the encoder can produce for pixelCount pixels: all literals, one flag byte per 8.
size_t QjxMaxStreamSize(uint32_t pixelCount);

// Encodes pixelCount pixels of blue, green, red into out (QjxMaxStreamSize bytes of room).
// Returns the stream's length, or 0 when working memory could not be had.
size_t QjxEncodeStream(const uint8_t* pixels, uint32_t pixelCount, uint8_t* out);

// A whole slide file (header and stream) from kQjxDecodedSize bytes, top row first, into out
// (kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount) bytes of room). Returns its length, or 0.
size_t QjxEncodeFile(const uint8_t* pixels, uint8_t* out);
