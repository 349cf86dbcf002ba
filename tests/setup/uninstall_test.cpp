// What uninstalling touches, under Wine: the log's replay and the folders recorded for it, the
// install path read back from the registry (both keys put back afterwards), and the "WININIT.INI"
// edit on real files. What a whole installation writes and deletes is checked end to end.
#include "installer_fixture.h"

#include "setup/copy_list.h"
#include "setup/delete_on_restart.h"
#include "setup/file_copy.h"
#include "setup/folder_chain.h"
#include "setup/registration.h"
#include "setup/uninstall_log.h"

using setup_driving::kUninstallKey;
using setup_driving::kUserKey;

namespace {

class Uninstall : public InstallerTest {
protected:
    Uninstall() : user_(HKEY_CURRENT_USER, kUserKey), machine_(HKEY_LOCAL_MACHINE, kUninstallKey)
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey);
        e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    static void SetValue(const char* name, DWORD type, const std::string& data)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }

    e2e::RegistrySnapshot user_;
    e2e::RegistrySnapshot machine_;
};

}  // namespace

TEST_F(Uninstall, ReplayKeepsTheRunningSetupInAnyCaseAndForeignFolders)
{
    // Running from the install folder: its setup.exe is recorded in another letter case.
    snprintf(state_.sourceFolder, kPathBytes, "%s", state_.installFolder);
    std::string own = Install("ソフト");
    std::string foreign = Install("表示");
    MakeFile(Install("Setup.exe"), "MZ");
    MakeFile(own + "\\表示.txt", "x");
    MakeFile(foreign + "\\user.txt", "the user's own");
    MakeFile(LogPath(), Install("SETUP.EXE") + "\n" + own + "\\表示.txt\n" + Install("missing.txt") + "\n+ " + own +
                            "\n+ " + foreign + "\n+ " + Temp("never-created") + "\n");

    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_TRUE(Exists(Install("Setup.exe")));
    EXPECT_FALSE(Exists(own));
    EXPECT_TRUE(Exists(foreign + "\\user.txt"));
    EXPECT_FALSE(Exists(LogPath()));
    EXPECT_EQ(ReplayUninstallLog(state_, state_.installFolder), -1);  // no log any more
}

TEST_F(Uninstall, ReinstallingReplacesTheLogAndMoreThanSixteenFoldersAreUndone)
{
    MakeFolder(state_.installFolder);
    ASSERT_EQ(OpenUninstallLog(state_), 0);
    RecordFile(state_, "C:\\first\\install.txt");
    CloseUninstallLog(state_);

    // Twenty nested folders made before the log was open, then flushed after the copy.
    std::string deep = Install("d");
    for (int i = 0; i < 19; ++i) deep += "\\表" + std::to_string(i);
    ASSERT_EQ(MakeFolderChain(state_, deep.c_str(), kPathIsFolder), 0);
    EXPECT_EQ(state_.pendingCount, 20);
    ASSERT_EQ(OpenUninstallLog(state_), 0);
    ASSERT_EQ(RunCopyList(state_, nullptr), 0);  // an empty list
    CloseUninstallLog(state_);

    std::string log = ReadText(LogPath());
    EXPECT_EQ(log.find("first"), std::string::npos);
    EXPECT_EQ(log.substr(0, 2 + Install("d").size() + 2), "+ " + Install("d") + "\r\n");
    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_FALSE(Exists(Install("d")));
}

TEST_F(Uninstall, OnlyAUsablePerUserPathCountsAsInstalled)
{
    // The entry in Windows' list alone is no installation.
    snprintf(state_.installFolder, kPathBytes, "C:\\x");
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    snprintf(state_.installFolder, kPathBytes, "unchanged");
    EXPECT_EQ(ReadInstallPath(state_), -1);

    struct {
        DWORD type;
        std::string data;
    } refused[] = {{REG_DWORD, std::string(4, '\0')}, {REG_SZ, std::string(1, '\0')},
                   {REG_SZ, "C:\\" + std::string(300, 'p') + '\0'}};
    for (const auto& value : refused) {
        SetValue("Path", value.type, value.data);
        EXPECT_EQ(ReadInstallPath(state_), -1) << value.data.size();
    }
    EXPECT_STREQ(state_.installFolder, "unchanged");
    // A value stored without its zero byte is still read whole.
    SetValue("Path", REG_SZ, "C:\\表示");
    EXPECT_EQ(ReadInstallPath(state_), 0);
    EXPECT_STREQ(state_.installFolder, "C:\\表示");
}

TEST_F(Uninstall, WininitEntryNamesTheShortPathAndAFileThatCannotBeWrittenKeepsEveryEntry)
{
    const std::string target = Temp("unithra program.exe");
    MakeFile(target, "program");
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(target.c_str(), shortPath, sizeof shortPath), 0u);
    const std::string ini = Temp("WININIT.INI");
    const std::string before = "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n\x1a";
    MakeFile(ini, before);
    // Held open by another program without sharing.
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(AddToWininit(ini.c_str(), target.c_str()), -1);
    CloseHandle(held);
    EXPECT_EQ(ReadText(ini), before);

    ASSERT_EQ(AddToWininit(ini.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadText(ini),
              "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\nNUL=" + std::string(shortPath) + "\r\n");

    // A folder of that name: nothing to write into.
    const std::string folderIni = Temp("folder\\WININIT.INI");
    MakeFolder(folderIni);
    EXPECT_EQ(AddToWininit(folderIni.c_str(), target.c_str()), -1);
    EXPECT_TRUE(GetFileAttributesA(folderIni.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}
