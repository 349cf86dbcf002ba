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

void PressKey(BYTE key)
{
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
}

COLORREF ScreenAt(int x, int y)
{
    static HDC screen = GetDC(nullptr);
    return GetPixel(screen, x, y);
}

bool SameSlide(COLORREF a, COLORREF b)  // Wine's screen may be one step off in a channel
{
    for (int shift = 0; shift < 24; shift += 8)
        if (abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 1) return false;
    return a != 0;
}

// The system's defaults, a test show as the slide folder.
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
        if (!saver.Start(Command("/s", program))) return nullptr;
        HWND window = e2e::FindWindowByCaption(L"SaverWindow", saver.Id(), 10000);
        Sleep(300);  // past creation: the first input is the test's own
        return window;
    }

    e2e::TempFolder show_;
};

std::string Corners(const RECT& r)
{
    const std::string corner = std::to_string(r.left) + "," + std::to_string(r.top);
    return corner + " " + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// The show over a grey window on every monitor, which plays the desktop that the show must hide.
class FullScreen : public SaverRun {
protected:
    void SetUp() override
    {
        UpdateWindow(desktop_);
        window_ = StartShow(saver_);
        ASSERT_NE(window_, nullptr);
    }
    ~FullScreen() override { DestroyWindow(desktop_); }

    const int cx_ = GetSystemMetrics(SM_CXSCREEN);
    const int cy_ = GetSystemMetrics(SM_CYSCREEN);
    const int vx_ = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int vy_ = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT all_ = {vx_, vy_, vx_ + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       vy_ + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    HWND desktop_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, all_.left, all_.top,
                                    all_.right - all_.left, all_.bottom - all_.top, nullptr, nullptr, nullptr, nullptr);
    e2e::Process saver_;
    HWND window_ = nullptr;
};

TEST_F(FullScreen, WindowIsTopmost) { EXPECT_NE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0); }

// The first slide comes in without a hold and stands centred at its own size on the primary monitor,
// black around it and in those corners of the virtual screen that some monitor shows. A message box
// instead fails the test at once.
TEST_F(FullScreen, FirstSlideStandsCentredWithBlackAround)
{
    const int left = (cx_ - 640) / 2;
    const int top = (cy_ - 480) / 2;
    for (int i = 0; i < 200 && !HasFailure() && !SameSlide(ScreenAt(left, top), ScreenAt(left + 639, top + 479)); ++i)
        Sleep(100);
    EXPECT_TRUE(SameSlide(ScreenAt(left, top), ScreenAt(left + 639, top + 479)));
    for (POINT p : {POINT{left - 1, top}, POINT{left, top - 1}, POINT{left + 640, top + 479},
                    POINT{left + 639, top + 480}, POINT{all_.left, all_.top}, POINT{all_.right - 1, all_.top},
                    POINT{all_.left, all_.bottom - 1}, POINT{all_.right - 1, all_.bottom - 1}}) {
        if (MonitorFromPoint(p, MONITOR_DEFAULTTONULL) == nullptr) continue;  // a corner that no monitor shows
        EXPECT_EQ(ScreenAt(p.x, p.y), RGB(0, 0, 0)) << p.x << "," << p.y;
    }
}

const char kOverrides[] = "Software\\Wine\\AppDefaults\\nimbra.scr\\DllOverrides";

