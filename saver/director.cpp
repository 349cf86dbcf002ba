// Director: loads "tile.bmp", draws the slides without repeats in a cycle of fifteen, picks each
// slide's transition, and holds every picture for 150 ticks before the next change.
#include "saver/director.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "render/display_context.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"

TransitionState transitionState;
int firstSlide;
TransitionKind currentKind;
TransitionKind previousKind;
unsigned char usedSlides[kSlideCount];

namespace {

const int kSlideSlot = 0;
const int kMaskSlot = 2;

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

int DrawSlide()
{
    int k = rand() % kSlideCount;
    for (int tries = 1; tries < kSlideCount && usedSlides[k] != 0; ++tries) k = rand() % kSlideCount;
    if (usedSlides[k] != 0) {
        bool allUsed = true;
        for (int i = 0; i < kSlideCount; ++i) allUsed = allUsed && usedSlides[i] != 0;
        if (allUsed) {
            memset(usedSlides, 0, sizeof usedSlides);
            k = rand() % kSlideCount;
        }
    }
    return k;
}

void SetUpChange(TSaverSettings* settings)
{
    int b = rand() % 10;
    transitionState.phase = 0;
    switch (b) {
    case 1: case 3: case 5: case 8:
        currentKind = TransitionKind::Wipe;
        settings->transitionStep = StripWipe;
        transitionState.wipe.sourceSlot = kSlideSlot;
        break;
    default:
        currentKind = (b == 0 || b == 7 || b == 9) ? TransitionKind::DissolveAndSmear : TransitionKind::Dissolve;
        settings->transitionStep = MaskDissolve;
        transitionState.dissolve.maskSlot = kMaskSlot;
        transitionState.dissolve.maskX = 0;
        transitionState.dissolve.maskY = 0;
        transitionState.dissolve.sourceSlot = kSlideSlot;
        break;
    }
}

}  // namespace

int BuildPicturePath(const char* folder, const char* name, char* path, unsigned pathSize)
{
    const char* separator = folder[0] != '\0' && !EndsWithSeparator(folder) ? "\\" : "";
    return snprintf(path, pathSize, "%s%s%s", folder, separator, name);
}

int LoadPicture(int slot, const char* name)
{
    // Joined in a buffer that always holds folder and name, so that a path too long to load is
    // still reported whole; only a path that fits the program's path buffers is loaded.
    char path[2 * MAX_PATH];
    int length = BuildPicturePath(slideFolder, name, path, sizeof path);
    if (length >= 0 && length < MAX_PATH && displayContext != nullptr &&
        displayContext->LoadFile(slot, path, nullptr) == 0)
        return 0;

    char message[2 * MAX_PATH + 64];
    snprintf(message, sizeof message, "%s のファイルが見つかりません.", path);
    MessageBoxA(nullptr, message, "Error", MB_OK);
    return -1;
}

void DirectorTick(TSaverSettings* settings)
{
    if (settings->showPhase == 0) {
        if (LoadPicture(kMaskSlot, "tile.bmp") != 0) return;
        settings->showPhase = 1;
        memset(usedSlides, 0, sizeof usedSlides);
        previousKind = TransitionKind::None;
        firstSlide = 1;
        settings->holdTicks = 0;
        settings->transitionStep = nullptr;
    }

    if (settings->holdTicks != 0) {
        settings->holdTicks -= 1;
        if (settings->holdTicks > 0) return;
    }

    if (settings->transitionStep != nullptr) {
        if (settings->transitionStep(&transitionState) != -1) return;
        settings->transitionStep = nullptr;
    }

    if (previousKind == TransitionKind::DissolveAndSmear) {
        currentKind = TransitionKind::Smear;
        settings->transitionStep = SmearDown;
        transitionState.phase = 0;
        previousKind = TransitionKind::Smear;
        settings->holdTicks = kHoldTicks;
        return;
    }

    int k = DrawSlide();
    usedSlides[k] = 1;
    char name[32];
    snprintf(name, sizeof name, "slide_%02d.qjx", k + 1);
    if (LoadPicture(kSlideSlot, name) != 0) return;

    SetUpChange(settings);
    if (firstSlide == 1 || previousKind == TransitionKind::Smear) {
        settings->holdTicks = 0;
        firstSlide = 0;
    } else {
        settings->holdTicks = kHoldTicks;
    }
    previousKind = currentKind;
}
