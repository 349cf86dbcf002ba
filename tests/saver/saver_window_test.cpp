// The saver window in this process: the system's values it reads, the input rules, the close sequence,
// and RunSaver from start to end with its ticks, also without memory for its display context.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "saver/director.h"
#include "saver/frame_thread.h"
#include "saver/saver_entry.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"
#include "saver_test_support.h"

using namespace saver_test;

static size_t failingSize;  // the next allocation of this size fails, as the saver's own operator new fails

void* operator new(size_t size)
{
    bool fail = size == failingSize;
    failingSize = fail ? 0 : failingSize;
    return fail ? nullptr : malloc(size ? size : 1);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept { return operator new(size); }
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }

namespace {

// A window of the saver's window procedure; the system's values (threshold 50, delay 7 s), cursor origin (500, 400).
class SaverWindow : public ::testing::Test {
protected:
    void Open(RunMode mode)
    {
        runMode = mode;
        saverSettings = &settings_;
        settings_.passwordActive = 1;
        settings_.ReadSystemSettings();
        ASSERT_TRUE(settings_.passwordDelay == 7 && settings_.mouseThreshold == 50 && settings_.passwordActive == 0);
        WNDCLASSA windowClass = {0, SaverWndProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "SaverWindowTest"};
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "SaverWindowTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(settings_.window, window_);
        settings_.cursorOrigin = POINT{500, 400};
    }
    ~SaverWindow() override
    {
        DestroyWindow(window_);
        for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) {}  // posted closes, the quit
        saverSettings = nullptr, runMode = RunMode::None;
    }

    e2e::RegistrySnapshot system_{HKEY_CURRENT_USER, kSystemKeyName};
    bool deleted_ = e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSystemKeyName);
    TSaverSettings settings_;
    HWND window_ = nullptr;
};

