// CDIB: the display context of the saver window: the stage surface, the numbered picture slots,
// and presenting stage rectangles into the window one to one or scaled.
#pragma once

#include <windows.h>

#include "imagefile/critical_section.h"
#include "render/change_display.h"
#include "imagefile/show_shape.h"
#include "render/w_dib32.h"

class CDIB {
public:
    enum { kStageIndex = -1, kSpareIndex = -2, kMaxSlots = 128 };

    explicit CDIB(HWND window);
    ~CDIB();  // releases every surface and undoes a display-mode change

    int SetSlotCount(int count);
    void SetStageFormat(int width, int height, int bits) { stageWidth = width; stageHeight = height; stageBits = bits; }
    void SetViewSize(int width, int height) { viewWidth = width; viewHeight = height; }
    int OpenStage(int takeOver);
    int CreateStage(int width, int height);
    int CreateSlot(int index);
    int LoadFile(int index, const char* path, const RGBQUAD* palette);
    CDIBSurface* GetSurface(int index);
    // destination: where on the window; source: stage rectangle, null for the whole stage.
    void Present(const TRect32* destination, const TRect32* source);
    // destination: where the whole stage lies on the window; the source rectangle lands at its scaled place.
    void PresentScaled(const TRect32* destination, const TRect32* source);
    void CloseAll();
    void FreeSlots();

    CDIBSurface* stage;
    CDIBSurface* spareSurface;
    CDIBSurface** slots;
    CChangeDisplay changeDisplay;
    int slotCount;
    HWND window;
    int fullScreen;
    int stageWidth, stageHeight, stageBits;
    int viewWidth, viewHeight;  // stored for callers that set a view size; no operation reads them
    // Part of the context's record as callers know it, yet never taken: only the frame thread uses the
    // context while the show runs, and the main thread only before and after.
    CCriticalSection lock;

private:
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;
    void StretchToWindow(const TRect32& target, const TRect32& source);
};

// The target rectangle of PresentScaled: both edges of source scaled by destination / stage, truncated
// toward zero.
TRect32 ScaledTarget(const TRect32& destination, const TRect32& source, int stageWidth, int stageHeight);
