// The real nimbra.scr full screen (/s) and as a preview (/p): the window, the input rules, the ending.
#include <gtest/gtest.h>

#include "saver_driving.h"

using namespace saver_driving;

namespace {

class FullScreen : public ::testing::Test {
protected:
    FullScreen() : system_(HKEY_CURRENT_USER, kSystemKey) {}

    // Starts the show with the cursor at a known place; the window must come up.
    void Start()
    {
        SetCursorPos(500, 400);
        ASSERT_TRUE(saver_.Start(SaverCommand("/s")));
        window_ = FindSaverWindow(saver_.Id());
        ASSERT_NE(window_, nullptr);
        Sleep(300);  // past creation: the first input must be the test's own
    }

    // True when the saver is still up after a moment.
    bool StillRunning() { return saver_.Wait(400) == -1; }

    // The saver ends with exit code 0 well within a second.
    void ExpectEndsQuickly()
    {
        DWORD start = GetTickCount();
        EXPECT_EQ(saver_.Wait(3000), 0);
        EXPECT_LT(GetTickCount() - start, 1000u);
    }

    e2e::RegistrySnapshot system_;
    TestShow show_;
    e2e::Process saver_;
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(FullScreen, TopmostBlackWindowOverTheScreenEndedByAKey)
{
    Start();
    RECT area;
    GetWindowRect(window_, &area);
    EXPECT_EQ(area.left, 0);
    EXPECT_EQ(area.top, 0);
    EXPECT_EQ(area.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    wchar_t className[32];
    GetClassNameW(window_, className, 32);
    EXPECT_STREQ(className, L"ScrClass");

    // The cursor over the show is hidden.
    EXPECT_EQ(CursorAt(501, 400), nullptr);

    // Outside the centred stage the screen stays black.
    HDC screen = GetDC(nullptr);
    for (POINT p : {POINT{0, 0}, POINT{191, 384}, POINT{832, 384}, POINT{512, 143}, POINT{1023, 767}})
        EXPECT_EQ(GetPixel(screen, p.x, p.y) & 0xFFFFFF, 0u) << p.x << "," << p.y;
    ReleaseDC(nullptr, screen);

    PressKey('A');
    ExpectEndsQuickly();
}

TEST_F(FullScreen, MouseTravelBeyondTheThresholdEndsIt)
{
    Start();
    MoveCursorTo(550, 400);  // 50 pixels: not enough
    MoveCursorTo(500, 350);
    EXPECT_TRUE(StillRunning());
    MoveCursorTo(500, 451);  // 51 pixels from the origin
    ExpectEndsQuickly();
}

TEST_F(FullScreen, ThresholdComesFromTheSystemKey)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSystemKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD threshold = 5;
    RegSetValueExA(key, "Mouse Threshold", 0, REG_DWORD, reinterpret_cast<BYTE*>(&threshold), sizeof threshold);
    RegCloseKey(key);
    Start();
    MoveCursorTo(505, 400);
    EXPECT_TRUE(StillRunning());
    MoveCursorTo(494, 400);
    ExpectEndsQuickly();
}

TEST_F(FullScreen, ClickEndsIt)
{
    Start();
    ClickMouse();
    ExpectEndsQuickly();
}

TEST_F(FullScreen, SwitchingToAnotherWindowEndsIt)
{
    Start();
    HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    ExpectEndsQuickly();
    DestroyWindow(other);
}

TEST_F(FullScreen, ClosesThatNoInputAskedForAreIgnored)
{
    Start();
    PostMessageA(window_, WM_CLOSE, 0, 0);
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_TRUE(StillRunning());
    EXPECT_TRUE(IsWindow(window_));
    PressKey(VK_SPACE);
    ExpectEndsQuickly();
}

TEST(Preview, ChildOfTheParentsSizeThatIgnoresInputAndEndsWithItsParent)
{
    TestShow show;
    HWND parent = CreateWindowExA(0, "STATIC", "preview parent", WS_POPUP | WS_VISIBLE, 40, 30, 152, 112, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(SaverCommand("/p " + std::to_string(reinterpret_cast<intptr_t>(parent)))));

    HWND child = nullptr;
    for (int i = 0; i < 250 && child == nullptr; ++i) {
        child = FindWindowExA(parent, nullptr, "ScrClass", "SaverPreview");
        if (!child) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            Sleep(20);
        }
    }
    ASSERT_NE(child, nullptr);
    RECT area;
    GetWindowRect(child, &area);
    EXPECT_EQ(area.right - area.left, 152);
    EXPECT_EQ(area.bottom - area.top, 112);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);

    // Over the preview a cursor shows (the arrow; its handle differs between processes under Wine).
    EXPECT_NE(CursorAt(100, 80), nullptr);

    PostMessageA(child, WM_KEYDOWN, 'A', 0);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(child, WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(saver.Wait(400), -1);

    DestroyWindow(parent);
    EXPECT_EQ(saver.Wait(3000), 0);
}

TEST(Preview, MissingOrStaleParentEndsAtOnce)
{
    HWND stale = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::string staleNumber = std::to_string(reinterpret_cast<intptr_t>(stale));
    DestroyWindow(stale);
    for (std::string arguments : {std::string("/p 0"), "/p " + staleNumber}) {
        e2e::Process saver;
        ASSERT_TRUE(saver.Start(SaverCommand(arguments)));
        EXPECT_EQ(saver.Wait(3000), 0) << arguments;
    }
}
