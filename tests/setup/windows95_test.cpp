// Setup on the Windows 95 family, where MoveFileExA is a stub that fails with ERROR_CALL_NOT_IMPLEMENTED:
// the system's version and that stub are stood in for, whatever Windows the test runs on.
#include "import_patch.h"
#include "setup/delete_on_restart.h"
#include "setup/file_copy.h"
#include "setup_driving.h"

using namespace setup_driving;

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
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0);  // the real move, by its other name
}

class Windows95 : public ::testing::Test {
protected:
    Windows95()
    {
        e2e::WriteFileBytes(folder_.File("new.txt"), "new");
        e2e::WriteFileBytes(folder_.File("a.txt"), "old");
        moveFileExCalls = 0;
    }
    int CopyOver()
    {
        CopyBars bars;
        SetupState state{};
        return CopyOneFile(state, bars, folder_.File("new.txt").c_str(), folder_.File("a.txt").c_str());
    }

    e2e::TempFolder folder_;
    e2e::ImportPatch version_{"kernel32.dll", "GetVersionExA", reinterpret_cast<const void*>(&Windows95Version)};
    e2e::ImportPatch moveEx_{"kernel32.dll", "MoveFileExA", reinterpret_cast<const void*>(&Windows95MoveFileEx)};
};

TEST_F(Windows95, ACopyReplacesAnOlderFileWithoutTheReplacingMove)
{
    ASSERT_TRUE(version_.Active());
    ASSERT_TRUE(moveEx_.Active());
    EXPECT_EQ(CopyOver(), 0);
    EXPECT_EQ(ReadText(folder_.File("a.txt")), "new");
    EXPECT_EQ(Files(folder_.Path()), "a.txt new.txt ");  // nothing left beside it
    EXPECT_EQ(moveFileExCalls, 0);
}

TEST_F(Windows95, AnOlderFileComesBackWhenTheCopyCannotTakeItsPlace)
{
    e2e::ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<const void*>(&MoveFileRefusingTheCopy));
    ASSERT_TRUE(move.Active());
    EXPECT_EQ(CopyOver(), -1);
    EXPECT_EQ(ReadText(folder_.File("a.txt")), "old");
}

TEST_F(Windows95, ADeletionAtRestartGoesIntoWininitWhenTheFileSystemRefusesIt)
{
    const std::string ini = SystemFolder().substr(0, SystemFolder().rfind('\\')) + "\\WININIT.INI";
    std::string before;
    const bool existed = e2e::ReadFileBytes(ini, &before);
    ScheduleDeleteOnRestart(folder_.File("a.txt").c_str());
    const std::string after = ReadText(ini);
    if (existed) e2e::WriteFileBytes(ini, before);
    else DeleteFileA(ini.c_str());
    char shortPath[MAX_PATH];
    GetShortPathNameA(folder_.File("a.txt").c_str(), shortPath, sizeof shortPath);
    EXPECT_NE(after.find("NUL=" + std::string(shortPath) + "\r\n"), std::string::npos) << after;
}

}  // namespace
