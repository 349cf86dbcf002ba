// The installer's file, registry and message-box work under Wine, on folders whose names hold trail
// bytes 0x5C: copying, the log and its replay, registration and the uninstaller runs.
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>

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

// Answers this process's message boxes from a second thread with the buttons given, keeping what they
// said ("caption|text"); boxes beyond those are closed too, so that a fault fails instead of hanging.
class Boxes {
public:
    explicit Boxes(std::vector<int> buttons) : buttons_(std::move(buttons)), thread_([this] { Answer(); }) {}
    ~Boxes() { Seen(); }
    const std::vector<std::wstring>& Seen()
    {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    void Answer()
    {
        while (!done_) {
            e2e::MessageBoxSeen box = e2e::FindMessageBox(GetCurrentProcessId(), 20);
            if (box.window == nullptr) continue;
            seen_.push_back(box.caption + L"|" + box.text);
            if (seen_.size() <= buttons_.size()) {
                e2e::Answer(box, buttons_[seen_.size() - 1]);
            } else {
                e2e::Answer(box, IDOK);
                e2e::Answer(box, IDNO);
            }
            e2e::WaitGone(box.window, 5000);
        }
    }

    e2e::BoxesExpected expected_;
    std::vector<int> buttons_;
    std::vector<std::wstring> seen_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Takes all the memory the process has left, so that the next allocation fails as on a full machine.
struct MemoryTaken {
    static void* taken[1 << 16];
    int count = 0;
    MemoryTaken()
    {
        for (size_t size = 1u << 30; size >= 8; size /= 2)
            while (count < (1 << 16) && (taken[count] = malloc(size)) != nullptr) ++count;
    }
    ~MemoryTaken() { while (count > 0) free(taken[--count]); }
};
void* MemoryTaken::taken[1 << 16];

// Refuses every realloc of this program while it lives, as a machine whose memory is used up refuses
// them; the installer's growing lists (GrowAppend) are what call realloc. The calls go through the
// program's import of msvcrt's realloc, whose entry is swapped: a 64-bit process, whose memory cannot
// be used up, refuses them as well.
extern "C" void* (*__MINGW_IMP_SYMBOL(realloc))(void*, size_t);
class ReallocRefused {
public:
    ReallocRefused() : kept_(Swap(Refuse)) {}
    ~ReallocRefused() { Swap(kept_); }

private:
    using Realloc = void* (*)(void*, size_t);
    static void* Refuse(void*, size_t) { return nullptr; }
    static Realloc Swap(Realloc with)
    {
        Realloc& entry = __MINGW_IMP_SYMBOL(realloc);
        DWORD access;
        VirtualProtect(&entry, sizeof entry, PAGE_READWRITE, &access);
        const Realloc before = entry;
        entry = with;
        VirtualProtect(&entry, sizeof entry, access, &access);
        return before;
    }
    Realloc kept_;
};

// Folders whose names hold trail bytes 0x5C: source, install and system folder under a folder of the test's own.
class Setup : public ::testing::Test {
protected:
    Setup() : copyList_(kCopyListBytes)
    {
        SetFolder(state_.sourceFolder, "ソフト\\元");
        SetFolder(state_.installFolder, "表示\\先ソ");
        SetFolder(state_.systemFolder, "システム表");
        state_.instance = GetModuleHandleA(nullptr);
        state_.copyList = copyList_.data();
        LoadCaption(state_);
    }
    ~Setup() override
    {
        CloseUninstallLog(state_);
        GrowFree(state_.pendingFolders);
    }
    void SetFolder(char* folder, const char* name)
    {
        snprintf(folder, kPathBytes, "%s\\%s", temp_.Path().c_str(), name);
        MakeFolder(folder);
    }
    std::string Install(const std::string& name) const { return state_.installFolder + ("\\" + name); }
    std::string Source(const std::string& name) const { return state_.sourceFolder + ("\\" + name); }
    std::string System(const std::string& name) const { return state_.systemFolder + ("\\" + name); }
    std::string Log() const { return ReadText(Install("undelete.ini")); }
    // The folders along path (its last component too when last); only whole backslash characters split it.
    static void MakeFolder(const std::string& path, bool last = true)
    {
        for (size_t i = 3; i < path.size(); i += IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i])) ? 2 : 1)
            if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        if (last) CreateDirectoryA(path.c_str(), nullptr);
    }
    static void MakeFile(const std::string& path, const std::string& bytes)
    {
        MakeFolder(path, false);
        e2e::WriteFileBytes(path, bytes);
    }
    // Reads a list of these entries and copies it with the log open: the copy's result, -2 when it never began.
    int Copy(const std::string& list, CopyBars bars = CopyBars())
    {
        MakeFile(Source("setup.ini"), "#copystart\r\n" + list);
        if (ReadCopyList(state_, state_.sourceFolder, "setup.ini") != 0) return -2;
        if (OpenUninstallLog(state_) != 0) return -2;
        int result = RunCopyList(state_, bars);
        CloseUninstallLog(state_);
        return result;
    }

    MachineGuard guard_;
    e2e::TempFolder temp_;
    SetupState state_{};
    std::vector<char> copyList_;
};

