// The frame thread: drives the show in ticks while the saver window is up.
#pragma once

#include <windows.h>

const DWORD kTickMs = 100;

extern volatile LONG frameThreadRunning;  // the thread runs while this is 1
extern HANDLE frameThread;

// Sets the running flag, then creates the thread; false when it could not be created.
bool StartFrameThread();
DWORD WINAPI FrameThreadProc(LPVOID);
// Clears the flag, waits up to 500 ms for the thread, ends it by force after that.
void StopFrameThread();
