// The saver window: full screen in Saver mode, a child of the given parent in Preview mode.
#pragma once

#include <windows.h>

#include "saver/run_mode.h"
#include "saver/screen_layout.h"

class CDIB;
struct TSaverSettings;

// What the window procedure works with: handed to CreateWindowExA and kept with the window.
struct SaverWindowContext {
    TSaverSettings* settings;
    RunMode mode;
    ScreenLayout fullScreen;  // Saver mode: the window over every monitor, the primary monitor in it
};

// Returns when the window is gone, the frame thread has stopped and the stage is released.
void RunSaver(HINSTANCE instance, TSaverSettings& settings, RunMode mode, HWND parent);
// The window class's procedure; a window of it is created with a SaverWindowContext as its parameter.
LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Four slots and the 640 by 480 stage, the display mode left as it is.
void SetupStage(CDIB& display);