// Every kind of entry: files, screen savers, a folder with a screen saver deep inside and folders starting
// with "." (passed over), a file in a double-byte folder; two read-only sources of a day long past, one
// replacing an older copy.
class CopiedShow : public Setup {
protected:
    CopiedShow()
    {
        for (const auto& f : kFiles) MakeFile(Source(f.first), f.second);
        MakeFile(Install("readme.txt"), "an older copy");
        SYSTEMTIME day{2003, 3, 0, 4, 5, 0, 0, 0};
        SystemTimeToFileTime(&day, &written_);
        for (const char* name : {"readme.txt", "nimbra.scr"}) {
            HANDLE file = CreateFileA(Source(name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            SetFileTime(file, nullptr, nullptr, &written_);
            CloseHandle(file);
            SetFileAttributesA(Source(name).c_str(), FILE_ATTRIBUTE_READONLY);
        }
        result_ = Copy("readme.txt\r\n  nimbra.scr\r\n.scr\r\npics\r\nソフト\\表示.txt\r\n");
    }
    // The log's lines, sorted: a folder's files come in the file system's order.
    std::vector<std::string> LogLines()
    {
        std::vector<std::string> lines;
        std::string log = Log();
        for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(log.substr(at, end - at));
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    const std::pair<std::string, std::string> kFiles[8] = {
        {"readme.txt", "read me"}, {"nimbra.scr", "saver"}, {".scr", "four"}, {"pics\\a.qjx", std::string(200000, 'q')},
        {"pics\\deep\\x.scr", "deep saver"}, {"pics\\.svn\\skip", "skip"}, {"pics\\.dot", "."},
        {"ソフト\\表示.txt", "double-byte"}};
    FILETIME written_{};
    int result_ = 0;
};

TEST_F(CopiedShow, EveryEntryGoesWhereItBelongs)
{
    ASSERT_EQ(result_, 0);
    EXPECT_EQ(ReadText(Install("readme.txt")), "read me");
    EXPECT_EQ(ReadText(Install(".scr")), "four");  // too short a name for a screen saver
    EXPECT_EQ(ReadText(Install("pics\\a.qjx")), std::string(200000, 'q'));
    EXPECT_EQ(ReadText(Install("pics\\.dot")), ".");
    EXPECT_EQ(ReadText(Install("ソフト\\表示.txt")), "double-byte");
    EXPECT_EQ(ReadText(System("nimbra.scr")), "saver");
    EXPECT_EQ(ReadText(System("x.scr")), "deep saver");
    EXPECT_EQ(ReadText(Install("pics\\.svn\\skip")), "<missing>");
}

// Wine keeps no creation time and moves the access time on reads; a read-only copy could be neither
// replaced nor uninstalled.
TEST_F(CopiedShow, CopiesHaveTheSourcesTimeAndNormalAttributes)
{
    for (const std::string& copy : {Install("readme.txt"), System("nimbra.scr")}) {
        WIN32_FILE_ATTRIBUTE_DATA copied{};
        ASSERT_TRUE(GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &copied)) << copy;
        EXPECT_EQ(CompareFileTime(&copied.ftLastWriteTime, &written_), 0) << copy;
        EXPECT_EQ(copied.dwFileAttributes & FILE_ATTRIBUTE_READONLY, 0u) << copy;
    }
}

TEST_F(CopiedShow, EveryByteCopiedIsCounted)
{
    const long long total = 7 + 5 + 4 + 200000 + 10 + 1 + 11;
    EXPECT_EQ(state_.totalBytes, total);
    EXPECT_EQ(state_.copiedBytes, total);
}

TEST_F(CopiedShow, LogNamesEveryCopyAndEveryFolderMade)
{
    std::vector<std::string> expected = {"+ " + Install("pics"), "+ " + Install("ソフト"), Install("readme.txt"),
                                         System("nimbra.scr"), Install(".scr"), Install("pics\\a.qjx"),
                                         System("x.scr"), Install("pics\\.dot"), Install("ソフト\\表示.txt")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(LogLines(), expected);
}

// The copy dialog's file-name control stand-in: asks to cancel when a file of this name starts.
static SetupState* gCancelState;
static LRESULT CALLBACK CancelOnName(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && strstr(reinterpret_cast<const char*>(lParam), "big.bin"))
        gCancelState->cancelRequested = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Setup, CancelledCopyKeepsTheOlderFileAndStopsTheList)
{
    MakeFile(Source("a.txt"), "new a");
    MakeFile(Source("big.bin"), std::string(300000, 'b'));
    MakeFile(Install("big.bin"), "old big");
    CopyBars bars;
    bars.name = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    gCancelState = &state_;
    SetWindowLongPtrA(bars.name, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CancelOnName));
    EXPECT_EQ(Copy("big.bin\r\na.txt\r\n", bars), -1);
    DestroyWindow(bars.name);
    EXPECT_EQ(ReadText(Install("big.bin")), "old big");
    EXPECT_EQ(ReadText(Install("a.txt")), "<missing>");
    EXPECT_EQ(Log(), "");
}

TEST_F(Setup, CancelledCopyLeavesNoTemporaryFile)
{
    MakeFile(Source("big.bin"), std::string(300000, 'b'));
    MakeFile(Install("big.bin"), "old big");
    state_.cancelRequested = 1;
    Copy("big.bin\r\n");
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(Install("*.tmp").c_str(), &found), INVALID_HANDLE_VALUE) << found.cFileName;
}

