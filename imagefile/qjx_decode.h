// The QJX stream decoder and the checks of a whole QJX file held in memory; no Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagefile/qjx_format.h"

// Decodes pixelCount pixels (3 bytes each) from the stream at source into destination, which must
// hold 3 * pixelCount bytes. Returns 0, or -1 when the stream ends early (sourceSize), a reference
// reaches before the first pixel or runs past pixelCount. Nothing outside either buffer is touched;
// on failure the destination holds a partial picture.
int QjxDecode(uint8_t* destination, const uint8_t* source, size_t sourceSize, uint32_t pixelCount);

// As QjxDecode, but into 32-bit pixels 0x00RRGGBB, pixelCount * 4 bytes, rows one after another
// (a top-down surface's memory). Same checks and result.
int QjxDecodeToPixels(uint8_t* destination, const uint8_t* source, size_t sourceSize, uint32_t pixelCount);

// Checks the magic and that decodedSize is the one size a slide has. 0 or -1.
int QjxCheckHeader(const uint8_t* file, size_t fileSize);

// A whole file in memory into kQjxDecodedSize bytes of blue, green, red, top row first. 0 or -1.
int QjxDecodeFile(const uint8_t* file, size_t fileSize, uint8_t* destination);

// One decoded row (kQjxWidth pixels) to 32-bit pixels 0x00RRGGBB. Reads 4 bytes per pixel, so
// the source must have one readable byte after the row (the decode buffer keeps 4 spare bytes).
void QjxConvertRow(void* destination, const uint8_t* source);
