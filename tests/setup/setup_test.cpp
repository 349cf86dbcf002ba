// The installer's copying and uninstaller runs under Wine, on either Windows family, in folders ending in byte 0x5C.
#include <functional>
#include <future>
#include <utility>

#include "import_patch.h"
#include "setup/copy_list.h"
#include "setup/copy_list_text.h"
#include "setup/delete_on_restart.h"
#include "setup/file_copy.h"
#include "setup/main_dialog.h"
#include "setup/registration.h"
#include "setup/uninstall_log.h"
#include "setup/uninstaller.h"
#include "setup_driving.h"

using namespace setup_driving;

// What the uninstaller's message boxes say, "caption|text".
const std::wstring kCaption = L"Ithraスクリーンセーバー - アンインストール|";
const std::wstring kQuestion = kCaption + L"アンインストールを実行してもよろしいですか？";
const std::wstring kNotInstalled = kCaption + L"インストールされていません";
const std::wstring kNoLog = kCaption + L"アンインストールに失敗しました。";
const std::wstring kDone = std::wstring(kProduct) + L"|アンインストールに成功しました。";
const std::wstring kFailed = std::wstring(kProduct) + L"|アンインストールが失敗しました。";

using Boxes = std::vector<std::pair<std::wstring, int>>;  // "caption|text" and the button that answers it

// Runs call on a second thread while this one answers its message boxes, each expected to say what is
// given; a box more fails the test and is closed, so that a fault fails instead of hanging.
int Answering(const std::function<int()>& call, const Boxes& boxes)
{
    e2e::BoxesExpected expected;
    std::future<int> result = std::async(std::launch::async, call);
    for (const auto& box : boxes) Reply(GetCurrentProcessId(), box.first, box.second);
    while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (e2e::MessageBoxSeen more = e2e::FindMessageBox(GetCurrentProcessId(), 0); more.window != nullptr) {
            ADD_FAILURE() << "one box more: " << more.caption << "|" << more.text;
            e2e::Close(more);
        }
    return result.get();
}

// Source, install and system folder under a folder of the test's own, their names ending in trail bytes 0x5C.
class Setup : public ::testing::Test {
protected:
    Setup() : copyList_(kCopyListBytes)
    {
        snprintf(state_.sourceFolder, kPathBytes, "%s\\ソ", temp_.Path().c_str());
        snprintf(state_.installFolder, kPathBytes, "%s\\表", temp_.Path().c_str());
        snprintf(state_.systemFolder, kPathBytes, "%s\\ソ表", temp_.Path().c_str());
        for (const char* folder : {state_.sourceFolder, state_.installFolder, state_.systemFolder})
            CreateDirectoryA(folder, nullptr);
        state_.instance = GetModuleHandleA(nullptr);
        state_.copyList = copyList_.data();
        LoadCaption(state_);
    }
    ~Setup() override { GrowFree(state_.pendingFolders); }
    std::string Install(const std::string& name) const { return state_.installFolder + ("\\" + name); }
    std::string Source(const std::string& name) const { return state_.sourceFolder + ("\\" + name); }
    std::string System(const std::string& name) const { return state_.systemFolder + ("\\" + name); }
    // Writes the file, making the folders along its path; only whole backslash characters split it.
    static void MakeFile(const std::string& path, const std::string& bytes)
    {
        for (size_t i = 3; i < path.size(); i += IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i])) ? 2 : 1)
            if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        e2e::WriteFileBytes(path, bytes);
    }
    // Reads a list of these entries and copies it with the log open: the copy's result, -2 when it never began.
    int Copy(const std::string& list)
    {
        MakeFile(Source("setup.ini"), "#copystart\r\n" + list);
        if (ReadCopyList(state_, state_.sourceFolder, "setup.ini") != 0) return -2;
        if (OpenUninstallLog(state_) != 0) return -2;
        CopyBars bars;
        const int result = RunCopyList(state_, bars);
        CloseUninstallLog(state_);
        return result;
    }

    CleanMachine clean_;
    e2e::TempFolder temp_;
    SetupState state_{};
    std::vector<char> copyList_;
};

