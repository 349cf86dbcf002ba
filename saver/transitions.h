// The three transition effects that bring a slide onto the stage, and their drawing helper. Each
// draws on the display context it is given and shows what it changed where the view places the stage.
#pragma once

#include "saver/transition_state.h"

int StripWipe(TransitionState* state, CDIB& display, const TRect32& view);     // 32 strips, right to left: 61 calls
int SmearDown(TransitionState* state, CDIB& display, const TRect32& view);     // front row over the rows above: 240
int MaskDissolve(TransitionState* state, CDIB& display, const TRect32& view);  // 16 mask frames: 17 calls

// Copies the 16 by 16 block at (dx, dy) from source to destination where the mask block at
// (mx, my) has a blue byte of 0. Rows that do not lie wholly inside all three surfaces are skipped.
void MaskedBlockCopy(CDIB& display, int destination, int dx, int dy, int mask, int mx, int my, int source);
