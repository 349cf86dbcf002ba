// The installer's file, registry and message-box work under Wine, on folders whose names hold trail
// bytes 0x5C: copying, the log and its replay, registration and the uninstaller runs.
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

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
struct Boxes {
    e2e::BoxesExpected expected;
    std::vector<std::wstring> seen;
    std::atomic<bool> done{false};
    std::thread thread;
    explicit Boxes(std::vector<int> buttons)
        : thread([this, buttons] {
              for (e2e::MessageBoxSeen box; !done;) {
                  if (!(box = e2e::FindMessageBox(GetCurrentProcessId(), 20)).window) continue;
                  size_t i = (seen.push_back(box.caption + L"|" + box.text), seen.size() - 1);
                  i < buttons.size() ? e2e::Answer(box, buttons[i]) : (e2e::Answer(box, IDOK), e2e::Answer(box, IDNO));
                  e2e::WaitGone(box.window, 5000);
              }
          }) {}
    ~Boxes() { Seen(); }
    const std::vector<std::wstring>& Seen() { return done = true, thread.joinable() ? thread.join(), seen : seen; }
};

// Takes all the memory the process has left, so that the next allocation fails as on a full machine.
struct MemoryTaken {
    static void* taken[1 << 16];
    int count = 0;
    MemoryTaken() { for (size_t size = 1u << 30; size >= 8; size /= 2) while (count < (1 << 16) && (taken[count] = malloc(size))) ++count; }
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

class Setup : public ::testing::Test {
protected:
    Setup() : copyList_(kCopyListBytes)
    {
        for (auto f : {std::make_pair(state_.sourceFolder, "ソフト\\元"), {state_.installFolder, "表示\\先ソ"}, {state_.systemFolder, "システム表"}})
            snprintf(f.first, kPathBytes, "%s\\%s", temp_.Path().c_str(), f.second), MakeFolder(f.first);
        state_.instance = GetModuleHandleA(nullptr), state_.copyList = copyList_.data(), LoadCaption(state_);
    }
    ~Setup() override { CloseUninstallLog(state_), GrowFree(state_.pendingFolders); }
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
    static void MakeFile(const std::string& path, const std::string& bytes) { MakeFolder(path, false), e2e::WriteFileBytes(path, bytes); }
    int Copy(const std::string& list, CopyBars bars = CopyBars())
    {
        if (MakeFile(Source("setup.ini"), "#copystart\r\n" + list), ReadCopyList(state_, state_.sourceFolder, "setup.ini") != 0 || OpenUninstallLog(state_) != 0) return -2;
        int result = RunCopyList(state_, bars); return CloseUninstallLog(state_), result;
    }

