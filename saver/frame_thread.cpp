// Frame thread start and stop. The flag is set before the thread exists, so that a stop that comes
// right after the start is never lost.
#include "saver/frame_thread.h"

#include <cstdlib>

#include <mmsystem.h>

#include "saver/director.h"
#include "saver/saver_entry.h"
#include "saver/settings.h"

volatile LONG frameThreadRunning;
HANDLE frameThread;

bool StartFrameThread()
{
    frameThreadRunning = 1;
    DWORD id;
    frameThread = CreateThread(nullptr, 0, FrameThreadProc, nullptr, 0, &id);
    if (frameThread == nullptr) {
        frameThreadRunning = 0;
        return false;
    }
    return true;
}

DWORD WINAPI FrameThreadProc(LPVOID)
{
    saverSettings->showPhase = 0;
    saverSettings->holdTicks = 0;
    saverSettings->transitionStep = nullptr;
    srand(timeGetTime());
    // Ticks of 100 ms: the time the tick's work took is slept off; a long tick still yields 10 ms.
    while (frameThreadRunning == 1) {
        DWORD start = timeGetTime();
        DirectorTick(saverSettings);
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
