// Reading "setup.ini" under Wine: totals over nested folders and the messages for bad entries.
#include "installer_fixture.h"

#include "setup/copy_list.h"
#include "setup/copy_list_text.h"

namespace {

class CopyList : public InstallerTest {
protected:
    std::vector<std::pair<int, std::string>> Records()
    {
        std::vector<std::pair<int, std::string>> out;
        size_t position = 0;
        CopyRecord record;
        while (NextCopyRecord(state_.copyList, kCopyListBytes, &position, &record))
            out.push_back({record.kind, record.text});
        return out;
    }
};

}  // namespace

TEST_F(CopyList, RecordsEntriesAndCountsFilesThroughAllSubfolders)
{
    MakeFile(Source("a.txt"), std::string(10, 'a'));
    MakeFile(Source("pics\\1.bin"), std::string(100, '1'));
    MakeFile(Source("pics\\表示\\2.bin"), std::string(1000, '2'));
    MakeFile(Source("pics\\.svn\\x"), std::string(5000, 'x'));  // folders starting with "." are passed over
    MakeFile(Source("pics\\.dot"), std::string(7, '.'));
    MakeFile(Source("nimbra.scr"), std::string(20, 's'));
    WriteList("#copystart\r\na.txt\r\npics\r\n  nimbra.scr\r\n");
    ASSERT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), 0);
    EXPECT_EQ(state_.totalBytes, 10 + 100 + 1000 + 7 + 20);
    EXPECT_EQ(Records(), (std::vector<std::pair<int, std::string>>{{0, "a.txt"}, {1, "pics"}, {0, "nimbra.scr"}}));
}

TEST_F(CopyList, MissingListIsSilentAndLeavesTheTotal)
{
    state_.totalBytes = 42;
    EXPECT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), -1);
    EXPECT_EQ(state_.totalBytes, 42);
}

TEST_F(CopyList, MissingEntryIsNamedWithItsFullPath)
{
    MakeFile(Source("a.txt"), "a");
    WriteList("#copystart\na.txt\n表示.txt\n");
    BoxAnswer answer(IDOK);
    EXPECT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), -1);
    EXPECT_EQ(answer.Seen().caption, L"エラー");
    EXPECT_EQ(answer.Seen().text, Wide(Source("表示.txt")) + L" のファイルが見つかりません");
}

TEST_F(CopyList, EntriesLeadingOutOfTheFolderAreRefused)
{
    MakeFile(Temp("outside.txt"), "secret");
    WriteList("#copystart\n..\\..\\outside.txt\n");
    BoxAnswer answer(IDOK);
    EXPECT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), -1);
    EXPECT_EQ(answer.Seen().caption, L"エラー");
    EXPECT_EQ(answer.Seen().text, L"コピーリストの項目 ..\\..\\outside.txt は使用できません");
}

TEST_F(CopyList, ListBeyondItsBufferIsRefusedAndStaysWellFormed)
{
    std::string name = "a_long_file_name_of_thirty.txt";  // 30 bytes: 32 per record
    MakeFile(Source(name), "x");
    std::string list = "#copystart\n";
    for (int i = 0; i < 2100; ++i) list += name + "\n";
    WriteList(list);
    BoxAnswer answer(IDOK);
    EXPECT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), -1);
    EXPECT_EQ(answer.Seen().caption, L"エラー");
    EXPECT_EQ(answer.Seen().text, L"コピーリストの項目が多すぎます\n" + Wide(name));
    EXPECT_EQ(Records().size(), (kCopyListBytes - 2) / 32);
}
