// The block dissolve's mask strip "tile.bmp" as a whole BMP file: sixteen 16 by 16 frames side by
// side, each black wherever a pixel has switched by that frame, the last one all black.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes of the whole file.
size_t DissolveMaskFileSize();

// Writes the file into out (DissolveMaskFileSize bytes).
void DissolveMaskWrite(uint8_t* out);
