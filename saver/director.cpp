// Director: loads "tile.bmp", draws the slides without repeats in a cycle of fifteen, picks each
// slide's transition, and holds every picture for 150 ticks before the next change.
#include "saver/director.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "render/display_context.h"
#include "saver/settings.h"
#include "saver/transitions.h"

namespace {

// True when the text's last character (not merely its last byte) is a backslash.
bool EndsWithSeparator(const char* text)
{
    bool last = false;
    for (const char* p = text; *p != '\0'; ++p) {
        last = (*p == '\\');
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') ++p;
    }
    return last;
}

// Loads a picture of the slide folder into a slot; on failure notes its full path, then -1.
int LoadPicture(ShowDirector& director, const ShowTarget& target, int slot, const char* name)
{
    // Joined in a buffer that always holds folder and name, so that a path too long to load is
    // still reported whole; only a path that fits the program's path buffers is loaded.
    char* path = director.missingPicture;
    int length = BuildPicturePath(target.folder, name, path, sizeof director.missingPicture);
    if (length >= 0 && length < MAX_PATH && target.display.LoadFile(slot, path, nullptr) == 0) return 0;
    return -1;
}

int DrawSlide(unsigned char* usedSlides)
{
    int k = rand() % kSlideCount;
    for (int tries = 1; tries < kSlideCount && usedSlides[k] != 0; ++tries) k = rand() % kSlideCount;
    if (usedSlides[k] != 0 && memchr(usedSlides, 0, kSlideCount) == nullptr) {
        memset(usedSlides, 0, kSlideCount);
        k = rand() % kSlideCount;
    }
    return k;
}

void SetUpChange(TSaverSettings* settings, ShowDirector& director)
{
    TransitionState& state = director.transition;
    int b = rand() % 10;
    state.phase = 0;
    switch (b) {
    case 1: case 3: case 5: case 8:
        director.currentKind = TransitionKind::Wipe;
        settings->transitionStep = StripWipe;
        state.wipe.sourceSlot = kSlideSlot;
        break;
    default:
        const bool smearAfter = b == 0 || b == 7 || b == 9;
        director.currentKind = smearAfter ? TransitionKind::DissolveAndSmear : TransitionKind::Dissolve;
        settings->transitionStep = MaskDissolve;
        state.dissolve.maskSlot = kMaskSlot;
        state.dissolve.maskX = 0;
        state.dissolve.maskY = 0;
        state.dissolve.sourceSlot = kSlideSlot;
        break;
    }
}

}  // namespace

int BuildPicturePath(const char* folder, const char* name, char* path, unsigned pathSize)
{
    const char* separator = folder[0] != '\0' && !EndsWithSeparator(folder) ? "\\" : "";
    return snprintf(path, pathSize, "%s%s%s", folder, separator, name);
}

int DirectorTick(TSaverSettings* settings, ShowDirector& director, const ShowTarget& target)
{
    if (settings->showPhase == 0) {
        if (LoadPicture(director, target, kMaskSlot, NIMBRA_MASK_NAME) != 0) return -1;
        settings->showPhase = 1;
        memset(director.usedSlides, 0, sizeof director.usedSlides);
        director.previousKind = TransitionKind::None;
        director.firstSlide = 1;
        settings->holdTicks = 0;
        settings->transitionStep = nullptr;
    }

    if (settings->holdTicks != 0) {
        settings->holdTicks -= 1;
        if (settings->holdTicks > 0) return 0;
    }

    if (settings->transitionStep != nullptr) {
        if (settings->transitionStep(&director.transition, target.display, target.view) != -1) return 0;
        settings->transitionStep = nullptr;
    }

    if (director.previousKind == TransitionKind::DissolveAndSmear) {
        director.currentKind = TransitionKind::Smear;
        settings->transitionStep = SmearDown;
        director.transition.phase = 0;
        director.previousKind = TransitionKind::Smear;
        settings->holdTicks = kHoldTicks;
        return 0;
    }

    int k = DrawSlide(director.usedSlides);
    director.usedSlides[k] = 1;
    char name[32];
    snprintf(name, sizeof name, NIMBRA_SLIDE_NAME_FORMAT, k + 1);
    if (LoadPicture(director, target, kSlideSlot, name) != 0) return -1;

    SetUpChange(settings, director);
    if (director.firstSlide == 1 || director.previousKind == TransitionKind::Smear) {
        settings->holdTicks = 0;
        director.firstSlide = 0;
    } else {
        settings->holdTicks = kHoldTicks;
    }
    director.previousKind = director.currentKind;
    return 0;
}
