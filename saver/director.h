// The slideshow director: one tick of the show, and loading pictures from the slide folder.
#pragma once

#include "imagefile/show_shape.h"
#include "saver/transition_state.h"

class CDIB;
struct TSaverSettings;

enum class TransitionKind {
    None = -1,             // no change set up yet in this show
    Dissolve = 0,          // MaskDissolve brings in the new slide
    Smear = 1,             // SmearDown over the picture on show
    Wipe = 2,              // StripWipe brings in the new slide
    DissolveAndSmear = 3,  // MaskDissolve, then after a hold SmearDown
};

const int kHoldTicks = 150;

// Slots of the display context: the incoming slide and the dissolve's mask strip.
const int kSlideSlot = 0;
const int kMaskSlot = 2;

// Room for a slide folder of a whole path buffer, a separator and a picture's name.
const int kPicturePathBytes = 2 * 260;

// The director's own state beside the settings record's showPhase, holdTicks and transitionStep:
// the record handed to the running step, the cycle of slides, the kinds of the changes. The frame
// thread owns it for one show; the fields start as a new show has them.
struct ShowDirector {
    TransitionState transition = {};
    int firstSlide = 1;
    TransitionKind currentKind = TransitionKind::None;
    TransitionKind previousKind = TransitionKind::None;
    unsigned char usedSlides[kSlideCount] = {};
    char missingPicture[kPicturePathBytes] = {};  // full path of the picture a tick could not load
};

// Where the show is drawn: the display context with its slots, the stage's place on the window and
// the folder the pictures are read from.
struct ShowTarget {
    CDIB& display;
    const TRect32& view;
    const char* folder;
};

// One tick of the show. 0, or -1 when a picture could not be loaded: its full path is then in
// director.missingPicture for the caller to report, and the next tick tries again.
int DirectorTick(TSaverSettings* settings, ShowDirector& director, const ShowTarget& target);

// Joins a folder and a file name with a backslash between them unless the folder is empty or already
// ends in one; returns the length of the whole text, even when pathSize cut it short.
int BuildPicturePath(const char* folder, const char* name, char* path, unsigned pathSize);