// Run on each Windows family: only the Windows 95 family asks the password provider.
class Family : public SaverRun {
protected:
    Family()
    {
        for (const char* file : {"PASSWORD.CPL", "MPR.DLL"}) {
            const std::string library = e2e::BesideTest(("..\\testlibs\\" + std::string(file)).c_str());
            CopyFileA(library.c_str(), folder_.File(file).c_str(), FALSE);
        }
        CopyFileA(e2e::BesideTest("nimbra.scr").c_str(), program_.c_str(), FALSE);
    }
    ~Family() override { SHDeleteValueA(HKEY_CURRENT_USER, kOverrides, "mpr"); }
    std::string Calls()
    {
        std::string calls;
        return e2e::ReadFileBytes(folder_.File("calls.txt"), &calls) ? calls : "";
    }
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

// A delay long enough for the key to come within it even on a slow (emulated) machine.
TEST_F(Family, PasswordNotAskedWithinTheDelay)
{
    SetValue(kSystemKeyName, "Password Delay", 10);
    ExpectEndsOnAKeyWithoutAsking("within the delay of 10 s");
}

TEST_F(Family, PasswordNotAskedWithoutTheProvider)
{
    SetValue(kSystemKeyName, "Password Delay", 0);
    DeleteFileA(folder_.File("PASSWORD.CPL").c_str());
    ExpectEndsOnAKeyWithoutAsking("without PASSWORD.CPL");
}

// Asked once for a key: the key pressed while it asked did not count. A refusal keeps the show.
TEST_F(Family, PasswordAskedOnTheWindows95FamilyOnceTheDelayIsOver)
{
    SetValue(kSystemKeyName, "Password Delay", 0);
    e2e::WriteFileBytes(folder_.File("answer.txt"), "refuse");
    if (GetVersion() < 0x80000000) return ExpectEndsOnAKeyWithoutAsking("NT family");
    e2e::Process saver;
    HWND window = StartShow(saver, program_);
    ASSERT_NE(window, nullptr);
    PressKey('A');
    for (int i = 0; i < 100 && Calls().empty(); ++i) Sleep(100);
    std::string asked = "VerifyScreenSavePwd " + std::to_string(reinterpret_cast<uintptr_t>(window)) + "\n";
    EXPECT_EQ(saver.Wait(500), -1);
    EXPECT_EQ(Calls(), asked);

    e2e::WriteFileBytes(folder_.File("answer.txt"), "accept");
    PressKey('B');
    EXPECT_EQ(saver.Wait(10000), 0);
    EXPECT_EQ(Calls(), asked + asked);
}

TEST_F(Family, ChangePasswordAsksTheNetworkProvider)
{
    SetValue(kOverrides, "mpr", std::string("native"));  // the stand-in beside the program, not Wine's own
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(Command("/a 1234", program_)));
    EXPECT_EQ(saver.Wait(10000), 0);
    EXPECT_EQ(Calls(), "PwdChangePasswordA SCRSAVE 1234 0 0\n");
}

using e2e::Wide;

// A preview window of the test's own, the command that shows the saver in it.
class Preview : public SaverRun {
protected:
    ~Preview() override { DestroyWindow(parent_); }
    HWND parent_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 30, 152, 112, nullptr,
                                   nullptr, nullptr, nullptr);
    std::string command_ = Command("/p " + std::to_string(reinterpret_cast<intptr_t>(parent_)));
    e2e::BoxesExpected answered_;  // without input rules the preview can show the boxes: the test answers them
};

// Each missing slide drawn is reported and another is drawn, until slide 7 comes and with its hold no more.
TEST_F(Preview, MissingSlidesAreReportedUntilOneIsThere)
{
    for (int n = 1; n <= 15; ++n) DeleteFileA(show_.File(SlideName(n == 7 ? 99 : n).c_str()).c_str());
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(command_));
    int boxes = 0;
    for (e2e::MessageBoxSeen box; (box = e2e::FindMessageBox(saver.Id(), 3000)).window && boxes < 40; ++boxes) {
        EXPECT_EQ(box.caption, L"Error");
        EXPECT_EQ(box.text.substr(0, box.text.find(L"slide_") + 6), Wide(show_.Path()) + L"\\slide_");
        EXPECT_EQ(box.text.find(L"slide_07"), std::wstring::npos);
        e2e::Answer(box, IDOK);
        e2e::WaitGone(box.window, 3000);
    }
    EXPECT_LT(boxes, 40);
}

TEST_F(Preview, FillsItsParent)
{
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(command_));
    HWND child = nullptr;  // only a child is found here
    for (int i = 0; i < 100 && child == nullptr; ++i, Sleep(100))
        child = FindWindowExA(parent_, nullptr, "ScrClass", "SaverPreview");
    RECT area = {};
    ASSERT_TRUE(GetWindowRect(child, &area));
    EXPECT_EQ(Corners(area), "40,30 192,142");
}

