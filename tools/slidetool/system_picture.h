// Pictures in the formats Windows itself reads (JPEG, PNG, GIF where the system has them), through
// the system's OLE picture loader.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes a whole picture file held in memory into *pixels (malloc'd, *width by *height values
// 0x00RRGGBB, top row first). Returns 0, or -1 with *reason saying why in a few words.
int SystemPictureRead(const uint8_t* file, size_t size, uint32_t** pixels, int32_t* width, int32_t* height,
                      const char** reason);
