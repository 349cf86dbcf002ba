// The uninstall log under Wine: exact lines and order on disk, and the replay that undoes them.
#include "installer_fixture.h"

#include "setup/copy_list.h"
#include "setup/file_copy.h"
#include "setup/folder_chain.h"
#include "setup/uninstall_log.h"

namespace {

class UninstallLog : public InstallerTest {};

}  // namespace

TEST_F(UninstallLog, InstallationIntoNewFoldersLogsFilesThenFoldersAndReplayRemovesThemAll)
{
    MakeFile(Source("setup.exe"), "MZ setup");
    MakeFile(Source("play.exe"), "MZ play");
    WriteList("#copystart\r\nsetup.exe\r\nplay.exe\r\n#copyend\r\n");
    ASSERT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), 0);

    std::string programFiles = Temp("Program Files");
    MakeFolder(programFiles);
    std::string varnel = programFiles + "\\Varnel";
    std::string folder = varnel + "\\IthraSS";
    snprintf(state_.installFolder, kPathBytes, "%s", folder.c_str());
    ResetPendingFolders(state_);
    ASSERT_EQ(MakeFolderChain(state_, state_.installFolder, kPathIsFolder), 0);
    EXPECT_EQ(state_.pendingCount, 2);

    ASSERT_EQ(OpenUninstallLog(state_), 0);
    ASSERT_EQ(RunCopyList(state_, nullptr), 0);
    CloseUninstallLog(state_);
    EXPECT_EQ(state_.pendingCount, 0);
    EXPECT_EQ(Read(LogPath()), folder + "\\setup.exe\r\n" + folder + "\\play.exe\r\n+ " + varnel + "\r\n+ " + folder + "\r\n");

    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_FALSE(Exists(varnel));
    EXPECT_TRUE(Exists(programFiles));
    EXPECT_TRUE(Exists(Source("setup.exe")));
}

TEST_F(UninstallLog, ReplayKeepsTheRunningSetupInAnyCaseAndForeignFolders)
{
    // Running from the install folder: its setup.exe is recorded in another letter case.
    snprintf(state_.sourceFolder, kPathBytes, "%s", state_.installFolder);
    std::string own = Install("ソフト");
    std::string foreign = Install("表示");
    MakeFile(Install("Setup.exe"), "MZ");
    MakeFile(Install("ソフト\\表示.txt"), "x");
    MakeFile(foreign + "\\user.txt", "the user's own");
    std::string upper = std::string(state_.installFolder) + "\\SETUP.EXE";
    MakeFile(LogPath(), upper + "\n" + own + "\\表示.txt\n" + Install("missing.txt") + "\n+ " + own + "\n+ " + foreign +
                            "\n+ " + Temp("never-created") + "\n");

    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_TRUE(Exists(Install("Setup.exe")));
    EXPECT_FALSE(Exists(own));
    EXPECT_TRUE(Exists(foreign + "\\user.txt"));
    EXPECT_FALSE(Exists(LogPath()));
}

TEST_F(UninstallLog, EmptyOrMissingLogs)
{
    MakeFile(LogPath(), "");
    EXPECT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_FALSE(Exists(LogPath()));
    EXPECT_TRUE(Exists(state_.installFolder));
    EXPECT_EQ(ReplayUninstallLog(state_, state_.installFolder), -1);
}

TEST_F(UninstallLog, ReinstallingReplacesTheLogAndMoreThanSixteenFoldersAreUndone)
{
    MakeFolder(state_.installFolder);
    ASSERT_EQ(OpenUninstallLog(state_), 0);
    RecordFile(state_, "C:\\first\\install.txt");
    CloseUninstallLog(state_);

    // Twenty nested folders made before the log was open, then flushed after the copy.
    std::string deep = Install("d");
    for (int i = 0; i < 19; ++i) deep += "\\表" + std::to_string(i);
    ResetPendingFolders(state_);
    ASSERT_EQ(MakeFolderChain(state_, deep.c_str(), kPathIsFolder), 0);
    EXPECT_EQ(state_.pendingCount, 20);
    ASSERT_EQ(OpenUninstallLog(state_), 0);
    ASSERT_EQ(RunCopyList(state_, nullptr), 0);  // an empty list
    CloseUninstallLog(state_);

    std::string log = Read(LogPath());
    EXPECT_EQ(log.find("first"), std::string::npos);
    EXPECT_EQ(log.substr(0, 2 + Install("d").size() + 2), "+ " + Install("d") + "\r\n");
    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_FALSE(Exists(Install("d")));
}