TEST_F(Preview, EndsWithItsParent)
{
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(command_));
    for (int i = 0; i < 100 && FindWindowExA(parent_, nullptr, "ScrClass", nullptr) == nullptr; ++i) Sleep(100);
    DestroyWindow(parent_);
    EXPECT_EQ(saver.Wait(10000), 0);
}

// What the registry holds before the settings dialog opens, the button that closes it (0: the caption's
// close box), what the checkbox shows, and what is stored after.
struct DialogCase {
    const char* name;
    DWORD fit;  // kNoValue: no value, and for the empty path no key at all
    std::string path;
    int button;
    bool shownTicked;
    DWORD storedFit;
    std::string storedPath;  // kStarted: the folder the program started in
};

const DWORD kNoValue = 99;
const char kStarted[] = "(the folder it started in)";
const std::string kUnterminated(MAX_PATH, 'b');

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class ConfigDialog : public ::testing::TestWithParam<DialogCase> {};

// One checkbox, clicked once here.
TEST_P(ConfigDialog, ShowsAndStoresFitScreenWithTheSlideFolder)
{
    const DialogCase& c = GetParam();
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSaverKeyName);
    if (c.fit != kNoValue) SetValue(kSaverKeyName, "Fit Screen", c.fit);
    if (c.path == kUnterminated)
        SHSetValueA(HKEY_CURRENT_USER, kSaverKeyName, "Path", REG_BINARY, c.path.data(), MAX_PATH);
    else if (!c.path.empty())
        SetValue(kSaverKeyName, "Path", c.path);
    e2e::TempFolder folder;
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(Command("/c"), folder.Path().c_str()));
    HWND dialog = e2e::FindWindowByCaption(L"ｽｸﾘｰﾝｾｰﾊﾞｰの設定", saver.Id(), 10000);
    EXPECT_EQ(e2e::ControlText(dialog, IDOK), L"OK");
    EXPECT_EQ(e2e::ControlText(dialog, IDCANCEL), L"Cancel");
    EXPECT_EQ(e2e::ControlText(dialog, 1000), L"ﾃﾞｽｸﾄｯﾌﾟｻｲｽﾞに拡大");
    EXPECT_EQ(SendDlgItemMessageW(dialog, 1000, BM_GETCHECK, 0, 0), c.shownTicked ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(dialog, 1000, BM_CLICK, 0, 0);
    if (c.button != 0)
        SendDlgItemMessageW(dialog, c.button, BM_CLICK, 0, 0);
    else
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(saver.Wait(10000), 0);

    DWORD fit = kNoValue;
    DWORD size = sizeof fit;
    SHGetValueA(HKEY_CURRENT_USER, kSaverKeyName, "Fit Screen", nullptr, &fit, &size);
    EXPECT_EQ(fit, c.storedFit);
    char path[MAX_PATH + 1] = {};
    DWORD type = 0;
    size = MAX_PATH + 1;
    SHGetValueA(HKEY_CURRENT_USER, kSaverKeyName, "Path", &type, path, &size);
    EXPECT_EQ(path, c.storedPath == kStarted ? folder.Path() : c.storedPath);
    if (c.button != IDOK) return;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, static_cast<DWORD>(MAX_PATH));  // the whole path buffer
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigDialog, ::testing::Values(
    DialogCase{"TickedThenCleared", 1, "C:\\show", IDOK, true, 0, "C:\\show"},
    DialogCase{"DoubleByteFolder", 0, "C:\\表示", IDOK, false, 1, "C:\\表示"},
    DialogCase{"CloseBoxStoresNothing", 0, "C:\\show", 0, false, 0, "C:\\show"},
    DialogCase{"NoKeyStoresAnEmptyPath", kNoValue, "", IDOK, false, 1, ""},
    DialogCase{"NoPathTakesTheCurrentFolder", 0, "", IDOK, false, 1, kStarted},
    DialogCase{"UnterminatedPathTakesTheCurrentFolder", 0, kUnterminated, IDOK, false, 1, kStarted}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

}  // namespace
