// slidetool makeshow: a whole show folder (fifteen slides and the dissolve's mask) from a person's
// own pictures.
#pragma once

#include <cstddef>
#include <cstdint>

// A slide file from kQjxPixelCount pixels 0x00RRGGBB, top row first, into out (kQjxHeaderSize +
// QjxMaxStreamSize(kQjxPixelCount) bytes of room). Returns its length, or 0 when memory ran out.
size_t EncodeSlide(const uint32_t* pixels, uint8_t* out);

// Writes slide_01.qjx to slide_15.qjx and tile.bmp into folder from count pictures (BMP, or what the
// system's picture loader reads), all or nothing. skipped ends the summary line (what was left out of
// the pictures' folders, or ""). Returns the program's exit code.
int MakeShow(const char* folder, const char* const* pictures, int count, const char* skipped);
