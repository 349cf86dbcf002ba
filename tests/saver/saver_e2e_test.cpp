// The real nimbra.scr driven as a person drives it: the full-screen show, the password hooks on each
// Windows family, the preview with its reports of missing pictures, the settings dialog.
#include <gtest/gtest.h>

#include "saver_test_support.h"

using namespace saver_test;

namespace {

std::string Command(const std::string& arguments, const std::string& program = e2e::BesideTest("nimbra.scr"))
{
    return "\"" + program + "\" " + arguments;
}

void PressKey(BYTE key) { keybd_event(key, 0, 0, 0), keybd_event(key, 0, KEYEVENTF_KEYUP, 0); }
COLORREF ScreenAt(int x, int y) { static HDC screen = GetDC(nullptr); return GetPixel(screen, x, y); }

bool SameSlide(COLORREF a, COLORREF b)  // Wine's screen may be one step off in a channel
{
    for (int shift = 0; shift < 24; shift += 8) if (abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 1) return false;
    return a != 0;
}

// The saver's keys kept as they were; the system's defaults, a test show as the slide folder.
class SaverRun : public ::testing::Test {
protected:
    SaverRun()
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSystemKeyName);
        WriteShow(show_);
        SetValue(kSaverKeyName, "Path", show_.Path());
        SetValue(kSaverKeyName, "Fit Screen", 0);
    }
    HWND StartShow(e2e::Process& saver, const std::string& program = e2e::BesideTest("nimbra.scr"))
    {
        SetCursorPos(500, 400);
        HWND window = saver.Start(Command("/s", program)) ? e2e::FindWindowByCaption(L"SaverWindow", saver.Id(), 10000) : nullptr;
        Sleep(300);  // past creation: the first input is the test's own
        return window;
    }

    e2e::RegistrySnapshot system_{HKEY_CURRENT_USER, kSystemKeyName}, saverKey_{HKEY_CURRENT_USER, kSaverKeyName};
    e2e::TempFolder show_;
};

std::string Corners(const RECT& r)
{
    const std::string corner = std::to_string(r.left) + "," + std::to_string(r.top);
    return corner + " " + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// The window covers the virtual screen, every monitor: with one monitor that is the primary monitor at
// 0, 0 as ever; with several the others stay black, and the stage stands on the primary monitor.
TEST_F(SaverRun, FullScreenShowCentredOnThePrimaryMonitorUntilAKey)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    int left = (cx - 640) / 2, top = (cy - 480) / 2;
    int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT all = {vx, vy, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN), vy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // A grey window over every monitor plays the desktop that the show must hide.
    HWND desktop = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, all.left, all.top, all.right - all.left,
                                   all.bottom - all.top, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(desktop);
    e2e::Process saver;
    HWND window = StartShow(saver);
    ASSERT_NE(window, nullptr);
    RECT area = {};
    ASSERT_TRUE(GetWindowRect(window, &area));
    EXPECT_EQ(Corners(area), Corners(all));
    if (GetSystemMetrics(SM_CMONITORS) == 1) EXPECT_EQ(Corners(all), Corners(RECT{0, 0, cx, cy}));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(window, FindWindowA("ScrClass", "SaverWindow"));

    // The first slide comes in without a hold and stands centred at its own size, black around it and
    // in those corners of the virtual screen that some monitor shows.
    for (int i = 0; i < 200 && !HasFailure() && !SameSlide(ScreenAt(left, top), ScreenAt(left + 639, top + 479)); ++i)
        Sleep(100);  // a message box instead fails the test at once
    EXPECT_TRUE(SameSlide(ScreenAt(left, top), ScreenAt(left + 639, top + 479)));
    for (POINT p : {POINT{left - 1, top}, POINT{left, top - 1}, POINT{left + 640, top + 479},
                    POINT{left + 639, top + 480}, POINT{all.left, all.top}, POINT{all.right - 1, all.top},
                    POINT{all.left, all.bottom - 1}, POINT{all.right - 1, all.bottom - 1}}) {
        if (MonitorFromPoint(p, MONITOR_DEFAULTTONULL) == nullptr) continue;  // a corner that no monitor shows
        EXPECT_EQ(ScreenAt(p.x, p.y), RGB(0, 0, 0)) << p.x << "," << p.y;
    }
    PressKey('A');
    EXPECT_EQ(saver.Wait(10000), 0);
    DestroyWindow(desktop);
}

// Travel counts in screen coordinates from where the cursor was when the window was made, wherever
// the window's own corner lies (left of or above the primary monitor when a monitor lies there).
TEST_F(SaverRun, FullScreenShowEndsOnMouseTravelBeyondTheThreshold)
{
    e2e::Process saver;
    ASSERT_NE(StartShow(saver), nullptr);
    SetCursorPos(550, 350);
    EXPECT_EQ(saver.Wait(500), -1);
    SetCursorPos(449, 400);
    EXPECT_EQ(saver.Wait(10000), 0);
}

