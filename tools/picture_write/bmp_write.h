// Writes plain 24-bit bottom-up BMP files for the show-making tools; no Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>

size_t BmpFileSize24(int32_t width, int32_t height);

// pixels: width * height values 0x00RRGGBB, top row first. out: BmpFileSize24 bytes.
void BmpWrite24(const uint32_t* pixels, int32_t width, int32_t height, uint8_t* out);
