// 0x00RRGGBB pixels as the three bytes blue, green, red that BMP rows and QJX streams hold.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes count pixels as 3 * count bytes into out; the fourth byte of each pixel is dropped.
void PackBgr(const uint32_t* pixels, size_t count, uint8_t* out);
