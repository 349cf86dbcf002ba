// RunSaver in this process: the running-saver notification is per process under Wine, so it is
// watched from a second thread here while the show runs on the main thread.
#include <gtest/gtest.h>

#include "e2e.h"
#include "saver/saver_entry.h"
#include "saver/saver_window.h"
#include "saver/settings.h"

namespace {

bool SaverRunningFlag()
{
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

struct Watch {
    bool sawRunning = false;
    bool sawWindow = false;
};

DWORD WINAPI WatchAndPressKey(LPVOID param)
{
    Watch* watch = static_cast<Watch*>(param);
    for (int i = 0; i < 200 && !IsWindow(saverWindow); ++i) Sleep(10);
    watch->sawWindow = IsWindow(saverWindow) != FALSE;
    Sleep(200);
    watch->sawRunning = SaverRunningFlag();
    PostMessageA(saverWindow, WM_KEYDOWN, 'A', 0);
    return 0;
}

}  // namespace

TEST(RunSaver, TellsTheSystemASaverRunsUntilItEnds)
{
    e2e::RegistrySnapshot system(HKEY_CURRENT_USER, kSystemSaverKey);
    saverInstance = GetModuleHandleA(nullptr);
    runMode = RunMode::Saver;
    TSaverSettings settings;
    settings.ReadSystemSettings();
    saverSettings = &settings;

    ASSERT_FALSE(SaverRunningFlag());
    Watch watch;
    HANDLE watcher = CreateThread(nullptr, 0, WatchAndPressKey, &watch, 0, nullptr);
    RunSaver(nullptr);
    WaitForSingleObject(watcher, 5000);
    CloseHandle(watcher);

    EXPECT_TRUE(watch.sawWindow);
    EXPECT_TRUE(watch.sawRunning);
    EXPECT_FALSE(SaverRunningFlag());
    EXPECT_EQ(displayContext, nullptr);
    EXPECT_FALSE(IsWindow(saverWindow));
    EXPECT_EQ(settings.closeRequested, 1);
    saverSettings = nullptr;
    runMode = RunMode::None;
}