    MachineGuard guard_;
    e2e::TempFolder temp_;
    SetupState state_{};
    std::vector<char> copyList_;
};

// The copy dialog's file-name control stand-in: asks to cancel when a file of this name starts.
static SetupState* gCancelState;
static LRESULT CALLBACK CancelOnName(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && strstr(reinterpret_cast<const char*>(lParam), "big.bin")) gCancelState->cancelRequested = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Setup, EveryKindOfEntryIsCountedAndCopiedWhereItBelongs)
{
    const std::pair<std::string, std::string> files[] = {
        {"readme.txt", "read me"}, {"nimbra.scr", "saver"}, {".scr", "four"}, {"pics\\a.qjx", std::string(200000, 'q')},
        {"pics\\deep\\x.scr", "deep saver"}, {"pics\\.svn\\skip", "skip"}, {"pics\\.dot", "."}, {"ソフト\\表示.txt", "double-byte"}};
    for (const auto& f : files) MakeFile(Source(f.first), f.second);
    MakeFile(Install("readme.txt"), "an older copy");  // replaced
    // Read-only sources of a day long past, one replacing a file and one new.
    SYSTEMTIME day{2003, 3, 0, 4, 5, 0, 0, 0};
    FILETIME written;
    SystemTimeToFileTime(&day, &written);
    for (const char* name : {"readme.txt", "nimbra.scr"}) {
        HANDLE file = CreateFileA(Source(name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        SetFileAttributesA(Source(name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ASSERT_EQ(Copy("readme.txt\r\n  nimbra.scr\r\n.scr\r\npics\r\nソフト\\表示.txt\r\n"), 0);
    // The copies have the sources' last-write time (Wine keeps no creation time and moves the access time
    // on reads) and normal attributes: a read-only copy could be neither replaced nor uninstalled.
    for (const std::string& copy : {Install("readme.txt"), System("nimbra.scr")}) {
        WIN32_FILE_ATTRIBUTE_DATA copied{};
        ASSERT_TRUE(GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &copied));
        EXPECT_EQ(CompareFileTime(&copied.ftLastWriteTime, &written), 0) << copy;
        EXPECT_EQ(copied.dwFileAttributes & FILE_ATTRIBUTE_READONLY, 0u) << copy;
    }
    const std::string total = std::to_string(7 + 5 + 4 + 200000 + 10 + 1 + 11);  // folders starting with "." are passed over
    EXPECT_EQ(std::to_string(state_.totalBytes) + "/" + std::to_string(state_.copiedBytes), total + "/" + total);
    const std::string copies[] = {Install("readme.txt"), System("nimbra.scr"), Install(".scr"), Install("pics\\a.qjx"),
                                  System("x.scr"), "<missing>", Install("pics\\.dot"), Install("ソフト\\表示.txt")};
    // The folder's files come in the file system's order: the log's lines are compared as a set.
    std::vector<std::string> lines, expected{"+ " + Install("pics"), "+ " + Install("ソフト")};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(ReadText(copies[i]), i == 5 ? "<missing>" : files[i].second) << copies[i];
        if (i != 5) expected.push_back(copies[i]);
    }
    std::string log = Log();
    for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2) lines.push_back(log.substr(at, end - at));
    std::sort(lines.begin(), lines.end()), std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

TEST_F(Setup, ACopyThatFailsOrIsCancelledLeavesTheDestinationAsItWas)
{
    MakeFile(Source("a.txt"), "new a"), MakeFile(Source("big.bin"), std::string(300000, 'b')), MakeFile(Install("big.bin"), "old big");
    CopyBars bars;
    bars.name = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr), gCancelState = &state_;
    SetWindowLongPtrA(bars.name, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CancelOnName));
    EXPECT_EQ(Copy("big.bin\r\na.txt\r\n", bars), -1);
    DestroyWindow(bars.name);
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(Install("*.tmp").c_str(), &found), INVALID_HANDLE_VALUE) << found.cFileName;
    // A read-only file or a folder in the way: the run ends there, nothing of it changed.
    SetFileAttributesA(Install("big.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Copy("big.bin\r\n"), -1);
    MakeFile(Source("c.txt"), "new c"), MakeFile(Install("c.txt\\inside.txt"), "old");
    EXPECT_EQ(Copy("c.txt\r\n"), -1);
    EXPECT_EQ(ReadText(Install("big.bin")) + ReadText(Install("a.txt")) + ReadText(Install("c.txt\\inside.txt")) + Log(), "old big<missing>old");
    // An unusable entry is named; the lead bytes agree with the system's.
    Boxes boxes({IDOK});
    EXPECT_EQ(Copy("..\\..\\outside.txt\r\n"), -2);
    EXPECT_EQ(boxes.Seen(), std::vector<std::wstring>{L"エラー|コピーリストの項目 ..\\..\\outside.txt は使用できません"});
    ASSERT_EQ(GetACP(), 932u);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != 0) << b;
}

// Destinations of the longest path a file can have (259 bytes): an older file is replaced whatever the
// length of its name, through a temporary name that fits, so that a cancelled copy keeps it; in place
// where a name of one byte leaves room for no other (after a folder longer than the 248 bytes that
// Windows creates), so that a cancelled copy loses it.
TEST_F(Setup, AnOlderFileAtTheEndOfAFullLengthPathIsReplacedWhateverTheLengthOfItsName)
{
    MakeFile(Source("a.txt"), "new");
    for (size_t name : {12, 11, 2, 1}) {  // "~nimXXXX.tmp" has 12
        const std::string folder = Install(std::string(kPathBytes - 3 - name - strlen(state_.installFolder), 'd'));
        const std::string destination = folder + "\\" + std::string(name, 'n');
        ASSERT_EQ(destination.size(), kPathBytes - 1);
        MakeFile(destination, "old");
        CopyBars bars;
        state_.cancelRequested = 1;  // seen after the first bytes were written
        EXPECT_EQ(CopyOneFile(state_, bars, Source("a.txt").c_str(), destination.c_str()), -1) << name;
        EXPECT_EQ(ReadText(destination), name > 1 ? "old" : "<missing>") << name;
        state_.cancelRequested = 0;
        EXPECT_EQ(CopyOneFile(state_, bars, Source("a.txt").c_str(), destination.c_str()), 0) << name;
        EXPECT_EQ(ReadText(destination), "new") << name;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        int files = 0;
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        FindClose(search);
        EXPECT_EQ(files, 1) << name;  // no temporary file left beside it
        e2e::RemoveTree(folder);
    }
}

TEST_F(Setup, AFolderLineThatNeedsMoreMemoryThanIsLeftIsRefusedWhole)
{
#ifdef _WIN64
    GTEST_SKIP() << "a 64-bit process's address space cannot be used up; the i686 build runs this case";
#endif
    ASSERT_EQ(RecordFolder(state_, "C:\\a"), 0);  // 7 bytes of a 256-byte table
    // 7 + 2 + 247 fill the table; the line feed then needs more memory. One byte shorter fits.
    const std::string tooLongPath = "C:\\" + std::string(244, 'x'), fitsPath = "C:\\" + std::string(243, 'y');
    auto taken = std::make_unique<MemoryTaken>();
    int results[] = {RecordFolder(state_, tooLongPath.c_str()), RecordFolder(state_, fitsPath.c_str())};
    taken.reset();
    EXPECT_EQ(std::make_pair(results[0], results[1]), std::make_pair(-1, 0));
    EXPECT_EQ((OpenUninstallLog(state_), FlushPendingFolders(state_), CloseUninstallLog(state_), Log()), "+ C:\\a\r\n+ " + fitsPath + "\r\n");
}

TEST_F(Setup, TheReplayKeepsTheRunningSetupAndForeignFiles)
{
    snprintf(state_.sourceFolder, kPathBytes, "%s", state_.installFolder);  // running from the install folder
    std::string own = Install("ソフト"), foreign = Install("表示");
    MakeFile(Install("Setup.exe"), "MZ"), MakeFile(own + "\\表示.txt", "x"), MakeFile(foreign + "\\user.txt", "the user's own");
    MakeFile(Install("undelete.ini"), Install("SETUP.EXE") + "\n" + own + "\\表示.txt\n" + Install("missing.txt") +
                                          "\n+ " + own + "\n+ " + foreign + "\n+ " + temp_.Path() + "\\never\n");
    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_TRUE(Exists(Install("Setup.exe")) && Exists(foreign + "\\user.txt") && !Exists(own) && !Exists(Install("undelete.ini")));
}

// Without memory for the folder list the files go, the folders stay, and the uninstall says it failed;
// the log stays too, and a second replay finishes.
TEST_F(Setup, AReplayWithoutMemoryForItsFoldersSaysItFailedAndKeepsTheLog)
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

TEST_F(Setup, RegistrationReadsOnlyAUsablePathAndTakesBackOnlyWhatItWrote)
{
    auto set = [](const char* name, DWORD type, const std::string& data) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())), RegCloseKey(key);
    };
    auto values = [] { return RegistryString(HKEY_CURRENT_USER, kUserKey, "Fit Screen") + RegistryString(HKEY_CURRENT_USER, kUserKey, "Path"); };
    ASSERT_EQ(WriteUninstallEntry(state_), 0);  // Windows' list alone is no installation
    const std::string path = state_.installFolder;
    snprintf(state_.installFolder, kPathBytes, "unchanged");
    EXPECT_EQ(ReadInstallPath(state_), -1);
    // Refused: not a string, empty, too long for a path; read: a value stored without its zero byte.
    const std::pair<DWORD, std::string> stored[] = {
        {REG_DWORD, std::string(4, '\0')}, {REG_SZ, std::string(1, '\0')}, {REG_SZ, "C:\\" + std::string(300, 'p') + '\0'}, {REG_SZ, path}};
    for (const auto& v : stored)
        EXPECT_EQ((set("Path", v.first, v.second), std::to_string(ReadInstallPath(state_)) + state_.installFolder), v.second == path ? "0" + path : "-1unchanged");
    set("Fit Screen", REG_SZ, std::string("1", 2)), set("Path", REG_SZ, std::string("C:\\old", 7));
    // A value name longer than the registry allows makes the second write fail.
    const std::string refusedName(20000, 'v'), below = std::string(kUserKey) + "\\new\\deeper";  // made by the write
    const RegistryValue failing[] = {{"Path", "C:\\new"}, {refusedName.c_str(), "x"}}, first[] = {{"Fit Screen", "0"}, {"Path", "C:\\new"}};
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, kUserKey, failing, 2), -1);
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, below.c_str(), failing, 2), -1);
    EXPECT_EQ(values() + (KeyExists(HKEY_CURRENT_USER, (std::string(kUserKey) + "\\new").c_str()) ? " and new" : ""), "1C:\\old");
    EXPECT_EQ(WriteRegistryValues(HKEY_CURRENT_USER, kUserKey, first, 2), 0);
    EXPECT_EQ(values(), "0C:\\new");
}

