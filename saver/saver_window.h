// The saver window: full screen in Saver mode, a child of the given parent in Preview mode.
#pragma once

#include <windows.h>

// Returns when the window is gone and the show has stopped.
void RunSaver(HWND parent);
