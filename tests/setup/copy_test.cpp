// Reading "setup.ini" and copying what it names under Wine: totals over nested folders, lists that
// cannot be used, file times, read-only files, destinations that cannot be written, and the folder
// chains made on the way (drive and network paths, the question before creating them).
#include "installer_fixture.h"

#include "setup/copy_list.h"
#include "setup/file_copy.h"
#include "setup/folder_chain.h"
#include "setup/uninstall_log.h"

namespace {

class Copy : public InstallerTest {
protected:
    void Prepare(const std::string& list)
    {
        WriteList(list);
        ASSERT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), 0);
        MakeFolder(state_.installFolder);
    }
    int Run()
    {
        if (OpenUninstallLog(state_) != 0) return -2;
        int result = RunCopyList(state_, nullptr);
        CloseUninstallLog(state_);
        return result;
    }
    std::string Pending() const { return std::string(state_.pendingFolders.data, state_.pendingFolders.size); }
};

}  // namespace

TEST_F(Copy, EveryKindOfEntryIsCountedAndCopiedWhereItBelongs)
{
    MakeFile(Source("readme.txt"), "read me");
    MakeFile(Source("nimbra.scr"), "saver");
    MakeFile(Source(".scr"), "four");
    MakeFile(Source("empty.dat"), "");
    MakeFile(Source("pics\\a.qjx"), std::string(200000, 'q'));
    MakeFile(Source("pics\\deep\\x.scr"), "deep saver");
    MakeFile(Source("pics\\.svn\\skip"), "skip");  // folders starting with "." are passed over
    MakeFile(Source("pics\\.dot"), ".");           // files are not
    MakeFolder(Source("pics\\empty"));
    MakeFile(Source("ソフト\\表示.txt"), "double-byte");
    // The source is read-only and carries its own times.
    SYSTEMTIME day{2003, 3, 0, 4, 5, 0, 0, 0};
    FILETIME written, copied;
    SystemTimeToFileTime(&day, &written);
    HANDLE file = CreateFileA(Source("readme.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    SetFileAttributesA(Source("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Prepare("#copystart\r\nreadme.txt\r\n  nimbra.scr\r\n.scr\r\nempty.dat\r\npics\r\nソフト\\表示.txt\r\n");
    EXPECT_EQ(state_.totalBytes, 7 + 5 + 4 + 0 + 200000 + 10 + 1 + 11);

    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(state_.copiedBytes, state_.totalBytes);
    EXPECT_EQ(ReadText(Install("readme.txt")), "read me");
    EXPECT_EQ(GetFileAttributesA(Install("readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // Wine on Linux keeps no creation time and moves the access time on every read: the last-write
    // time is the one that survives the round trip.
    file = CreateFileA(Install("readme.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(file, nullptr, nullptr, &copied);
    CloseHandle(file);
    EXPECT_EQ(CompareFileTime(&copied, &written), 0);
    EXPECT_EQ(ReadText(System("nimbra.scr")), "saver");
    EXPECT_EQ(ReadText(Install(".scr")), "four");
    EXPECT_EQ(ReadText(Install("empty.dat")), "");
    EXPECT_EQ(ReadText(Install("pics\\a.qjx")), std::string(200000, 'q'));
    EXPECT_EQ(ReadText(Install("pics\\.dot")), ".");
    EXPECT_EQ(ReadText(System("x.scr")), "deep saver");
    EXPECT_FALSE(Exists(Install("pics\\deep")));
    EXPECT_FALSE(Exists(Install("pics\\.svn")));
    EXPECT_FALSE(Exists(Install("pics\\empty")));
    EXPECT_EQ(ReadText(Install("ソフト\\表示.txt")), "double-byte");
    std::string log = ReadText(LogPath());
    for (const std::string& line : {Install("readme.txt"), System("nimbra.scr"), Install("pics\\a.qjx"), System("x.scr"),
                                    "+ " + Install("pics"), "+ " + Install("ソフト")})
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line;
}

TEST_F(Copy, ListsThatCannotBeUsedAreNamedInTheMessage)
{
    MakeFile(Temp("outside.txt"), "secret");
    const std::string name = "a_long_file_name_of_thirty.txt";
    MakeFile(Source(name), "x");
    std::string tooMany = "#copystart\n";
    for (int i = 0; i < 2100; ++i) tooMany += name + "\n";
    struct {
        std::string list;
        std::wstring message;
    } cases[] = {{"#copystart\n..\\..\\outside.txt\n", L"コピーリストの項目 ..\\..\\outside.txt は使用できません"},
                 {tooMany, L"コピーリストの項目が多すぎます\n" + Wide(name)}};
    for (const auto& c : cases) {
        WriteList(c.list);
        BoxAnswer answer(IDOK);
        EXPECT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), -1);
        EXPECT_EQ(answer.Seen().caption, L"エラー");
        EXPECT_EQ(answer.Seen().text, c.message);
    }
}

TEST_F(Copy, DestinationThatCannotBeWrittenEndsTheRunAndStaysAsItWas)
{
    MakeFile(Source("a.txt"), "new a");
    MakeFile(Source("b.txt"), "new b");
    Prepare("#copystart\nb.txt\na.txt\n");
    auto expectEndedAt = [this](const std::string& old) {
        EXPECT_EQ(Run(), -1);
        EXPECT_EQ(ReadText(old), "old");
        EXPECT_FALSE(Exists(Install("a.txt")));
        EXPECT_EQ(ReadText(LogPath()), "");
    };
    MakeFile(Install("b.txt\\inside.txt"), "old");  // a folder in the way
    expectEndedAt(Install("b.txt\\inside.txt"));

    e2e::RemoveTree(Install("b.txt"));
    MakeFile(Install("b.txt"), "old");
    SetFileAttributesA(Install("b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(Install("b.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "read-only files are writable here (Wine run by root)";
    }
    expectEndedAt(Install("b.txt"));
}

TEST(Cp932, PortableLeadBytesAgreeWithTheSystem)
{
    ASSERT_EQ(GetACP(), 932u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != 0) << b;
}

TEST_F(Copy, FolderChainAsksOnceBeforeTheFirstMissingFolder)
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
    // Everything exists now: no question, nothing recorded. Too long for the buffers: refused.
    EXPECT_EQ(MakeFolderChain(state_, path.c_str(), kPathIsFolder | kConfirmCreate), 0);
    EXPECT_EQ(MakeFolderChain(state_, Temp(std::string(300, 'x')).c_str(), kPathIsFolder), -1);
    EXPECT_EQ(state_.pendingCount, 2);
}

TEST_F(Copy, FolderChainOnNetworkPathsStartBehindTheShareName)
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
    // Without PathIsFolder the last component is a file name.
    std::string path = "\\\\" + server + "\\share\\ソフト\\表示";
    EXPECT_EQ(MakeFolderChain(state_, (path + "\\name.txt").c_str(), 0), 0);
    EXPECT_EQ(MakeFolderChain(state_, (path + "\\ソ").c_str(), kPathIsFolder), 0);
    EXPECT_TRUE(Exists(share + "\\ソフト\\表示\\ソ"));
    EXPECT_FALSE(Exists(path + "\\name.txt"));
    EXPECT_EQ(Pending(), "+ \\\\" + server + "\\share\\ソフト\n+ " + path + "\n+ " + path + "\\ソ\n");
    e2e::RemoveTree(unc + "\\" + server);
}
