// The installer's file, registry and message-box work under Wine, on folders whose names hold trail
// bytes 0x5C: copying, the log and its replay, registration and the uninstaller runs.
#include <atomic>
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

// What the uninstaller's message boxes say, "caption|text".
const std::wstring kCaption = L"Ithraスクリーンセーバー - アンインストール|";
const std::wstring kQuestion = kCaption + L"アンインストールを実行してもよろしいですか？";
const std::wstring kDone = std::wstring(kProduct) + L"|アンインストールに成功しました。";
const std::wstring kFailed = std::wstring(kProduct) + L"|アンインストールが失敗しました。";

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
            e2e::Answer(box, seen_.size() <= buttons_.size() ? buttons_[seen_.size() - 1] : IDOK);
            if (seen_.size() > buttons_.size()) e2e::Answer(box, IDNO);
            e2e::WaitGone(box.window, 5000);
        }
    }

    e2e::BoxesExpected expected_;
    std::vector<int> buttons_;
    std::vector<std::wstring> seen_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Refuses every realloc of this program while it lives, as a machine whose memory is used up refuses
// them; the installer's growing lists (GrowAppend) are what call realloc. The calls go through the
// program's import of msvcrt's realloc, whose entry is swapped.
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
// replacing an older copy. Each file with where its copy belongs: I the install folder, S the system folder.
struct ShowFile {
    const char* name;
    std::string bytes;
    char goes;
    const char* copy;
};

