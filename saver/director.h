// The slideshow director: one tick of the show, and loading pictures from the slide folder.
#pragma once

#include "imagefile/show_shape.h"
#include "saver/transition_state.h"

struct TSaverSettings;

enum class TransitionKind {
    None = -1,             // no change set up yet in this show
    Dissolve = 0,          // MaskDissolve brings in the new slide
    Smear = 1,             // SmearDown over the picture on show
    Wipe = 2,              // StripWipe brings in the new slide
    DissolveAndSmear = 3,  // MaskDissolve, then after a hold SmearDown
};

const int kHoldTicks = 150;

// Process-wide director state.
extern TransitionState transitionState;
extern int firstSlide;
extern TransitionKind currentKind;
extern TransitionKind previousKind;
extern unsigned char usedSlides[kSlideCount];

void DirectorTick(TSaverSettings* settings);
// Loads a picture of the slide folder into a slot; on failure shows its message box, then -1.
int LoadPicture(int slot, const char* name);
// Joins a folder and a file name with a backslash between them unless the folder is empty or already
// ends in one; returns the length of the whole text, even when pathSize cut it short.
int BuildPicturePath(const char* folder, const char* name, char* path, unsigned pathSize);
