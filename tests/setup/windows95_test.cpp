// Setup on the Windows 95 family, where MoveFileExA is a stub that fails with ERROR_CALL_NOT_IMPLEMENTED:
// the system's version and that stub are stood in for, whatever Windows the test runs on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e.h"
#include "import_patch.h"
#include "setup/delete_on_restart.h"
#include "setup/file_copy.h"

namespace {

BOOL WINAPI Windows95Version(OSVERSIONINFOA* version)
{
    version->dwMajorVersion = 4;
    version->dwMinorVersion = 0;
    version->dwBuildNumber = 950;
    version->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    version->szCSDVersion[0] = '\0';
    return TRUE;
}

int moveFileExCalls;
BOOL WINAPI Windows95MoveFileEx(const char*, const char*, DWORD)
{
    ++moveFileExCalls;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// Refuses to move the temporary copy onto its destination, as a file held open elsewhere would.
BOOL WINAPI MoveFileRefusingTheCopy(const char* from, const char* to)
{
    std::string source = from;
    if (source.size() > 4 && source.compare(source.size() - 4, 4, ".tmp") == 0) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    auto realMove = reinterpret_cast<BOOL(WINAPI*)(const char*, const char*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileA")));
    return realMove(from, to);
}

class Windows95 : public ::testing::Test {
protected:
    Windows95()
    {
        strcpy(state_.installFolder, folder_.Path().c_str());
        e2e::WriteFileBytes(folder_.File("new.txt"), "new");
        e2e::WriteFileBytes(folder_.File("a.txt"), "old");
        moveFileExCalls = 0;
    }
    std::string Read(const char* name) const
    {
        std::string bytes = "<missing>";
        e2e::ReadFileBytes(folder_.File(name), &bytes);
        return bytes;
    }
    int FilesInFolder() const
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(folder_.File("*").c_str(), &found);
        int files = 0;
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++files;
        FindClose(search);
        return files;
    }
    int CopyOver()
    {
        CopyBars bars;
        return CopyOneFile(state_, bars, folder_.File("new.txt").c_str(), folder_.File("a.txt").c_str());
    }

    e2e::TempFolder folder_;
    SetupState state_{};
    e2e::ImportPatch version_{"kernel32.dll", "GetVersionExA", reinterpret_cast<const void*>(&Windows95Version)};
    e2e::ImportPatch moveEx_{"kernel32.dll", "MoveFileExA", reinterpret_cast<const void*>(&Windows95MoveFileEx)};
};

TEST_F(Windows95, TheStandInsAreInPlace)
{
    EXPECT_TRUE(version_.Active());
    EXPECT_TRUE(moveEx_.Active());
}

TEST_F(Windows95, ACopyReplacesAnOlderFileWithoutTheReplacingMove)
{
    EXPECT_EQ(CopyOver(), 0);
    EXPECT_EQ(Read("a.txt"), "new");
}

TEST_F(Windows95, AReplacedFileLeavesNothingBesideIt)
{
    CopyOver();
    EXPECT_EQ(FilesInFolder(), 2);  // new.txt and a.txt
}

TEST_F(Windows95, ACopyNeverAsksForTheReplacingMove)
{
    CopyOver();
    EXPECT_EQ(moveFileExCalls, 0);
}

TEST_F(Windows95, AnOlderFileComesBackWhenTheCopyCannotTakeItsPlace)
{
    e2e::ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<const void*>(&MoveFileRefusingTheCopy));
    ASSERT_TRUE(move.Active());
    EXPECT_EQ(CopyOver(), -1);
    EXPECT_EQ(Read("a.txt"), "old");
}

TEST_F(Windows95, ADeletionAtRestartGoesIntoWininitWhenTheFileSystemRefusesIt)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string ini = std::string(windows) + "\\WININIT.INI";
    std::string before;
    bool existed = e2e::ReadFileBytes(ini, &before);

    ScheduleDeleteOnRestart(folder_.File("a.txt").c_str());
    std::string after;
    e2e::ReadFileBytes(ini, &after);
    if (existed) e2e::WriteFileBytes(ini, before);
    else DeleteFileA(ini.c_str());

    char shortPath[MAX_PATH];
    GetShortPathNameA(folder_.File("a.txt").c_str(), shortPath, sizeof shortPath);
    EXPECT_NE(after.find("NUL=" + std::string(shortPath) + "\r\n"), std::string::npos) << after;
}

}  // namespace