// Each case on a new window: the input rules, then the close sequence with a close asked for or not.
// Passed on, SC_CLOSE would close the window through the close asked for.
TEST_F(SaverWindow, InputRulesAndCloseSequence)
{
    const RunMode S = RunMode::Saver, P = RunMode::Preview;
    const POINT O = {500, 400}, away = {900, 700};
    struct Case { const char* what; RunMode mode; int asked, password; UINT message; WPARAM wParam; POINT cursor; bool closes, destroyed; } cases[] = {
        {"key", S, 0, 0, WM_KEYDOWN, 'A', O, 1, 0}, {"left", S, 0, 0, WM_LBUTTONDOWN, 0, O, 1, 0},
        {"right", S, 0, 0, WM_RBUTTONDOWN, 0, O, 1, 0}, {"middle", S, 0, 0, WM_MBUTTONDOWN, 0, O, 1, 0},
        {"deactivated", S, 0, 0, WM_ACTIVATE, WA_INACTIVE, O, 1, 0}, {"activated", S, 0, 0, WM_ACTIVATE, WA_ACTIVE, O, 0, 0},
        {"other application", S, 0, 0, WM_ACTIVATEAPP, 0, O, 1, 0}, {"this application", S, 0, 0, WM_ACTIVATEAPP, 1, O, 0, 0},
        {"caption inactive", S, 0, 0, WM_NCACTIVATE, 0, O, 1, 0}, {"caption active", S, 0, 0, WM_NCACTIVATE, 1, O, 0, 0},
        {"50 right", S, 0, 0, WM_MOUSEMOVE, 0, {550, 400}, 0, 0}, {"51 right", S, 0, 0, WM_MOUSEMOVE, 0, {551, 400}, 1, 0},
        {"50 left", S, 0, 0, WM_MOUSEMOVE, 0, {450, 400}, 0, 0}, {"51 left", S, 0, 0, WM_MOUSEMOVE, 0, {449, 400}, 1, 0},
        {"50 up", S, 0, 0, WM_MOUSEMOVE, 0, {500, 350}, 0, 0}, {"51 up", S, 0, 0, WM_MOUSEMOVE, 0, {500, 349}, 1, 0},
        {"51 down", S, 0, 0, WM_MOUSEMOVE, 0, {500, 451}, 1, 0}, {"key, password dialog up", S, 0, 1, WM_KEYDOWN, 'A', O, 0, 0},
        {"click, password dialog up", S, 0, 1, WM_LBUTTONDOWN, 0, O, 0, 0}, {"away, password up", S, 0, 1, WM_MOUSEMOVE, 0, away, 0, 0},
        {"deactivated, password up", S, 0, 1, WM_ACTIVATEAPP, 0, O, 0, 0}, {"key in preview", P, 0, 0, WM_KEYDOWN, 'A', O, 0, 0},
        {"away in preview", P, 0, 0, WM_MOUSEMOVE, 0, away, 0, 0}, {"deactivated in preview", P, 0, 0, WM_ACTIVATEAPP, 0, O, 0, 0},
        {"close nobody asked for", S, 0, 0, WM_CLOSE, 0, O, 0, 0}, {"close, password up", S, 1, 1, WM_CLOSE, 0, O, 0, 0},
        {"close asked for, within the delay", S, 1, 0, WM_CLOSE, 0, O, 0, 1}, {"close in preview", P, 0, 0, WM_CLOSE, 0, O, 0, 1},
        {"SC_CLOSE", S, 1, 0, WM_SYSCOMMAND, SC_CLOSE, O, 0, 0}, {"SC_CLOSE in preview", P, 0, 0, WM_SYSCOMMAND, SC_CLOSE, O, 0, 1}};
    BYTE seven[8] = {7};  // a value of four bytes of any type is read; a longer one leaves the default
    SHSetValueA(HKEY_CURRENT_USER, kSystemKeyName, "Mouse Threshold", REG_BINARY, seven, 8);
    SHSetValueA(HKEY_CURRENT_USER, kSystemKeyName, "Password Delay", REG_BINARY, seven, 4);
    MSG m;
    for (const Case& c : cases) {
        Open(c.mode);
        settings_.closeRequested = c.asked, settings_.passwordActive = c.password;
        SetCursorPos(c.cursor.x, c.cursor.y);
        SendMessageA(window_, c.message, c.wParam, MAKELPARAM(5, 5));  // the rule reads the cursor, not this
        EXPECT_EQ(PeekMessageA(&m, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, c.closes) << c.what;
        EXPECT_EQ(settings_.closeRequested == 1, c.closes || c.asked) << c.what;
        EXPECT_EQ(!IsWindow(window_), c.destroyed) << c.what;
        // Over the window the cursor is hidden while the rules hold, the arrow otherwise.
        SendMessageA(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_TRUE(c.destroyed || (GetCursor() == nullptr) == (c.mode == S && c.password == 0)) << c.what;
        DestroyWindow(window_);
        EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << c.what;  // the message loop ends
    }
}

bool SaverRunningFlag()
{
    BOOL running = FALSE;
    return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}

// RunSaver, with a second thread that waits for the first change's first step (the tick before loaded
// the show, which takes long on a slow machine), then looks: window up, running-saver flag, and the steps
// the change took over the next second; then it presses a key.
struct Seen { bool window, flag; int steps; HANDLE frames; } seen;

int ChangeStep()
{
    return saverSettings->transitionStep == StripWipe ? transitionState.wipe.step : transitionState.dissolve.frame;
}

DWORD WINAPI LookThenPressKey(LPVOID)
{
    for (int i = 0; i < 200 && ChangeStep() < 1; ++i) Sleep(50);
    int first = ChangeStep();
    Sleep(1000);
    seen = {IsWindow(saverWindow) != FALSE, SaverRunningFlag(), ChangeStep() - first, nullptr};
    DuplicateHandle(GetCurrentProcess(), frameThread, GetCurrentProcess(), &seen.frames, 0, FALSE, DUPLICATE_SAME_ACCESS);
    PostMessageA(saverWindow, WM_KEYDOWN, 'A', 0);
    // A show that the key does not end fails the test and is closed as a close asked for, so that RunSaver
    // returns instead of running until the test's time limit.
    for (int i = 0; i < 100 && IsWindow(saverWindow); ++i) Sleep(50);
    if (!IsWindow(saverWindow)) return 0;
    ADD_FAILURE() << "the key did not end the show";
    saverSettings->closeRequested = 1;
    return PostMessageA(saverWindow, WM_CLOSE, 0, 0);
}

Seen RunSaverLookingOnce()
{
    HANDLE looker = CreateThread(nullptr, 0, LookThenPressKey, nullptr, 0, nullptr);
    RunSaver(nullptr);
    WaitForSingleObject(looker, 5000);
    return CloseHandle(looker), seen;
}

TEST_F(SaverWindow, RunSaverTicksTenTimesASecondTellsTheSystemAndEndsAtOnceWithoutMemory)
{
    e2e::TempFolder show;
    WriteShow(show);  // no missing-picture box to take the activation
    strcpy(slideFolder, show.Path().c_str());
    settings_.ReadSystemSettings();
    EXPECT_EQ(settings_.passwordDelay, 15u);  // the default, without the system's key
    saverSettings = &settings_, runMode = RunMode::Saver;
    BOOL previous;  // Wine keeps the flag for the session: start from off, as Windows does at log-on
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0);

    Seen run = RunSaverLookingOnce();
    EXPECT_TRUE(run.window && run.flag && run.steps >= 6 && run.steps <= 11) << run.steps;
    EXPECT_TRUE(WaitForSingleObject(run.frames, 0) == WAIT_OBJECT_0 && frameThread == nullptr);  // stopped with the window
    CloseHandle(run.frames);
    EXPECT_TRUE(!SaverRunningFlag() && displayContext == nullptr && !IsWindow(saverWindow));
    failingSize = sizeof(CDIB);
    run = RunSaverLookingOnce();
    EXPECT_TRUE(!run.window && !run.flag && failingSize == 0 && !SaverRunningFlag());  // gone before anything could end it
    slideFolder[0] = '\0';
}

}  // namespace