TEST_F(Setup, ReadOnlyFileInTheWayEndsTheRunUnchanged)
{
    MakeFile(Source("big.bin"), "new big");
    MakeFile(Install("big.bin"), "old big");
    SetFileAttributesA(Install("big.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Copy("big.bin\r\n"), -1);
    EXPECT_EQ(ReadText(Install("big.bin")), "old big");
}

TEST_F(Setup, FolderInTheWayEndsTheRunUnchanged)
{
    MakeFile(Source("c.txt"), "new c");
    MakeFile(Install("c.txt\\inside.txt"), "old");
    EXPECT_EQ(Copy("c.txt\r\n"), -1);
    EXPECT_EQ(ReadText(Install("c.txt\\inside.txt")), "old");
}

TEST_F(Setup, UnusableEntryIsNamedAndNothingIsCopied)
{
    Boxes boxes({IDOK});
    EXPECT_EQ(Copy("..\\..\\outside.txt\r\n"), -2);
    EXPECT_EQ(boxes.Seen(), std::vector<std::wstring>{L"エラー|コピーリストの項目 ..\\..\\outside.txt は使用できません"});
}

TEST(Cp932, LeadBytesAgreeWithTheSystems)
{
    ASSERT_EQ(GetACP(), 932u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != 0)
            << b;
}

// Destinations of the longest path a file can have (259 bytes): an older file is replaced whatever the
// length of its name, through a temporary name that fits, so that a cancelled copy keeps it; in place
// where a name of one byte leaves room for no other (after a folder longer than the 248 bytes that
// Windows creates), so that a cancelled copy loses it. "~nimXXXX.tmp" has 12 bytes.
class FullLengthPath : public Setup, public ::testing::WithParamInterface<size_t> {
protected:
    FullLengthPath()
    {
        MakeFile(Source("a.txt"), "new");
        folder_ = Install(std::string(kPathBytes - 3 - GetParam() - strlen(state_.installFolder), 'd'));
        destination_ = folder_ + "\\" + std::string(GetParam(), 'n');
        MakeFile(destination_, "old");
    }
    int CopyOne()
    {
        CopyBars bars;
        return CopyOneFile(state_, bars, Source("a.txt").c_str(), destination_.c_str());
    }
    int FilesInTheFolder()
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        int files = 0;
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++files;
        FindClose(search);
        return files;
    }
    std::string folder_;
    std::string destination_;
};

TEST_P(FullLengthPath, CancelledCopyKeepsTheOlderFileWhereATemporaryNameFits)
{
    ASSERT_EQ(destination_.size(), kPathBytes - 1);
    state_.cancelRequested = 1;  // seen after the first bytes were written
    EXPECT_EQ(CopyOne(), -1);
    EXPECT_EQ(ReadText(destination_), GetParam() > 1 ? "old" : "<missing>");
}

TEST_P(FullLengthPath, CopyReplacesTheOlderFileAndLeavesNothingBesideIt)
{
    EXPECT_EQ(CopyOne(), 0);
    EXPECT_EQ(ReadText(destination_), "new");
    EXPECT_EQ(FilesInTheFolder(), 1);
}

INSTANTIATE_TEST_SUITE_P(NameBytes, FullLengthPath, ::testing::Values(12, 11, 2, 1));

// 7 + 2 + 247 fill the 256-byte table; the line feed then needs more memory. One byte shorter fits.
TEST_F(Setup, FolderLineThatNeedsMoreMemoryThanIsLeftIsRefusedWhole)
{
#ifdef _WIN64
    GTEST_SKIP() << "a 64-bit process's address space cannot be used up; the i686 build runs this case";
#endif
    ASSERT_EQ(RecordFolder(state_, "C:\\a"), 0);
    const std::string tooLongPath = "C:\\" + std::string(244, 'x');
    const std::string fitsPath = "C:\\" + std::string(243, 'y');
    auto taken = std::make_unique<MemoryTaken>();
    int tooLong = RecordFolder(state_, tooLongPath.c_str());
    int fits = RecordFolder(state_, fitsPath.c_str());
    taken.reset();
    EXPECT_EQ(tooLong, -1);
    EXPECT_EQ(fits, 0);
    OpenUninstallLog(state_);
    FlushPendingFolders(state_);
    CloseUninstallLog(state_);
    EXPECT_EQ(Log(), "+ C:\\a\r\n+ " + fitsPath + "\r\n");
}

// Run from the install folder: its own setup.exe, whatever the letter case, and the user's files stay.
class Replay : public Setup {
protected:
    Replay()
    {
        snprintf(state_.sourceFolder, kPathBytes, "%s", state_.installFolder);
        MakeFile(Install("Setup.exe"), "MZ");
        MakeFile(own_ + "\\表示.txt", "x");
        MakeFile(foreign_ + "\\user.txt", "the user's own");
        MakeFile(Install("undelete.ini"), Install("SETUP.EXE") + "\n" + own_ + "\\表示.txt\n" + Install("missing.txt") +
                                              "\n+ " + own_ + "\n+ " + foreign_ + "\n+ " + temp_.Path() + "\\never\n");
        result_ = ReplayUninstallLog(state_, state_.installFolder);
    }
    std::string own_ = Install("ソフト");
    std::string foreign_ = Install("表示");
    int result_ = -1;
};

TEST_F(Replay, KeepsTheRunningSetupAndTheUsersFiles)
{
    EXPECT_EQ(result_, 0);
    EXPECT_TRUE(Exists(Install("Setup.exe")));
    EXPECT_TRUE(Exists(foreign_ + "\\user.txt"));
}

TEST_F(Replay, RemovesItsOwnFolderAndTheLog)
{
    EXPECT_FALSE(Exists(own_));
    EXPECT_FALSE(Exists(Install("undelete.ini")));
}

// Without memory for the folder list the files go, the folders stay, and the uninstall says it failed;
// the log stays too, and a second replay finishes.
TEST_F(Setup, ReplayWithoutMemoryForItsFoldersSaysItFailedAndKeepsTheLog)
{
    const std::string inner = Install("ソフト");
    MakeFile(inner + "\\表示.txt", "x");
    const std::string log = inner + "\\表示.txt\n+ " + inner + "\n";
    MakeFile(Install("undelete.ini"), log);
    std::vector<std::wstring> seen;
    {
        Boxes boxes({IDOK});
        ReallocRefused refused;
        EXPECT_EQ(UninstallFromDialog(state_, nullptr), 0);
        seen = boxes.Seen();
    }
    EXPECT_EQ(seen, std::vector<std::wstring>{std::wstring(kProduct) + L"|アンインストールが失敗しました。"});
    EXPECT_FALSE(Exists(inner + "\\表示.txt"));
    EXPECT_TRUE(Exists(inner));
    EXPECT_EQ(ReadText(Install("undelete.ini")), log);
    EXPECT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_FALSE(Exists(inner));
    EXPECT_FALSE(Exists(Install("undelete.ini")));
}

class Registration : public Setup {
protected:
    static void Set(const char* name, DWORD type, const std::string& data)
    {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    // The install folder read from "Path", after its result; the folder was "unchanged" before.
    std::string ReadPath()
    {
        snprintf(state_.installFolder, kPathBytes, "unchanged");
        return std::to_string(ReadInstallPath(state_)) + " " + state_.installFolder;
    }
    static std::string Values()
    {
        return RegistryString(HKEY_CURRENT_USER, kUserKey, "Fit Screen") + " " +
               RegistryString(HKEY_CURRENT_USER, kUserKey, "Path");
    }
};

TEST_F(Registration, UninstallEntryAloneIsNoInstallation)
{
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    EXPECT_EQ(ReadPath(), "-1 unchanged");
}

TEST_F(Registration, PathThatIsNoUsableStringIsRefused)
{
    const std::pair<DWORD, std::string> refused[] = {
        {REG_DWORD, std::string(4, '\0')},
        {REG_SZ, std::string(1, '\0')},
        {REG_SZ, "C:\\" + std::string(300, 'p') + '\0'}};
    for (const auto& value : refused) {
        Set("Path", value.first, value.second);
        EXPECT_EQ(ReadPath(), "-1 unchanged") << value.second.size() << " bytes";
    }
}

TEST_F(Registration, PathStoredWithoutItsZeroByteIsRead)
{
    Set("Path", REG_SZ, "C:\\show");
    EXPECT_EQ(ReadPath(), "0 C:\\show");
}

// A value name longer than the registry allows makes the second write fail.
TEST_F(Registration, FailedWriteTakesBackWhatItWrote)
{
    Set("Fit Screen", REG_SZ, std::string("1", 2));
    Set("Path", REG_SZ, std::string("C:\\old", 7));
    const std::string refusedName(20000, 'v');
    const RegistryValue failing[] = {{"Path", "C:\\new"}, {refusedName.c_str(), "x"}};
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, kUserKey, failing, 2), -1);
    EXPECT_EQ(Values(), "1 C:\\old");
}

