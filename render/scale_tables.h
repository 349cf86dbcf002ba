// The two lookup tables shared by every surface: level x value / 255 without a division per pixel.
#pragma once

#include <windows.h>

// Builds both tables unless they exist; all or nothing. True when both exist afterwards.
bool BuildScaleTables();
// Releases both tables (when the last surface goes away).
void ReleaseScaleTables();

// [level * 256 + v] = floor(level * v / 255), level and v in 0..255. Null while not built.
const BYTE* ScaleTable();
// [level * 512 + 256 + d] = level * d / 255 truncated toward zero, d in -255..255, as a two's-complement
// byte to be added to a colour byte modulo 256. Null while not built.
const BYTE* SignedScaleTable();
