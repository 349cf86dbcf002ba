// The saver window in this process: the system's values it reads, the input rules, the close sequence,
// and RunSaver from start to end.
#include <gtest/gtest.h>

#include "render/display_context.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"
#include "saver_test_support.h"

using namespace saver_test;

namespace {

const POINT kOrigin = {500, 400};

// The system's key removed for the test.
class SystemValues : public ::testing::Test {
protected:
    bool deleted_ = e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSystemKeyName);
    TSaverSettings settings_;
};

// Four bytes of any type are read; a longer value leaves the default.
TEST_F(SystemValues, OnlyValuesOfFourBytesAreRead)
{
    BYTE seven[8] = {7};
    SHSetValueA(HKEY_CURRENT_USER, kSystemKeyName, "Password Delay", REG_BINARY, seven, 4);
    SHSetValueA(HKEY_CURRENT_USER, kSystemKeyName, "Mouse Threshold", REG_BINARY, seven, 8);
    settings_.ReadSystemSettings();
    EXPECT_EQ(settings_.passwordDelay, 7u);
    EXPECT_EQ(settings_.mouseThreshold, 50);
}

// A message sent to a window of the saver's window procedure (threshold 50, delay 15 s, the cursor's
// origin at kOrigin) in a mode, with the cursor at a place and a password check under way or not; what it
// should lead to: a close asked for, or (with a close asked for before) the window destroyed.
struct MessageCase {
    const char* name;
    RunMode mode;
    int passwordActive;
    UINT message;
    WPARAM wParam;
    POINT cursor;
    bool leadsToIt;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }
std::string NameOf(const ::testing::TestParamInfo<MessageCase>& info) { return info.param.name; }

class SaverWindow : public SystemValues, public ::testing::WithParamInterface<MessageCase> {
protected:
    void Open(RunMode mode)
    {
        settings_.ReadSystemSettings();
        context_ = {&settings_, mode, {}};
        WNDCLASSA windowClass = {0, SaverWndProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "SaverTest"};
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "SaverTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, &context_);
        settings_.cursorOrigin = kOrigin;
    }
    ~SaverWindow() override
    {
        DestroyWindow(window_);
        for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) {}  // posted closes, the quit
    }
    HCURSOR CursorOverWindow()
    {
        SendMessageA(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    SaverWindowContext context_ = {};
    HWND window_ = nullptr;
};

TEST_F(SaverWindow, CursorIsHiddenInTheShow)
{
    Open(RunMode::Saver);
    EXPECT_EQ(CursorOverWindow(), nullptr);
}

TEST_F(SaverWindow, CursorShowsInThePreview)
{
    Open(RunMode::Preview);
    EXPECT_NE(CursorOverWindow(), nullptr);
}

TEST_F(SaverWindow, CloseNobodyAskedForLeavesTheWindow)
{
    Open(RunMode::Saver);
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window_));
}

using InputRules = SaverWindow;

