// CChangeDisplay and a context that takes the display over; each switch shows as a WM_DISPLAYCHANGE.
#include <gtest/gtest.h>

#include "render/display_context.h"

namespace {

int switches = 0;

LRESULT CALLBACK CountSwitches(HWND window, UINT message, WPARAM w, LPARAM l)
{
    switches += message == WM_DISPLAYCHANGE;
    return DefWindowProcA(window, message, w, l);
}

// Switches seen since the last call.
int Switches()
{
    MSG msg;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 200; Sleep(10))
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    const int seen = switches;
    switches = 0;
    return seen;
}

}  // namespace

TEST(ChangeDisplay, SwitchToTheDesktopsOwnSizeAndBack)
{
    WNDCLASSA type = {};
    type.lpfnWndProc = CountSwitches;
    type.lpszClassName = "count switches";
    RegisterClassA(&type);
    HWND window = CreateWindowA(type.lpszClassName, "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    CChangeDisplay display;
    EXPECT_EQ(display.Restore() + display.Change(width + 1, height), 1);  // nothing to undo; no such mode
    EXPECT_EQ(Switches() + display.changed, 0);
    DEVMODEA mode;  // all four values must match: no display runs at 1000 Hz
    EXPECT_EQ(display.FindMode(width, height, 32, 1000, &mode), 0);
    ASSERT_EQ(display.Change(width, height), 1);
    EXPECT_EQ(static_cast<int>(display.targetMode.dmPelsHeight), height);
    EXPECT_EQ(Switches(), 1);
    EXPECT_EQ(display.Restore() + display.Restore(), 2);  // back once
    EXPECT_EQ(Switches(), 1);
    {
        CDIB dib(window);  // taking the display over switches, and the context's end switches back
        dib.SetStageFormat(width, height, 32);
        ASSERT_EQ(dib.OpenStage(1), 0);
        EXPECT_EQ(dib.fullScreen, 1);
        dib.CloseAll();
        EXPECT_EQ(Switches(), 1);
    }
    EXPECT_EQ(Switches(), 1);
    DestroyWindow(window);
}
