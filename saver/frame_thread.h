// The frame thread: drives the show in ticks while the saver window is up.
#pragma once

#include <windows.h>

#include "saver/director.h"

const DWORD kTickMs = 100;

extern volatile LONG frameThreadRunning;  // the thread runs while this is 1
extern HANDLE frameThread;

// What the frame thread shows on and keeps: set up by RunSaver before the thread starts, used only by
// the thread while it runs, released by RunSaver after the thread has stopped.
struct FrameThreadShow {
    TSaverSettings* settings;
    CDIB* display;
    ShowDirector director;
};

// Sets the running flag, then creates the thread; false when it could not be created.
bool StartFrameThread(FrameThreadShow* show);
DWORD WINAPI FrameThreadProc(LPVOID show);
// Clears the flag, waits up to 500 ms for the thread, ends it by force after that.
void StopFrameThread();
// The box that tells of a picture the show could not load; it returns once dismissed.
void ReportMissingPicture(const char* path);
