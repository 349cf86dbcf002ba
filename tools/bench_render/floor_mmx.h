// Reference loops for bench_render over pairs of pixels (8 bytes each; a multiple of 4 pairs), in the
// order of memory:
// FloorConstant: d = d + constant, saturating bytes: one load, one operation and one store a pair.
// FloorSum: d = d + s, saturating bytes: two loads, one operation and one store a pair.
// FloorScale: d widened to 16-bit lanes, multiplied by a level and packed back, the least a routine that
// scales bytes by a level does.
// FloorWiden: d and s widened to 16-bit lanes, added and packed back, the least a routine that works
// on the bytes of both pictures in 16-bit lanes does.
#pragma once

#include <windows.h>

void FloorConstant(DWORD* d, int pairs);
void FloorSum(DWORD* d, const DWORD* s, int pairs);
void FloorScale(DWORD* d, int pairs);
void FloorWiden(DWORD* d, const DWORD* s, int pairs);