// The rule reads the cursor's own position, not the message's (5, 5).
TEST_P(InputRules, AskForTheCloseOnlyWhereTheyApply)
{
    const MessageCase& c = GetParam();
    Open(c.mode);
    settings_.passwordActive = c.passwordActive;
    SetCursorPos(c.cursor.x, c.cursor.y);
    SendMessageA(window_, c.message, c.wParam, MAKELPARAM(5, 5));
    MSG m;
    EXPECT_EQ(PeekMessageA(&m, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, c.leadsToIt);
    EXPECT_EQ(settings_.closeRequested, c.leadsToIt ? 1 : 0);
}

const RunMode S = RunMode::Saver;
const RunMode P = RunMode::Preview;
const POINT kAway = {900, 700};

INSTANTIATE_TEST_SUITE_P(Cases, InputRules, ::testing::Values(
    MessageCase{"Key", S, 0, WM_KEYDOWN, 'A', kOrigin, true},
    MessageCase{"LeftButton", S, 0, WM_LBUTTONDOWN, 0, kOrigin, true},
    MessageCase{"RightButton", S, 0, WM_RBUTTONDOWN, 0, kOrigin, true},
    MessageCase{"MiddleButton", S, 0, WM_MBUTTONDOWN, 0, kOrigin, true},
    MessageCase{"Deactivated", S, 0, WM_ACTIVATE, WA_INACTIVE, kOrigin, true},
    MessageCase{"Activated", S, 0, WM_ACTIVATE, WA_ACTIVE, kOrigin, false},
    MessageCase{"OtherApplication", S, 0, WM_ACTIVATEAPP, 0, kOrigin, true},
    MessageCase{"ThisApplication", S, 0, WM_ACTIVATEAPP, 1, kOrigin, false},
    MessageCase{"CaptionInactive", S, 0, WM_NCACTIVATE, 0, kOrigin, true},
    MessageCase{"CaptionActive", S, 0, WM_NCACTIVATE, 1, kOrigin, false},
    MessageCase{"Travel50Right", S, 0, WM_MOUSEMOVE, 0, {550, 400}, false},
    MessageCase{"Travel51Right", S, 0, WM_MOUSEMOVE, 0, {551, 400}, true},
    MessageCase{"Travel50Left", S, 0, WM_MOUSEMOVE, 0, {450, 400}, false},
    MessageCase{"Travel51Left", S, 0, WM_MOUSEMOVE, 0, {449, 400}, true},
    MessageCase{"Travel50Down", S, 0, WM_MOUSEMOVE, 0, {500, 450}, false},
    MessageCase{"Travel51Up", S, 0, WM_MOUSEMOVE, 0, {500, 349}, true},
    MessageCase{"KeyDuringPasswordCheck", S, 1, WM_KEYDOWN, 'A', kOrigin, false},
    MessageCase{"TravelDuringPasswordCheck", S, 1, WM_MOUSEMOVE, 0, kAway, false},
    MessageCase{"DeactivatedDuringPasswordCheck", S, 1, WM_ACTIVATEAPP, 0, kOrigin, false},
    MessageCase{"KeyInPreview", P, 0, WM_KEYDOWN, 'A', kOrigin, false},
    MessageCase{"TravelInPreview", P, 0, WM_MOUSEMOVE, 0, kAway, false},
    MessageCase{"DeactivatedInPreview", P, 0, WM_ACTIVATEAPP, 0, kOrigin, false}),
    NameOf);

using CloseSequence = SaverWindow;

// Always with a close asked for; passed on, SC_CLOSE would close the window through it.
TEST_P(CloseSequence, DestroysTheWindowOnlyWhenAllowed)
{
    const MessageCase& c = GetParam();
    Open(c.mode);
    settings_.closeRequested = 1;
    settings_.passwordActive = c.passwordActive;
    SendMessageA(window_, c.message, c.wParam, 0);
    EXPECT_EQ(IsWindow(window_) == FALSE, c.leadsToIt);
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseSequence, ::testing::Values(
    MessageCase{"DuringPasswordCheck", S, 1, WM_CLOSE, 0, kOrigin, false},
    MessageCase{"WithinTheDelay", S, 0, WM_CLOSE, 0, kOrigin, true},
    MessageCase{"InPreview", P, 0, WM_CLOSE, 0, kOrigin, true},
    MessageCase{"SystemClose", S, 0, WM_SYSCOMMAND, SC_CLOSE, kOrigin, false},
    MessageCase{"SystemCloseInPreview", P, 0, WM_SYSCOMMAND, SC_CLOSE, kOrigin, true}),
    NameOf);

bool SaverRunningFlag()
{
    BOOL running = FALSE;
    return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}

// Half a second into RunSaver's message loop: what the system's flag said, then a key pressed.
TSaverSettings* running;
bool flagWhileRunning;

void CALLBACK LookThenPressKey(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    flagWhileRunning = SaverRunningFlag();
    PostMessageA(running->window, WM_KEYDOWN, 'A', 0);
}

// In Saver mode on the test show (no missing-picture box to take the activation).
TEST_F(SystemValues, RunSaverTellsTheSystemASaverRunsWhileItRuns)
{
    e2e::TempFolder show;
    WriteShow(show);
    strcpy(slideFolder, show.Path().c_str());
    settings_.ReadSystemSettings();
    BOOL previous;  // Wine keeps the flag for the session: start from off, as Windows does at log-on
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0);
    running = &settings_;
    SetTimer(nullptr, 0, 500, LookThenPressKey);
    RunSaver(GetModuleHandleA(nullptr), settings_, RunMode::Saver, nullptr);
    slideFolder[0] = '\0';
    EXPECT_TRUE(flagWhileRunning);
    EXPECT_FALSE(SaverRunningFlag());
}

}  // namespace
