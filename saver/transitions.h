// The three transition effects that bring a slide onto the stage, and their drawing helpers.
// They draw on the process-wide display context and read the view from the settings record.
#pragma once

#include "saver/transition_state.h"

int StripWipe(TransitionState* state);    // 32 strips of 20 pixels, right to left: 61 calls
int SmearDown(TransitionState* state);    // the front row copied over every row above it: 240 calls
int MaskDissolve(TransitionState* state); // 16 mask frames, 16 by 16 blocks: 17 calls

// Copies the 16 by 16 block at (dx, dy) from source to destination where the mask block at
// (mx, my) has a blue byte of 0. Rows that do not lie wholly inside all three surfaces are skipped.
void MaskedBlockCopy(int destination, int dx, int dy, int mask, int mx, int my, int source);