TEST_F(Registration, FailedWriteTakesBackTheKeysItMade)
{
    const std::string refusedName(20000, 'v');
    const RegistryValue failing[] = {{"Path", "C:\\new"}, {refusedName.c_str(), "x"}};
    const std::string below = std::string(kUserKey) + "\\new\\deeper";
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, below.c_str(), failing, 2), -1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::string(kUserKey) + "\\new").c_str()));
}

// The uninstaller run from one place, with or without an installation and its log; the buttons pressed,
// the boxes it shows, its result, and whether it leaves the keys and schedules a deletion at restart.
enum class RunFrom { SystemCopy, Media, InstallFolder, Dialog };

struct UninstallCase {
    const char* name;
    bool installed;
    bool log;
    RunFrom from;
    std::vector<int> buttons;
    std::vector<std::wstring> boxes;
    int result;
    bool keysLeft;
    bool scheduled;
};

void PrintTo(const UninstallCase& c, std::ostream* out) { *out << c.name; }

const std::wstring kCaption = L"Ithraスクリーンセーバー - アンインストール|";
const std::wstring kQuestion = kCaption + L"アンインストールを実行してもよろしいですか？";
const std::wstring kDone = std::wstring(kProduct) + L"|アンインストールに成功しました。";

class Uninstaller : public Setup, public ::testing::WithParamInterface<UninstallCase> {
protected:
    Uninstaller()
    {
        for (const std::string& program : {System("unithra.exe"), Source("setup.exe"), Install("setup.exe")})
            MakeFile(program, "MZ");
    }
    std::string Program(RunFrom from)
    {
        return from == RunFrom::SystemCopy ? System("unithra.exe")
               : from == RunFrom::Media    ? Source("setup.exe")
                                           : Install("setup.exe");
    }
};

