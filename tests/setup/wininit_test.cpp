// The "WININIT.INI" edit on real files under Wine (the file system takes delete requests there, so
// the edit is called directly, as it runs on the Windows 95 family).
#include "installer_fixture.h"

#include "setup/delete_on_restart.h"

namespace {

class Wininit : public InstallerTest {
protected:
    Wininit()
    {
        target_ = Temp("unithra.exe");
        MakeFile(target_, "program");
        char shortPath[MAX_PATH];
        GetShortPathNameA(target_.c_str(), shortPath, sizeof shortPath);
        entry_ = std::string("NUL=") + shortPath + "\r\n";
        ini_ = Temp("WININIT.INI");
    }

    std::string target_;
    std::string entry_;
    std::string ini_;
};

}  // namespace

TEST_F(Wininit, MissingFileOrSectionGetsTheSectionAtTheEnd)
{
    ASSERT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), 0);
    EXPECT_EQ(Read(ini_), "[Rename]\r\n" + entry_);

    MakeFile(ini_, "[boot]\r\nshell=Explorer.exe\r\n");
    ASSERT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), 0);
    EXPECT_EQ(Read(ini_), "[boot]\r\nshell=Explorer.exe\r\n[Rename]\r\n" + entry_);
}

TEST_F(Wininit, SeveralEntriesKeepTheirValuesAndTheEndMarkIsReplaced)
{
    MakeFile(ini_, "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n[boot]\r\nx=1\r\n\x1a");
    ASSERT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), 0);
    EXPECT_EQ(Read(ini_), "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n" + entry_);
    // A second request adds a second line; the other sections stay readable to the profile functions.
    ASSERT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), 0);
    EXPECT_EQ(Read(ini_), "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n" + entry_ + entry_);
    char value[64];
    GetPrivateProfileStringA("boot", "x", "", value, sizeof value, ini_.c_str());
    EXPECT_STREQ(value, "1");
}

TEST_F(Wininit, FileThatCannotBeWrittenKeepsEveryEntry)
{
    const std::string before = "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n";
    MakeFile(ini_, before);
    {
        // Held open by another program without sharing.
        HANDLE held = CreateFileA(ini_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(AddToWininit(ini_.c_str(), target_.c_str()), -1);
        CloseHandle(held);
    }
    EXPECT_EQ(Read(ini_), before);
    // A folder of that name: nothing to write into.
    std::string folderIni = Temp("folder\\WININIT.INI");
    MakeFolder(folderIni);
    EXPECT_EQ(AddToWininit(folderIni.c_str(), target_.c_str()), -1);
    EXPECT_TRUE(GetFileAttributesA(folderIni.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}