TEST_F(Setup, UninstallerRunsAndTheirMessages)
{
    const std::wstring caption = L"Ithraスクリーンセーバー - アンインストール|", question = caption + L"アンインストールを実行してもよろしいですか？";
    const std::wstring product = std::wstring(kProduct) + L"|", done = product + L"アンインストールに成功しました。";
    for (const std::string& program : {System("unithra.exe"), Source("setup.exe"), Install("setup.exe")}) MakeFile(program, "MZ");
    const struct { bool installed, log, fromDialog; std::string program; std::vector<int> buttons; std::vector<std::wstring> boxes; int result; bool keysLeft, scheduled; } cases[] = {
        {false, true, false, System("unithra.exe"), {IDOK}, {caption + L"インストールされていません"}, -1, false, false},
        {true, true, false, System("unithra.exe"), {IDNO}, {question}, 1, true, false},
        {true, false, false, System("unithra.exe"), {IDYES, IDOK}, {question, caption + L"アンインストールに失敗しました。"}, 0, false, false},
        {true, false, true, "", {IDOK}, {product + L"アンインストールが失敗しました。"}, 0, false, false},
        // From the media: the media's own program file is never scheduled for deletion.
        {true, true, false, Source("setup.exe"), {IDYES, IDOK}, {question, done}, 0, false, false},
        {true, true, false, System("unithra.exe"), {IDYES, IDOK}, {question, done}, 0, false, true},
        {true, true, false, Install("setup.exe"), {IDYES, IDOK}, {question, done}, 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program + (c.fromDialog ? " dialog" : ""));
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey), DeleteFileA(Install("undelete.ini").c_str());
        ASSERT_TRUE(!c.installed || (WriteInstallPath(state_) == 0 && WriteUninstallEntry(state_) == 0));
        if (c.log) MakeFile(Install("undelete.ini"), "");
        std::string pendingBefore = PendingDeletions();
        Boxes boxes(c.buttons);
        EXPECT_EQ(c.fromDialog ? UninstallFromDialog(state_, nullptr) : RunUninstaller(state_, c.program.c_str()), c.result);
        EXPECT_EQ(boxes.Seen(), c.boxes);
        EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kUserKey) + 2 * KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), c.keysLeft ? 3 : 0);
        EXPECT_EQ(PendingDeletions() != pendingBefore, c.scheduled);
    }
}

TEST_F(Setup, WininitGainsTheShortPathAndAFileThatCannotBeWrittenKeepsEveryEntry)
{
    const std::string target = temp_.Path() + "\\unithra program.exe", ini = temp_.Path() + "\\WININIT.INI";
    const std::string before = "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n\x1a";
    char shortPath[MAX_PATH];
    MakeFile(target, "program"), MakeFile(ini, before);
    ASSERT_NE(GetShortPathNameA(target.c_str(), shortPath, sizeof shortPath), 0u);
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // no sharing
    EXPECT_EQ(AddToWininit(ini.c_str(), target.c_str()), -1);
    EXPECT_EQ((CloseHandle(held), ReadText(ini)), before);
    EXPECT_EQ(AddToWininit(ini.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadText(ini), "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=" + std::string(shortPath) + "\r\n");
}
