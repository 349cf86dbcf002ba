// The "WININIT.INI" edit on real files under Wine (the file system takes delete requests there, so
// the edit is called directly, as it runs on the Windows 95 family). The text cases are tested natively.
#include "installer_fixture.h"

#include "setup/delete_on_restart.h"

namespace {

class Wininit : public InstallerTest {};

}  // namespace

TEST_F(Wininit, EntryNamesTheShortPathAndAFileThatCannotBeWrittenKeepsEveryEntry)
{
    const std::string target = Temp("unithra program.exe");
    MakeFile(target, "program");
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(target.c_str(), shortPath, sizeof shortPath), 0u);
    const std::string ini = Temp("WININIT.INI");
    const std::string before = "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n\x1a";
    MakeFile(ini, before);
    {
        // Held open by another program without sharing.
        HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(AddToWininit(ini.c_str(), target.c_str()), -1);
        CloseHandle(held);
    }
    EXPECT_EQ(ReadText(ini), before);

    ASSERT_EQ(AddToWininit(ini.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadText(ini),
              "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\nNUL=" + std::string(shortPath) + "\r\n");
    char value[64];
    GetPrivateProfileStringA("boot", "x", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "1");

    // A folder of that name: nothing to write into.
    const std::string folderIni = Temp("folder\\WININIT.INI");
    MakeFolder(folderIni);
    EXPECT_EQ(AddToWininit(folderIni.c_str(), target.c_str()), -1);
    EXPECT_TRUE(GetFileAttributesA(folderIni.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}
