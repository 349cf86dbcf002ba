// The uninstall log under Wine: what the replay leaves in place, and more pending folders than a
// small table would hold. (The lines of a whole installation are checked end to end.)
#include "installer_fixture.h"

#include "setup/copy_list.h"
#include "setup/file_copy.h"
#include "setup/folder_chain.h"
#include "setup/uninstall_log.h"

namespace {

class UninstallLog : public InstallerTest {};

}  // namespace

TEST_F(UninstallLog, ReplayKeepsTheRunningSetupInAnyCaseAndForeignFolders)
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

TEST_F(UninstallLog, ReinstallingReplacesTheLogAndMoreThanSixteenFoldersAreUndone)
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