class CopiedShow : public Setup {
protected:
    CopiedShow()
    {
        for (const ShowFile& f : kFiles) MakeFile(Source(f.name), f.bytes);
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
    std::string Copied(const ShowFile& f) const { return f.goes == 'S' ? System(f.copy) : Install(f.copy); }

    const ShowFile kFiles[8] = {
        {"readme.txt", "read me", 'I', "readme.txt"},
        {"nimbra.scr", "saver", 'S', "nimbra.scr"},
        {".scr", "four", 'I', ".scr"},  // too short a name for a screen saver
        {"pics\\a.qjx", std::string(200000, 'q'), 'I', "pics\\a.qjx"},
        {"pics\\deep\\x.scr", "deep saver", 'S', "x.scr"},
        {"pics\\.dot", ".", 'I', "pics\\.dot"},
        {"ソフト\\表示.txt", "double-byte", 'I', "ソフト\\表示.txt"},
        {"pics\\.svn\\skip", "skip", '-', "pics\\.svn\\skip"}};
    FILETIME written_{};
    int result_ = 0;
};

TEST_F(CopiedShow, EveryEntryGoesWhereItBelongs)
{
    ASSERT_EQ(result_, 0);
    for (const ShowFile& f : kFiles) EXPECT_EQ(ReadText(Copied(f)), f.goes == '-' ? "<missing>" : f.bytes) << f.name;
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

// A folder's files come in the file system's order: the lines are compared sorted.
TEST_F(CopiedShow, LogNamesEveryCopyAndEveryFolderMade)
{
    std::vector<std::string> lines;
    const std::string log = Log();
    for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(log.substr(at, end - at));
    std::vector<std::string> expected = {"+ " + Install("pics"), "+ " + Install("ソフト")};
    for (const ShowFile& f : kFiles)
        if (f.goes != '-') expected.push_back(Copied(f));
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

TEST_F(Setup, ReadOnlyFileOrFolderInTheWayEndsTheRunUnchanged)
{
    MakeFile(Source("big.bin"), "new big");
    MakeFile(Install("big.bin"), "old big");
    SetFileAttributesA(Install("big.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFile(Source("c.txt"), "new c");
    MakeFile(Install("c.txt\\inside.txt"), "old");
    for (const char* entry : {"big.bin", "c.txt"}) EXPECT_EQ(Copy(entry + std::string("\r\n")), -1) << entry;
    EXPECT_EQ(ReadText(Install("big.bin")), "old big");
    EXPECT_EQ(ReadText(Install("c.txt\\inside.txt")), "old");
}

TEST_F(Setup, UnusableEntryIsNamedAndNothingIsCopied)
{
    Boxes boxes({IDOK});
    EXPECT_EQ(Copy("..\\..\\outside.txt\r\n"), -2);
    const std::wstring named = L"エラー|コピーリストの項目 ..\\..\\outside.txt は使用できません";
    EXPECT_EQ(boxes.Seen(), std::vector<std::wstring>{named});
}

TEST(Cp932, LeadBytesAgreeWithTheSystems)
{
    ASSERT_EQ(GetACP(), 932u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != 0)
            << b;
}

// Destinations of the longest path a file can have (259 bytes): an older file is replaced whatever the
// length of its name, through a temporary name that fits, so that a cancelled copy keeps it and leaves
// nothing beside it; in place where a name of one byte leaves room for no other (after a folder longer
// than the 248 bytes that Windows creates), so that a cancelled copy loses it. "~nimXXXX.tmp" has 12 bytes.
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
    std::string folder_;
    std::string destination_;
};

TEST_P(FullLengthPath, CancelledCopyKeepsTheOlderFileWhereATemporaryNameFits)
{
    ASSERT_EQ(destination_.size(), kPathBytes - 1);
    state_.cancelRequested = 1;  // seen after the first bytes were written
    EXPECT_EQ(CopyOne(), -1);
    EXPECT_EQ(ReadText(destination_), GetParam() > 1 ? "old" : "<missing>");
    EXPECT_EQ(Files(folder_), GetParam() > 1 ? std::string(GetParam(), 'n') + " " : "");
}

TEST_P(FullLengthPath, CopyReplacesTheOlderFileAndLeavesNothingBesideIt)
{
    EXPECT_EQ(CopyOne(), 0);
    EXPECT_EQ(ReadText(destination_), "new");
    EXPECT_EQ(Files(folder_), std::string(GetParam(), 'n') + " ");
}

INSTANTIATE_TEST_SUITE_P(NameBytes, FullLengthPath, ::testing::Values(12, 11, 2, 1));

// 7 + 2 + 247 fill the 256-byte table that the first line took; the line feed then needs more memory.
// One byte shorter fits.
TEST_F(Setup, FolderLineThatNeedsMoreMemoryThanIsLeftIsRefusedWhole)
{
    ASSERT_EQ(RecordFolder(state_, "C:\\a"), 0);
    const std::string tooLongPath = "C:\\" + std::string(244, 'x');
    const std::string fitsPath = "C:\\" + std::string(243, 'y');
    int tooLong = 0;
    int fits = -1;
    {
        ReallocRefused refused;
        tooLong = RecordFolder(state_, tooLongPath.c_str());
        fits = RecordFolder(state_, fitsPath.c_str());
    }
    EXPECT_EQ(tooLong, -1);
    EXPECT_EQ(fits, 0);
    OpenUninstallLog(state_);
    FlushPendingFolders(state_);
    CloseUninstallLog(state_);
    EXPECT_EQ(Log(), "+ C:\\a\r\n+ " + fitsPath + "\r\n");
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
    MakeFile(Install("undelete.ini"), Install("SETUP.EXE") + "\n" + own + "\\表示.txt\n" + Install("missing.txt") +
                                          "\n+ " + own + "\n+ " + foreign + "\n+ " + temp_.Path() + "\\never\n");
    EXPECT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_TRUE(Exists(Install("Setup.exe")));
    EXPECT_TRUE(Exists(foreign + "\\user.txt"));
    EXPECT_FALSE(Exists(own));
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
    EXPECT_EQ(seen, std::vector<std::wstring>{kFailed});
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
    // A value name longer than the registry allows makes the second write fail.
    const std::string refusedName_ = std::string(20000, 'v');
    const RegistryValue failing_[2] = {{"Path", "C:\\new"}, {refusedName_.c_str(), "x"}};
};

// The install folder read from "Path", after its result; the folder was "unchanged" before. The uninstall
// entry alone is no installation.
TEST_F(Registration, PathIsReadOnlyWhenItIsAUsableString)
{
    const struct { const char* name; DWORD type; std::string data; const char* read; } cases[] = {
        {"entry alone", REG_NONE, "", "-1 unchanged"},
        {"a number", REG_DWORD, std::string(4, '\0'), "-1 unchanged"},
        {"empty", REG_SZ, std::string(1, '\0'), "-1 unchanged"},
        {"too long", REG_SZ, "C:\\" + std::string(300, 'p') + '\0', "-1 unchanged"},
        {"without its zero byte", REG_SZ, "C:\\show", "0 C:\\show"}};
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    for (const auto& c : cases) {
        if (c.type != REG_NONE) Set("Path", c.type, c.data);
        snprintf(state_.installFolder, kPathBytes, "unchanged");
        const int result = ReadInstallPath(state_);
        EXPECT_EQ(std::to_string(result) + " " + state_.installFolder, c.read) << c.name;
    }
}

// Below a key that does not exist yet, then over values that do: each time nothing of the write stays.
TEST_F(Registration, FailedWriteTakesBackTheKeysAndValuesItWrote)
{
    const std::string below = std::string(kUserKey) + "\\new\\deeper";
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, below.c_str(), failing_, 2), -1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::string(kUserKey) + "\\new").c_str()));
    Set("Fit Screen", REG_SZ, std::string("1", 2));
    Set("Path", REG_SZ, std::string("C:\\old", 7));
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, kUserKey, failing_, 2), -1);
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUserKey, "Fit Screen"), "1");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUserKey, "Path"), "C:\\old");
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
    std::string pendingBefore = PendingDeletions();
    Boxes boxes(c.buttons);
    const std::string& program = programs[static_cast<int>(c.from)];
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
    UninstallCase{"NotInstalled", false, true, RunFrom::SystemCopy, {IDOK},
                  {kCaption + L"インストールされていません"}, -1, false, false},
    UninstallCase{"Declined", true, true, RunFrom::SystemCopy, {IDNO}, {kQuestion}, 1, true, false},
    UninstallCase{"WithoutALog", true, false, RunFrom::SystemCopy, {IDYES, IDOK},
                  {kQuestion, kCaption + L"アンインストールに失敗しました。"}, 0, false, false},
    UninstallCase{"FromTheDialogWithoutALog", true, false, RunFrom::Dialog, {IDOK}, {kFailed}, 0, false, false},
    UninstallCase{"FromTheMedia", true, true, RunFrom::Media, {IDYES, IDOK}, {kQuestion, kDone}, 0, false, false},
    UninstallCase{"FromTheInstallFolder", true, true, RunFrom::InstallFolder, {IDYES, IDOK}, {kQuestion, kDone}, 0,
                  false, true}),
    [](const ::testing::TestParamInfo<UninstallCase>& info) { return info.param.name; });

TEST(Wininit, FileThatCannotBeWrittenKeepsEveryEntry)
{
    e2e::TempFolder temp;
    const std::string ini = temp.File("WININIT.INI");
    const std::string before = "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n\x1a";
    e2e::WriteFileBytes(ini, before);
    e2e::WriteFileBytes(temp.File("unithra.exe"), "program");
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // no sharing
    EXPECT_EQ(AddToWininit(ini.c_str(), temp.File("unithra.exe").c_str()), -1);
    CloseHandle(held);
    EXPECT_EQ(ReadText(ini), before);
}
