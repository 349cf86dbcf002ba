// GDI's nearest-neighbour sampling (StretchBlt in COLORONCOLOR mode), learnt by stretching a line of
// index pixels, so that software can draw the same pixels by copying.
#pragma once

#include <windows.h>

class CDIBSurface;

// Fills map[0..to) with the index (0..from-1) of the source column, or row when vertical, that StretchBlt
// shows in each of to target columns (rows) when it stretches from of them to to, and *fourth with the
// mask of the bits of a pixel that it carries over (0xFFFFFFFF, or 0xFFFFFF when it clears the fourth
// byte). False when it could not learn (a size not positive, or no memory), and then the caller leaves
// the drawing to StretchBlt. Any thread may call it.
bool LearnStretchSampling(int from, int to, bool vertical, int* map, DWORD* fourth);

// Draws dh rows of dw pixels at (tx, ty) of target from the rectangle at (sx, sy) of source: pixel j of
// row i is source pixel (sx + columnOf[j], sy + rowOf[i]) with the bits of keep, and a row that shows the
// same source row as the one above is a copy of it. Both rectangles must lie inside their surfaces.
void CopySampled(CDIBSurface* target, int tx, int ty, CDIBSurface* source, int sx, int sy, const int* columnOf,
                 int dw, const int* rowOf, int dh, DWORD keep);