TEST_P(Uninstaller, AsksRemovesAndReports)
{
    const UninstallCase& c = GetParam();
    if (c.installed) {
        ASSERT_EQ(WriteInstallPath(state_), 0);
        ASSERT_EQ(WriteUninstallEntry(state_), 0);
    }
    if (c.log) MakeFile(Install("undelete.ini"), "");
    std::string pendingBefore = PendingDeletions();
    Boxes boxes(c.buttons);
    const std::string program = Program(c.from);
    int result = c.from == RunFrom::Dialog ? UninstallFromDialog(state_, nullptr)
                                           : RunUninstaller(state_, program.c_str());
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(boxes.Seen(), c.boxes);
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kUserKey), c.keysLeft);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), c.keysLeft);
    EXPECT_EQ(PendingDeletions() != pendingBefore, c.scheduled);
}

// From the media, the media's own program file is never scheduled for deletion.
INSTANTIATE_TEST_SUITE_P(Runs, Uninstaller, ::testing::Values(
    UninstallCase{"NotInstalled", false, true, RunFrom::SystemCopy, {IDOK}, {kCaption + L"インストールされていません"},
                  -1, false, false},
    UninstallCase{"Declined", true, true, RunFrom::SystemCopy, {IDNO}, {kQuestion}, 1, true, false},
    UninstallCase{"WithoutALog", true, false, RunFrom::SystemCopy, {IDYES, IDOK},
                  {kQuestion, kCaption + L"アンインストールに失敗しました。"}, 0, false, false},
    UninstallCase{"FromTheDialogWithoutALog", true, false, RunFrom::Dialog, {IDOK},
                  {std::wstring(kProduct) + L"|アンインストールが失敗しました。"}, 0, false, false},
    UninstallCase{"FromTheMedia", true, true, RunFrom::Media, {IDYES, IDOK}, {kQuestion, kDone}, 0, false, false},
    UninstallCase{"FromTheSystemCopy", true, true, RunFrom::SystemCopy, {IDYES, IDOK}, {kQuestion, kDone}, 0, false,
                  true},
    UninstallCase{"FromTheInstallFolder", true, true, RunFrom::InstallFolder, {IDYES, IDOK}, {kQuestion, kDone}, 0,
                  false, true}),
    [](const ::testing::TestParamInfo<UninstallCase>& info) { return info.param.name; });

class Wininit : public Setup {
protected:
    Wininit()
    {
        MakeFile(target_, "program");
        MakeFile(ini_, kBefore);
    }
    const std::string target_ = temp_.Path() + "\\unithra program.exe";
    const std::string ini_ = temp_.Path() + "\\WININIT.INI";
    const std::string kBefore = "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n\x1a";
};

TEST_F(Wininit, FileThatCannotBeWrittenKeepsEveryEntry)
{
    HANDLE held = CreateFileA(ini_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // no sharing
    EXPECT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), -1);
    CloseHandle(held);
    EXPECT_EQ(ReadText(ini_), kBefore);
}

TEST_F(Wininit, GainsTheProgramsShortPath)
{
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(target_.c_str(), shortPath, sizeof shortPath), 0u);
    EXPECT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), 0);
    EXPECT_EQ(ReadText(ini_), "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=" + std::string(shortPath) + "\r\n");
}
