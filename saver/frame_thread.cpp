// Frame thread start and stop. The flag is set before the thread exists, so that a stop that comes
// right after the start is never lost.
#include "saver/frame_thread.h"

#include <cstdio>
#include <cstdlib>

#include <mmsystem.h>

#include "saver/settings.h"

volatile LONG frameThreadRunning;
HANDLE frameThread;

bool StartFrameThread(FrameThreadShow* show)
{
    frameThreadRunning = 1;
    DWORD id;
    frameThread = CreateThread(nullptr, 0, FrameThreadProc, show, 0, &id);
    if (frameThread == nullptr) {
        frameThreadRunning = 0;
        return false;
    }
    return true;
}

void ReportMissingPicture(const char* path)
{
    char message[kPicturePathBytes + 64];
    snprintf(message, sizeof message, "%s のファイルが見つかりません.", path);
    MessageBoxA(nullptr, message, "Error", MB_OK);
}

DWORD WINAPI FrameThreadProc(LPVOID parameter)
{
    FrameThreadShow& show = *static_cast<FrameThreadShow*>(parameter);
    TSaverSettings* settings = show.settings;
    settings->showPhase = 0;
    settings->holdTicks = 0;
    settings->transitionStep = nullptr;
    show.director = ShowDirector{};
    const ShowTarget target = {*show.display, settings->viewRect, slideFolder};
    srand(timeGetTime());
    // Ticks of 100 ms: the time the tick's work took is slept off; a long tick still yields 10 ms.
    while (frameThreadRunning == 1) {
        DWORD start = timeGetTime();
        if (DirectorTick(settings, show.director, target) != 0) ReportMissingPicture(show.director.missingPicture);
        DWORD spent = timeGetTime() - start;
        Sleep(spent < kTickMs ? kTickMs - spent : 10);
    }
    return 0;
}

void StopFrameThread()
{
    frameThreadRunning = 0;
    Sleep(10);
    if (frameThread == nullptr) return;
    if (WaitForSingleObject(frameThread, 500) != WAIT_OBJECT_0) TerminateThread(frameThread, 0);
    CloseHandle(frameThread);
    frameThread = nullptr;
}