// A screen saver deep in a folder goes to the system folder; ".scr" is too short a name for one; folders
// starting with "." are passed over; an older copy of a read-only source is replaced, and the copy is writable.
TEST_F(Setup, EveryEntryGoesWhereItBelongsWithNormalAttributes)
{
    const std::pair<std::string, std::string> copies[] = {
        {"readme.txt", Install("readme.txt")},         {"nimbra.scr", System("nimbra.scr")},
        {".scr", Install(".scr")},                     {"pics\\deep\\x.scr", System("x.scr")},
        {"pics\\.dot", Install("pics\\.dot")},         {"ソフト\\表示.txt", Install("ソフト\\表示.txt")},
        {"pics\\.svn\\skip", Install("pics\\.svn\\skip")}};
    for (const auto& c : copies) MakeFile(Source(c.first), c.first);
    MakeFile(Install("readme.txt"), "an older copy");
    SetFileAttributesA(Source("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(Copy("readme.txt\r\n  nimbra.scr\r\n.scr\r\npics\r\nソフト\\表示.txt\r\n"), 0);
    for (const auto& c : copies) {
        const bool passedOver = c.first.find(".svn") != std::string::npos;
        EXPECT_EQ(ReadText(c.second), passedOver ? "<missing>" : c.first) << c.first;
    }
    const DWORD attributes = GetFileAttributesA(Install("readme.txt").c_str());
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u);  // else neither replaced nor uninstalled
}

TEST_F(Setup, UnusableEntryIsNamedAndNothingIsCopied)
{
    const std::wstring named = L"エラー|コピーリストの項目 ..\\..\\outside.txt は使用できません";
    EXPECT_EQ(Answering([this] { return Copy("..\\..\\outside.txt\r\n"); }, {{named, IDOK}}), -2);
}

// A read-only older file, or a folder where the file goes: the run ends and what was there stays.
TEST_F(Setup, ReadOnlyFileOrFolderInTheWayEndsTheRunUnchanged)
{
    MakeFile(Source("big.bin"), "new big");
    MakeFile(Install("big.bin"), "old big");
    SetFileAttributesA(Install("big.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFile(Source("c.txt"), "new c");
    MakeFile(Install("c.txt\\inside.txt"), "old");
    for (const char* entry : {"big.bin", "c.txt"})
        EXPECT_EQ(Copy(entry + std::string("\r\n")), -1) << entry;
    EXPECT_EQ(ReadText(Install("big.bin")), "old big");
    EXPECT_EQ(ReadText(Install("c.txt\\inside.txt")), "old");
}

// Run from the install folder: its own setup.exe, whatever the letter case, and the user's files stay;
// its own folder and the log go.
TEST_F(Setup, ReplayRemovesOnlyWhatTheInstallationMade)
{
    const std::string own = Install("ソフト");
    const std::string foreign = Install("表示");
    snprintf(state_.sourceFolder, kPathBytes, "%s", state_.installFolder);
    MakeFile(Install("Setup.exe"), "MZ");
    MakeFile(own + "\\表示.txt", "x");
    MakeFile(foreign + "\\user.txt", "the user's own");
    const std::string files = Install("SETUP.EXE") + "\n" + own + "\\表示.txt\n" + Install("missing.txt") + "\n";
    MakeFile(Install("undelete.ini"), files + "+ " + own + "\n+ " + foreign + "\n+ " + temp_.Path() + "\\never\n");
    EXPECT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_TRUE(Exists(Install("Setup.exe")));
    EXPECT_TRUE(Exists(foreign + "\\user.txt"));
    EXPECT_FALSE(Exists(own));
    EXPECT_FALSE(Exists(Install("undelete.ini")));
}

// The uninstaller run from one place, with or without an installation and its log; the buttons pressed,
// the boxes it shows, its result, and whether it leaves the keys and schedules a deletion at restart.
enum class RunFrom { SystemCopy, Media, InstallFolder, Dialog };

struct UninstallCase {
    const char* name;
    bool installed;
    bool log;
    RunFrom from;
    Boxes boxes;
    int result;
    bool keysLeft;
    bool scheduled;
};

void PrintTo(const UninstallCase& c, std::ostream* out) { *out << c.name; }

class Uninstaller : public Setup, public ::testing::WithParamInterface<UninstallCase> {};

TEST_P(Uninstaller, AsksRemovesAndReports)
{
    const UninstallCase& c = GetParam();
    const std::string programs[] = {System("unithra.exe"), Source("setup.exe"), Install("setup.exe"), ""};
    for (int i = 0; i < 3; ++i) MakeFile(programs[i], "MZ");
    if (c.installed) {
        ASSERT_EQ(WriteInstallPath(state_), 0);
        ASSERT_EQ(WriteUninstallEntry(state_), 0);
    }
    if (c.log) MakeFile(Install("undelete.ini"), "");
    const std::string pendingBefore = PendingDeletions();
    const char* program = programs[static_cast<int>(c.from)].c_str();
    const auto run = [&] { return *program ? RunUninstaller(state_, program) : UninstallFromDialog(state_, nullptr); };
    EXPECT_EQ(Answering(run, c.boxes), c.result);
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kUserKey), c.keysLeft);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), c.keysLeft);
    EXPECT_EQ(PendingDeletions() != pendingBefore, c.scheduled);
}

