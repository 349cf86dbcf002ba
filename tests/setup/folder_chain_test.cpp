// Creating folder chains under Wine: drive and network paths, file names, the question and
// double-byte names (the refusals are tested with the portable walk).
#include "installer_fixture.h"

#include "setup/folder_chain.h"
#include "setup/uninstall_log.h"

namespace {

class FolderChain : public InstallerTest {
protected:
    std::string Pending() const { return std::string(state_.pendingFolders.data, state_.pendingFolders.size); }
};

}  // namespace

TEST(Cp932, PortableLeadBytesAgreeWithTheSystem)
{
    ASSERT_EQ(GetACP(), 932u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != 0) << b;
}

TEST_F(FolderChain, CreatesMissingLevelsOutermostFirstAndRecordsThem)
{
    // Every folder made is recorded: a folder cut at a trail byte 0x5C would show in the lines.
    std::string first = Temp("表表");
    std::string second = first + "\\ソソ";
    ASSERT_EQ(MakeFolderChain(state_, second.c_str(), kPathIsFolder), 0);
    EXPECT_TRUE(Exists(second));
    EXPECT_EQ(Pending(), "+ " + first + "\n+ " + second + "\n");

    // Without PathIsFolder the last component is a file name; with the log open records go to it.
    MakeFolder(state_.installFolder);
    ASSERT_EQ(OpenUninstallLog(state_), 0);
    std::string file = second + "\\ソ\\name.txt";
    ASSERT_EQ(MakeFolderChain(state_, file.c_str(), 0), 0);
    CloseUninstallLog(state_);
    EXPECT_TRUE(Exists(second + "\\ソ"));
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ReadText(LogPath()), "+ " + second + "\\ソ\r\n");
    EXPECT_EQ(state_.pendingCount, 2);

    std::string tooLong = Temp(std::string(300, 'x'));
    EXPECT_EQ(MakeFolderChain(state_, tooLong.c_str(), kPathIsFolder), -1);
}

TEST_F(FolderChain, AsksOnceBeforeTheFirstMissingFolder)
{
    std::string path = Temp("表示\\新しい");
    for (int button : {IDNO, IDYES}) {
        BoxAnswer answer(button);
        EXPECT_EQ(MakeFolderChain(state_, path.c_str(), kPathIsFolder | kConfirmCreate), button == IDYES ? 0 : -1);
        EXPECT_EQ(answer.Seen().caption, L"コピー");
        EXPECT_EQ(answer.Seen().text, L"フォルダ " + Wide(path) + L" は存在しません。\n作成しますか？");
        EXPECT_EQ(Exists(Temp("表示")), button == IDYES);
    }
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(state_.pendingCount, 2);
    // Everything exists now: no question, nothing recorded.
    EXPECT_EQ(MakeFolderChain(state_, path.c_str(), kPathIsFolder | kConfirmCreate), 0);
    EXPECT_EQ(state_.pendingCount, 2);
}

TEST_F(FolderChain, NetworkPathsStartBehindTheShareName)
{
    // Wine serves \\server\share from the prefix's dosdevices\unc folder.
    char prefix[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix) GTEST_SKIP() << "not running under Wine";
    std::string unc = std::string("Z:") + prefix + "/dosdevices/unc";
    for (char& c : unc)
        if (c == '/') c = '\\';
    std::string server = "nimbra-test-" + std::to_string(GetCurrentProcessId());
    std::string share = unc + "\\" + server + "\\share";
    MakeFolder(share);
    if (!Exists("\\\\" + server + "\\share")) {
        e2e::RemoveTree(unc + "\\" + server);
        GTEST_SKIP() << "no UNC paths here";
    }
    std::string path = "\\\\" + server + "\\share\\ソフト\\表示";
    EXPECT_EQ(MakeFolderChain(state_, path.c_str(), kPathIsFolder), 0);
    EXPECT_TRUE(Exists(share + "\\ソフト\\表示"));
    EXPECT_EQ(Pending(), "+ \\\\" + server + "\\share\\ソフト\n+ " + path + "\n");
    e2e::RemoveTree(unc + "\\" + server);
}