// Run on each Windows family: only the Windows 95 family asks the password provider.
class Family : public SaverRun {
protected:
    Family()
    {
        for (const char* file : {"PASSWORD.CPL", "MPR.DLL"})
            CopyFileA(e2e::BesideTest(("..\\testlibs\\" + std::string(file)).c_str()).c_str(), folder_.File(file).c_str(), FALSE);
        CopyFileA(e2e::BesideTest("nimbra.scr").c_str(), program_.c_str(), FALSE);
    }
    std::string Calls() { std::string calls; return e2e::ReadFileBytes(folder_.File("calls.txt"), &calls) ? calls : ""; }
    void ExpectEndsOnAKeyWithoutAsking(const char* what)
    {
        e2e::Process saver;
        ASSERT_NE(StartShow(saver, program_), nullptr) << what;
        PressKey('A');
        EXPECT_EQ(saver.Wait(10000), 0) << what;
        EXPECT_EQ(Calls(), "") << what;
    }

    e2e::TempFolder folder_;
    std::string program_ = folder_.File("nimbra.scr");
};

TEST_F(Family, PasswordAskedOnTheWindows95FamilyOnceTheDelayIsOver)
{
    // A delay long enough for the key to come within it even on a slow (emulated) machine.
    SetValue(kSystemKeyName, "Password Delay", 10);
    ExpectEndsOnAKeyWithoutAsking("within the delay of 10 s");
    SetValue(kSystemKeyName, "Password Delay", 0);
    e2e::WriteFileBytes(folder_.File("answer.txt"), "refuse");
    if (GetVersion() < 0x80000000) return ExpectEndsOnAKeyWithoutAsking("NT family");
    e2e::Process saver;
    HWND window = StartShow(saver, program_);
    ASSERT_NE(window, nullptr);
    PressKey('A');
    for (int i = 0; i < 100 && Calls().empty(); ++i) Sleep(100);
    // Asked once: the key pressed while it asked did not count.
    std::string asked = "VerifyScreenSavePwd " + std::to_string(reinterpret_cast<uintptr_t>(window)) + "\n";
    EXPECT_EQ(saver.Wait(500), -1);
    EXPECT_EQ(Calls(), asked);

    e2e::WriteFileBytes(folder_.File("answer.txt"), "accept");
    PressKey('B');
    EXPECT_EQ(saver.Wait(10000), 0);
    EXPECT_EQ(Calls(), asked + asked);
    DeleteFileA(folder_.File("calls.txt").c_str());
    DeleteFileA(folder_.File("PASSWORD.CPL").c_str());
    ExpectEndsOnAKeyWithoutAsking("without PASSWORD.CPL");
}

TEST_F(Family, ChangePasswordAsksTheNetworkProvider)
{
    const char overrides[] = "Software\\Wine\\AppDefaults\\nimbra.scr\\DllOverrides";
    e2e::RegistrySnapshot kept(HKEY_CURRENT_USER, overrides);
    SetValue(overrides, "mpr", std::string("native"));  // the stand-in beside the program, not Wine's own
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(Command("/a 1234", program_)));
    EXPECT_EQ(saver.Wait(10000), 0);
    EXPECT_EQ(Calls(), "PwdChangePasswordA SCRSAVE 1234 0 0\n");
}

std::wstring Wide(const std::string& ansi)
{
    wchar_t text[1024];
    return std::wstring(text, MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, 1024) - 1);
}

