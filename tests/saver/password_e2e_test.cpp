// The password hooks for real: nimbra.scr runs from a folder of its own next to stand-ins for the
// system's "PASSWORD.CPL" and "MPR.DLL", with Wine told to report the Windows 95 family to it.
#include <gtest/gtest.h>

#include "saver_driving.h"

using namespace saver_driving;

namespace {

const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\nimbra.scr";

class PasswordHooks : public ::testing::Test {
protected:
    PasswordHooks() : system_(HKEY_CURRENT_USER, kSystemKey), appDefaults_(HKEY_CURRENT_USER, kAppDefaults)
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kAppDefaults);
        CopyFileA(e2e::BesideTest("nimbra.scr").c_str(), folder_.File("nimbra.scr").c_str(), FALSE);
        CopyFileA(e2e::BesideTest("..\\testlibs\\PASSWORD.CPL").c_str(), folder_.File("PASSWORD.CPL").c_str(), FALSE);
        CopyFileA(e2e::BesideTest("..\\testlibs\\MPR.DLL").c_str(), folder_.File("MPR.DLL").c_str(), FALSE);
    }

    void ReportFamily(const char* version) { SetString(kAppDefaults, "Version", version); }
    void Answer(const char* answer) { e2e::WriteFileBytes(folder_.File("answer.txt"), answer); }
    std::string Calls()
    {
        std::string calls;
        e2e::ReadFileBytes(folder_.File("calls.txt"), &calls);
        return calls;
    }
    std::string Command(const char* arguments) { return "\"" + folder_.File("nimbra.scr") + "\" " + arguments; }

    void StartShow()
    {
        SetCursorPos(500, 400);
        ASSERT_TRUE(saver_.Start(Command("/s")));
        window_ = FindSaverWindow(saver_.Id());
        ASSERT_NE(window_, nullptr);
        Sleep(300);
    }

    e2e::RegistrySnapshot system_;
    e2e::RegistrySnapshot appDefaults_;
    TestShow show_;
    e2e::TempFolder folder_;
    e2e::Process saver_;
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(PasswordHooks, RefusedKeepsTheShowAcceptedEndsIt)
{
    ReportFamily("win98");
    SetDword(kSystemKey, "Password Delay", 0);
    Answer("refuse");
    StartShow();
    PressKey('A');
    EXPECT_EQ(saver_.Wait(800), -1);  // still running
    EXPECT_EQ(Calls(), "VerifyScreenSavePwd " + std::to_string(reinterpret_cast<uintptr_t>(window_)) + "\n");

    // The cursor is hidden again over the show that goes on.
    EXPECT_EQ(CursorAt(502, 400), nullptr);

    // Input rules are back on after the refusal: the next key asks again.
    Answer("accept");
    PressKey('B');
    EXPECT_EQ(saver_.Wait(3000), 0);
    EXPECT_EQ(Calls().size(), 2 * Calls().find('\n') + 2);
}

TEST_F(PasswordHooks, CloseWithinThePasswordDelayNeverAsks)
{
    ReportFamily("win98");
    SetDword(kSystemKey, "Password Delay", 15);
    Answer("refuse");
    StartShow();
    PressKey('A');
    EXPECT_EQ(saver_.Wait(3000), 0);
    EXPECT_EQ(Calls(), "");
}

TEST_F(PasswordHooks, NtFamilyNeverAsks)
{
    for (const char* version : {"nt40", "win10"}) {
        ReportFamily(version);
        SetDword(kSystemKey, "Password Delay", 0);
        Answer("refuse");
        e2e::Process saver;
        ASSERT_TRUE(saver.Start(Command("/s")));
        ASSERT_NE(FindSaverWindow(saver.Id()), nullptr);
        Sleep(300);
        PressKey('A');
        EXPECT_EQ(saver.Wait(3000), 0) << version;
        EXPECT_EQ(Calls(), "") << version;
    }
}

TEST_F(PasswordHooks, ChangePasswordAsksTheNetworkProvider)
{
    ReportFamily("win98");
    SetString((std::string(kAppDefaults) + "\\DllOverrides").c_str(), "mpr", "native");
    ASSERT_TRUE(saver_.Start(Command("/a 1234")));
    EXPECT_EQ(saver_.Wait(5000), 0);
    EXPECT_EQ(Calls(), "PwdChangePasswordA SCRSAVE 1234 0 0\n");
}

TEST_F(PasswordHooks, WithoutTheLibrariesEveryCloseIsAllowed)
{
    ReportFamily("win98");
    SetDword(kSystemKey, "Password Delay", 0);
    DeleteFileA(folder_.File("PASSWORD.CPL").c_str());
    StartShow();
    PressKey('A');
    EXPECT_EQ(saver_.Wait(3000), 0);
}
