// Reading "setup.ini" and copying what it names under Wine: totals over nested folders, lists that
// cannot be used, file times, read-only files and destinations that cannot be written.
#include "installer_fixture.h"

#include "setup/copy_list.h"
#include "setup/file_copy.h"
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