// Without input rules the preview can show the boxes for missing pictures: every tick asks for a
// missing "tile.bmp" again, each missing slide drawn is reported and another is drawn.
TEST_F(SaverRun, PreviewFillsItsParentReportsMissingPicturesAndEndsWithIt)
{
    e2e::BoxesExpected answered;  // the test answers the boxes itself
    HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 30, 152, 112, nullptr, nullptr, nullptr, nullptr);
    std::string preview = Command("/p " + std::to_string(reinterpret_cast<intptr_t>(parent)));
    std::string tooLong = "C:\\" + std::string(250, 'a');  // with "\tile.bmp", 262 bytes: more than a path holds
    SetValue(kSaverKeyName, "Path", tooLong);
    e2e::Process first;
    ASSERT_TRUE(first.Start(preview));
    EXPECT_EQ(e2e::FindMessageBox(first.Id(), 15000).text, Wide(tooLong) + L"\\tile.bmp のファイルが見つかりません.");
    first.Kill();

    SetValue(kSaverKeyName, "Path", show_.Path());
    MoveFileA(show_.File("tile.bmp").c_str(), show_.File("tile.keep").c_str());
    for (int n = 1; n <= 15; ++n) DeleteFileA(show_.File(SlideName(n == 7 ? 99 : n).c_str()).c_str());
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(preview));
    for (int i = 0; i < 2; ++i) {  // the mask, asked for again on the next tick
        e2e::MessageBoxSeen box = e2e::FindMessageBox(saver.Id(), 15000);
        EXPECT_TRUE(box.caption == L"Error" && box.text == Wide(show_.File("tile.bmp")) + L" のファイルが見つかりません.");
        if (i == 1) MoveFileA(show_.File("tile.keep").c_str(), show_.File("tile.bmp").c_str());
        e2e::Answer(box, IDOK), e2e::WaitGone(box.window, 3000);
    }
    int boxes = 0;
    for (e2e::MessageBoxSeen box; (box = e2e::FindMessageBox(saver.Id(), 1000)).window && boxes < 40; ++boxes) {
        EXPECT_EQ(box.text.substr(0, box.text.find(L"slide_") + 6), Wide(show_.Path()) + L"\\slide_");
        EXPECT_EQ(box.text.find(L"slide_07"), std::wstring::npos);
        e2e::Answer(box, IDOK), e2e::WaitGone(box.window, 3000);
    }
    EXPECT_LT(boxes, 40);  // slide 7 came, and with its hold no more boxes
    HWND child = FindWindowExA(parent, nullptr, "ScrClass", "SaverPreview");  // only a child is found here
    RECT area = {};
    EXPECT_TRUE(GetWindowRect(child, &area) && area.left == 40 && area.top == 30 && area.right == 192 && area.bottom == 142);
    DestroyWindow(parent);
    EXPECT_EQ(saver.Wait(10000), 0);
    for (const char* arguments : {"/p 0", "/x", "/"}) {  // no parent, or no known switch: the run ends
        e2e::Process ends;
        EXPECT_TRUE(ends.Start(Command(arguments)) && ends.Wait(10000) == 0) << arguments;
    }
}

// The settings dialog shows what was read and stores it on OK: one checkbox, clicked once here.
TEST(ConfigDialog, ShowsAndStoresFitScreenWithTheSlideFolder)
{
    const DWORD kNone = 99;  // no value (and for "Fit Screen" no key at all)
    const std::string unterminated(MAX_PATH, 'b'), tooLong(300, 'a'), started = "(the folder it started in)";
    struct Case { DWORD fit; std::string path; int button; DWORD storedFit; std::string storedPath; } cases[] = {
        {1, "C:\\show", IDOK, 0, "C:\\show"}, {0, "C:\\表示", IDOK, 1, "C:\\表示"}, {2, "C:\\show", IDCANCEL, 2, "C:\\show"},
        {0, "C:\\show", 0, 0, "C:\\show"}, {kNone, "", IDOK, 1, ""}, {0, "", IDOK, 1, started},
        {0, tooLong, IDOK, 1, started}, {0, unterminated, IDOK, 1, started}};
    e2e::RegistrySnapshot kept(HKEY_CURRENT_USER, kSaverKeyName);
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSaverKeyName);
        if (c.fit != kNone) SetValue(kSaverKeyName, "Fit Screen", c.fit);
        if (c.path == unterminated) SHSetValueA(HKEY_CURRENT_USER, kSaverKeyName, "Path", REG_BINARY, c.path.data(), MAX_PATH);
        else if (!c.path.empty()) SetValue(kSaverKeyName, "Path", c.path);
        e2e::TempFolder folder;
        e2e::Process saver;
        ASSERT_TRUE(saver.Start(Command("/c"), folder.Path().c_str()));
        HWND dialog = e2e::FindWindowByCaption(L"ｽｸﾘｰﾝｾｰﾊﾞｰの設定", saver.Id(), 10000);
        EXPECT_TRUE(e2e::ControlText(dialog, IDOK) == L"OK" && e2e::ControlText(dialog, IDCANCEL) == L"Cancel");
        EXPECT_EQ(e2e::ControlText(dialog, 1000), L"ﾃﾞｽｸﾄｯﾌﾟｻｲｽﾞに拡大");
        EXPECT_EQ(SendDlgItemMessageW(dialog, 1000, BM_GETCHECK, 0, 0), c.fit == 1 || c.fit == 2 ? BST_CHECKED : BST_UNCHECKED);
        SendDlgItemMessageW(dialog, 1000, BM_CLICK, 0, 0);
        if (c.button != 0) SendDlgItemMessageW(dialog, c.button, BM_CLICK, 0, 0);
        else SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the caption's close box
        EXPECT_EQ(saver.Wait(10000), 0);

        DWORD fit = kNone, type = 0, size = sizeof fit;
        char path[MAX_PATH + 1] = {};
        SHGetValueA(HKEY_CURRENT_USER, kSaverKeyName, "Fit Screen", nullptr, &fit, &size);
        SHGetValueA(HKEY_CURRENT_USER, kSaverKeyName, "Path", &type, path, &(size = MAX_PATH + 1));
        EXPECT_EQ(fit, c.storedFit);
        EXPECT_EQ(path, c.storedPath == started ? folder.Path() : c.storedPath);
        EXPECT_TRUE(c.button != IDOK || (type == REG_SZ && size == MAX_PATH));  // the whole path buffer
    }
}

}  // namespace
