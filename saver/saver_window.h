// The saver window: full screen in Saver mode, a child of the given parent in Preview mode.
#pragma once

#include <windows.h>

#include "render/display_context.h"
#include "saver/screen_layout.h"

// Process-wide: the saver window and its display context (the slideshow draws through it).
extern HWND saverWindow;
extern CDIB* displayContext;

// Returns when the window is gone, the frame thread has stopped and the stage is released.
void RunSaver(HWND parent);
LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int SetupStage();
