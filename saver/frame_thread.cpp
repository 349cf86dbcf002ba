// Frame thread start and stop. The flag is set before the thread exists, so that a stop that comes
// right after the start is never lost.
#include "saver/frame_thread.h"

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
    while (frameThreadRunning == 1) Sleep(100);
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
