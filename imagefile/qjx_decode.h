// The QJX stream decoder that every reader of slides shares (the saver's loader, slidetool, the
// benchmarks, the fuzzer), and the checks of a whole slide file held in memory; no Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagefile/qjx_format.h"

// A decoded slide as a top-down 32-bit surface holds it: pixels 0x00RRGGBB, rows one after another.
constexpr size_t kQjxPixelBytes = 4;
constexpr size_t kQjxSurfaceBytes = size_t(kQjxPixelCount) * kQjxPixelBytes;

// Decodes pixelCount pixels from the stream at source into destination as 32-bit pixels 0x00RRGGBB.
// Writes 4 * pixelCount bytes and not one more. Returns 0, or -1 when the stream ends early
// (sourceSize), a reference reaches before the first pixel or runs past pixelCount; on failure the
// destination holds a partial picture.
int QjxDecode(uint8_t* destination, const uint8_t* source, size_t sourceSize, uint32_t pixelCount);

// Checks the magic and that decodedSize is the one size a slide has. 0 or -1.
int QjxCheckHeader(const uint8_t* file, size_t fileSize);

// A whole slide file in memory into kQjxSurfaceBytes of 32-bit pixels, top row first. 0 or -1.
int QjxDecodeFile(const uint8_t* file, size_t fileSize, uint8_t* destination);
