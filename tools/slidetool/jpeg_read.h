// Baseline JPEG photos decoded at a reduced scale: an 8 by 8 block gives 8, 4, 2 or 1 pixels a side,
// each the average of the pixels it stands for, so a camera's photo costs little more than its Huffman
// decoding. Plain code, no Win32: it reads bytes from any file it is given. Progressive, arithmetic-coded,
// 12-bit, CMYK and unusually subsampled files are left to the system's loader.
#pragma once

#include <cstddef>
#include <cstdint>

// The picture's size as stored, from a baseline JPEG this reader decodes; -1 for any other file.
int JpegReadSize(const uint8_t* file, size_t size, int32_t* width, int32_t* height);

// The largest shift (0 to 3) at which a width by height picture still has needWidth by needHeight pixels.
int JpegShiftFor(int32_t width, int32_t height, int32_t needWidth, int32_t needHeight);

// Decodes the file at 1 / 2^shift of its size (shift 0 to 3; each side rounded up) into *pixels (malloc'd,
// *width by *height values 0x00RRGGBB, top row first). Returns 0, or -1 for a file it does not decode
// (what JpegReadSize refuses, a damaged stream) or when memory ran out. Data cut short reads as zeros.
int JpegDecode(const uint8_t* file, size_t size, int shift, uint32_t** pixels, int32_t* width, int32_t* height);
