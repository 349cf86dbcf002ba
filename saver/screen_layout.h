// Where the full-screen saver window and the stage go: the window over every monitor, the stage on the
// primary one. Plain code without Win32, so that it is tested natively too.
#pragma once

#include "imagefile/show_shape.h"

// The system's figures for the screen, as GetSystemMetrics gives them. Screen coordinates put the
// primary monitor's top-left corner at (0, 0), so the virtual screen (the rectangle round every
// monitor) starts left of or above it, at a negative origin, when a monitor lies there. Windows 95 and
// NT 4.0 know no virtual screen and give 0 for its four figures.
struct ScreenMetrics {
    int screenWidth;    // SM_CXSCREEN: the primary monitor
    int screenHeight;   // SM_CYSCREEN
    int virtualX;       // SM_XVIRTUALSCREEN
    int virtualY;       // SM_YVIRTUALSCREEN
    int virtualWidth;   // SM_CXVIRTUALSCREEN
    int virtualHeight;  // SM_CYVIRTUALSCREEN
};

struct ScreenLayout {
    TRect32 window;   // the full-screen window, in screen coordinates
    TRect32 primary;  // the primary monitor, in the window's client coordinates
};

// The window covers the virtual screen, so that no monitor goes on showing the desktop. Where the
// system reports no virtual screen, or one that does not hold the primary monitor, the window covers
// the primary monitor alone, as it always has.
ScreenLayout FullScreenLayout(const ScreenMetrics& metrics);

// Where the stage goes in a client area of the given size: centred at its own size when fitScreen is 0
// and the area holds the stage, otherwise stretched over the whole area.
TRect32 ComputeViewRect(int clientWidth, int clientHeight, unsigned fitScreen);

// Where the stage goes in the full-screen window: placed as above on the primary monitor.
TRect32 FullScreenView(const ScreenLayout& layout, unsigned fitScreen);