// From the media, the media's own program file is never scheduled for deletion.
INSTANTIATE_TEST_SUITE_P(Runs, Uninstaller, ::testing::Values(
    UninstallCase{"NotInstalled", false, true, RunFrom::SystemCopy, {{kNotInstalled, IDOK}}, -1, false, false},
    UninstallCase{"Declined", true, true, RunFrom::SystemCopy, {{kQuestion, IDNO}}, 1, true, false},
    UninstallCase{"WithoutALog", true, false, RunFrom::SystemCopy,
                  {{kQuestion, IDYES}, {kNoLog, IDOK}}, 0, false, false},
    UninstallCase{"FromTheDialogWithoutALog", true, false, RunFrom::Dialog, {{kFailed, IDOK}}, 0, false, false},
    UninstallCase{"FromTheMedia", true, true, RunFrom::Media, {{kQuestion, IDYES}, {kDone, IDOK}}, 0, false, false},
    UninstallCase{"FromTheInstallFolder", true, true, RunFrom::InstallFolder, {{kQuestion, IDYES}, {kDone, IDOK}}, 0,
                  false, true}),
    [](const ::testing::TestParamInfo<UninstallCase>& info) { return info.param.name; });

TEST(Wininit, FileThatCannotBeWrittenKeepsEveryEntry)
{
    e2e::TempFolder temp;
    const std::string ini = temp.File("WININIT.INI");
    const std::string before = "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n\x1a";
    e2e::WriteFileBytes(ini, before);
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // no sharing
    EXPECT_EQ(AddToWininit(ini.c_str(), temp.File("unithra.exe").c_str()), -1);
    CloseHandle(held);
    EXPECT_EQ(ReadText(ini), before);
}

// On the Windows 95 family MoveFileExA is a stub that fails with ERROR_CALL_NOT_IMPLEMENTED: the system's
// version and that stub are stood in for, whatever Windows the test runs on.
BOOL WINAPI Windows95Version(OSVERSIONINFOA* version)
{
    *version = OSVERSIONINFOA{sizeof *version, 4, 0, 950, VER_PLATFORM_WIN32_WINDOWS, ""};
    return TRUE;
}

BOOL WINAPI Windows95MoveFileEx(const char*, const char*, DWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// Refuses to move the temporary copy (".tmp") onto its destination, as a file held open would; moves others.
BOOL WINAPI MoveFileRefusingTheCopy(const char* from, const char* to)
{
    const size_t length = strlen(from);
    if (length < 4 || strcmp(from + length - 4, ".tmp") != 0) return MoveFileExW(Wide(from).data(), Wide(to).data(), 0);
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
}

class Windows95 : public Setup {
protected:
    Windows95()
    {
        MakeFile(Source("a.txt"), "new");
        MakeFile(Install("a.txt"), "old");
    }

    e2e::ImportPatch version_{"kernel32.dll", "GetVersionExA", reinterpret_cast<const void*>(&Windows95Version)};
    e2e::ImportPatch moveEx_{"kernel32.dll", "MoveFileExA", reinterpret_cast<const void*>(&Windows95MoveFileEx)};
};

TEST_F(Windows95, ACopyReplacesAnOlderFileWithoutTheReplacingMove)
{
    ASSERT_TRUE(version_.Active());
    ASSERT_TRUE(moveEx_.Active());
    EXPECT_EQ(Copy("a.txt\r\n"), 0);
    EXPECT_EQ(ReadText(Install("a.txt")), "new");
    EXPECT_EQ(e2e::FileNames(state_.installFolder), (Strings{"a.txt", "undelete.ini"}));  // nothing left beside it
}

TEST_F(Windows95, AnOlderFileComesBackWhenTheCopyCannotTakeItsPlace)
{
    e2e::ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<const void*>(&MoveFileRefusingTheCopy));
    ASSERT_TRUE(move.Active());
    EXPECT_EQ(Copy("a.txt\r\n"), -1);
    EXPECT_EQ(ReadText(Install("a.txt")), "old");
}

TEST_F(Windows95, ADeletionAtRestartGoesIntoWininitWhenTheFileSystemRefusesIt)
{
    ScheduleDeleteOnRestart(Install("a.txt").c_str());
    char shortPath[MAX_PATH];
    GetShortPathNameA(Install("a.txt").c_str(), shortPath, sizeof shortPath);
    const std::string ini = ReadText(WininitPath());
    EXPECT_NE(ini.find("NUL=" + std::string(shortPath) + "\r\n"), std::string::npos) << ini;
}
