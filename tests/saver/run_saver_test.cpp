// RunSaver in this process: Wine hands each process its own copy of the running-saver flag, so it is
// watched from a second thread here while the show runs on the main thread.
#include <gtest/gtest.h>

#include "e2e.h"
#include "saver/saver_entry.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "test_pictures.h"

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
    // A show to play, so that no missing-picture box takes the activation and ends the show early.
    e2e::TempFolder show;
    for (int n = 1; n <= 15; ++n) {
        char name[32];
        snprintf(name, sizeof name, "slide_%02d.qjx", n);
        test_pictures::WriteBmp(show.File(name), 640, 480, [n](int, int) { return test_pictures::SlideColour(n); });
    }
    test_pictures::WriteMask(show.File("tile.bmp"));
    strcpy(slideFolder, show.Path().c_str());

    // Wine keeps the flag for the whole session and each process reads it once, so a saver that an
    // earlier test ended by force may have left it on: start from off, as Windows would at log-on.
    BOOL previous;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0);
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
    slideFolder[0] = '\0';
}
