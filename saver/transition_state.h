// The record handed to the running transition step: phase, the director's parameters, and the
// effect's own progress, as signed 32-bit words shared by all effects (one runs at a time).
#pragma once

#include "imagefile/show_shape.h"

class CDIB;

struct TransitionState {
    int phase;  // 0 before the first call of an effect
    union {
        struct {
            int sourceSlot;  // slot of the new picture
            int stagger;     // -32 at the start, +1 a step
            int step;        // steps done, 0 to 60
        } wipe;
        struct {
            int unused1;
            int unused2;
            int row;  // the smear front: 2, 4, ... 478
        } smear;
        struct {
            int maskSlot;    // slot of the mask strip
            int maskX;       // first mask block in the mask surface
            int maskY;
            int sourceSlot;  // slot of the new picture
            int unused5;
            int frame;       // frames done, 0 to 16
        } dissolve;
    };
};

// A step of a transition: draws on the display context's stage and shows what it changed where view
// places the stage on the window; 0 while it goes on, -1 when it has finished (that call draws nothing).
typedef int (*TransitionStepProc)(TransitionState* state, CDIB& display, const TRect32& view);
