// The installer's text formats and code page 932 path walking, natively under the sanitizers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/uninstall_log_text.h"

namespace {

// Code page 932 bytes: both of these end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c";   // "ソ"
const std::string kHyo = "\x95\x5c";  // "表"
const std::string kSoft = kSo + "\x83\x74\x83\x67";  // "ソフト"
const std::string kShow = kHyo + "\x8e\xa6";         // "表示"

FILE* TextFile(const std::string& bytes)
{
    FILE* file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    return file;
}

struct Entry {
    std::string text;
    EntryCheck check;
};

std::vector<Entry> ReadList(const std::string& bytes, int* result = nullptr)
{
    std::vector<Entry> entries;
    FILE* file = TextFile(bytes);
    int r = ReadCopyListText(
        file,
        [](void* context, const char* entry, EntryCheck check) {
            static_cast<std::vector<Entry>*>(context)->push_back({entry, check});
            return 0;
        },
        &entries);
    fclose(file);
    if (result) *result = r;
    return entries;
}

std::vector<std::string> Texts(const std::vector<Entry>& entries)
{
    std::vector<std::string> texts;
    for (const Entry& e : entries) texts.push_back(e.text);
    return texts;
}

std::vector<std::string> Folders(const std::string& path, bool whole)
{
    std::vector<std::string> out;
    FolderChainWalk walk(path.c_str(), whole);
    size_t length;
    while (walk.Next(&length)) out.push_back(path.substr(0, length));
    return out;
}

}  // namespace

TEST(Cp932Path, LeadBytesAndTrailBackslashes)
{
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) << b;
    std::string folder = "C:\\" + kSoft + "\\" + kSo;
    EXPECT_FALSE(EndsInSeparator(folder.c_str()));
    EXPECT_TRUE(EndsInSeparator("C:\\a\\"));
    EXPECT_TRUE(EndsInSeparator("C:/a/"));
    EXPECT_EQ(LastSeparator(folder.c_str()), static_cast<long>(3 + kSoft.size()));
    EXPECT_FALSE(IsWellFormedCp932("C:\\\x95"));

    char out[kPathBytes];
    ASSERT_EQ(JoinPath(out, sizeof out, folder.c_str(), "a.txt"), 0);
    EXPECT_EQ(std::string(out), folder + "\\a.txt");
    ASSERT_EQ(JoinPath(out, sizeof out, "C:\\x\\", "a.txt"), 0);
    EXPECT_EQ(std::string(out), "C:\\x\\a.txt");
    // A join that does not fit is refused whole, never cut into another path.
    std::string longFolder(250, 'f');
    EXPECT_EQ(JoinPath(out, sizeof out, longFolder.c_str(), "123456789"), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(JoinPath(out, sizeof out, longFolder.c_str(), "12345678"), 0);
}

TEST(Cp932Path, ScreenSaverNamesAndCaseFolding)
{
    EXPECT_TRUE(IsScreenSaverName("a.SCR"));
    EXPECT_TRUE(IsScreenSaverName("nimbra.scr"));
    EXPECT_TRUE(IsScreenSaverName("sub\\x.ScR"));
    EXPECT_FALSE(IsScreenSaverName(".scr"));
    EXPECT_FALSE(IsScreenSaverName("a.scrx"));
    EXPECT_FALSE(IsScreenSaverName("ascr"));

    EXPECT_TRUE(SamePathIgnoringCase("C:\\Src\\setup.exe", "c:\\SRC\\SETUP.EXE"));
    EXPECT_TRUE(SamePathIgnoringCase(("C:\\" + kSoft + "\\Setup.exe").c_str(), ("c:\\" + kSoft + "\\SETUP.exe").c_str()));
    // "ア" (83 41) and "ヂ" (83 61) differ only in a trail byte that looks like a letter.
    EXPECT_FALSE(SamePathIgnoringCase("C:\\\x83\x41", "C:\\\x83\x61"));
    EXPECT_FALSE(SamePathIgnoringCase("C:\\a", "C:\\ab"));
}

TEST(FolderChainWalk, DrivesNetworkPathsAndRefusals)
{
    EXPECT_EQ(Folders("C:\\a\\b", true), (std::vector<std::string>{"C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(Folders("C:\\a\\b", false), (std::vector<std::string>{"C:\\a"}));
    EXPECT_EQ(Folders("C:\\a\\b\\", true), (std::vector<std::string>{"C:\\a", "C:\\a\\b", "C:\\a\\b\\"}));
    EXPECT_EQ(Folders("\\\\srv\\share\\d", true), (std::vector<std::string>{"\\\\srv\\share", "\\\\srv\\share\\d"}));
    EXPECT_EQ(Folders("\\\\srv\\share\\f.txt", false), (std::vector<std::string>{"\\\\srv\\share"}));
    std::string dbcs = "C:\\" + kSoft + "\\" + kShow + "\\" + kSo;
    EXPECT_EQ(Folders(dbcs, true),
              (std::vector<std::string>{"C:\\" + kSoft, "C:\\" + kSoft + "\\" + kShow, dbcs}));
    std::string server = "\\\\" + kSo + "\\share";
    EXPECT_EQ(Folders(server, true), (std::vector<std::string>{server}));

    for (const char* refused : {"", "C:", "C:\\", "a\\b", "\\a\\b", "\\\\srv", "\\\\srv\\", "C:\\a\\\x95"})
        EXPECT_FALSE(FolderChainWalk(refused, true).Valid()) << refused;
    EXPECT_TRUE(FolderChainWalk("C:ab", true).Valid());
}

TEST(CopyListGrammar, MarkersCommentsAndBlanks)
{
    std::string list =
        "setup list\r\n"
        "; before the start\r\n"
        "#copystart \r\n"      // a blank after the marker: a comment
        "early.txt\r\n"
        "  \t#CopyStart\r\n"
        "# comment\r\n"
        "; comment\r\n"
        "\r\n"
        "   \r\n"
        "\tsetup.exe\r\n"
        "name with blank  \r\n"
        "cut\rhere\r\n"
        "pictures\\slide_01.qjx\n"
        "#copyEND\r\n"
        "after.txt\r\n";
    EXPECT_EQ(Texts(ReadList(list)),
              (std::vector<std::string>{"setup.exe", "name with blank  ", "cut", "pictures\\slide_01.qjx"}));

    EXPECT_TRUE(ReadList("#copyend\n#copystart\na.txt\n").empty());
    EXPECT_TRUE(ReadList("a.txt\nb.txt").empty());
    EXPECT_EQ(Texts(ReadList("#copystart\na.txt\nlast.txt")), (std::vector<std::string>{"a.txt", "last.txt"}));
}

TEST(CopyListGrammar, LongLinesAreNeverSplitIntoEntries)
{
    std::string longComment = "#" + std::string(3000, 'c');
    std::string longEntry(3000, 'e');
    std::vector<Entry> entries = ReadList("#copystart\n" + longComment + "\n" + longEntry + "\nok.txt\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].check, EntryCheck::TooLong);
    EXPECT_EQ(entries[1].text, "ok.txt");
    EXPECT_EQ(entries[1].check, EntryCheck::Usable);
    // A long line before the start marker stays ignored as a whole.
    EXPECT_TRUE(ReadList(std::string(3000, 'x') + "#copystart\nno.txt\n").empty());
}

TEST(CopyListGrammar, EntriesMustBePlainRelativePaths)
{
    for (std::string usable : {std::string("a.txt"), std::string("dir\\f.txt"), std::string("dir/.\\f"),
                               std::string(".profile"), kSoft + "\\" + kShow + ".txt", std::string(259, 'n')})
        EXPECT_EQ(CheckListEntry(usable.c_str(), usable.size()), EntryCheck::Usable) << usable;
    for (std::string unusable : std::vector<std::string>{"..\\x", "a\\..\\..\\x", "a\\...\\x", "a\\.. \\x", "\\x", "/x", "C:\\x", "C:x",
                                 "a.txt:stream", "*.txt", "a?.txt", "a|b", std::string("a\tb"), std::string("\x95")})
        EXPECT_EQ(CheckListEntry(unusable.c_str(), unusable.size()), EntryCheck::Unusable) << unusable;
    std::string tooLong(260, 'n');
    EXPECT_EQ(CheckListEntry(tooLong.c_str(), tooLong.size()), EntryCheck::TooLong);
    std::string withZero("a\0b", 3);
    EXPECT_EQ(CheckListEntry(withZero.c_str(), withZero.size()), EntryCheck::Unusable);
}

TEST(CopyRecords, FillTheBufferExactlyAndRefuseWhatDoesNotFit)
{
    char buffer[16];
    memset(buffer, 'x', sizeof buffer);
    CopyListWriter writer;
    BeginCopyList(writer, buffer, sizeof buffer);
    ASSERT_EQ(AddCopyRecord(writer, kCopyFile, "abcd"), 0);     // 6 bytes
    ASSERT_EQ(AddCopyRecord(writer, kCopyFolder, "efghij"), 0);  // 8 bytes, end record 2: 16
    EXPECT_EQ(AddCopyRecord(writer, kCopyFile, "k"), -1);
    EXPECT_EQ(buffer[14], '\0');
    EXPECT_EQ(buffer[15], '\0');

    size_t position = 0;
    CopyRecord record;
    ASSERT_TRUE(NextCopyRecord(buffer, sizeof buffer, &position, &record));
    EXPECT_EQ(record.kind, kCopyFile);
    EXPECT_STREQ(record.text, "abcd");
    ASSERT_TRUE(NextCopyRecord(buffer, sizeof buffer, &position, &record));
    EXPECT_EQ(record.kind, kCopyFolder);
    EXPECT_STREQ(record.text, "efghij");
    EXPECT_FALSE(NextCopyRecord(buffer, sizeof buffer, &position, &record));

    // A list without its end record stops at the buffer's end.
    char broken[4] = {0, 'a', 'b', 'c'};
    position = 0;
    EXPECT_FALSE(NextCopyRecord(broken, sizeof broken, &position, &record));
}

namespace {

struct Replay {
    std::vector<std::string> calls;
};

std::vector<std::string> RunReplay(const std::string& log, const char* protectedPath = "C:\\Src\\setup.exe")
{
    Replay replay;
    ReplayOps ops{
        [](void* c, const char* p) { static_cast<Replay*>(c)->calls.push_back(std::string("del ") + p); },
        [](void* c) { static_cast<Replay*>(c)->calls.push_back("finish"); },
        [](void* c, const char* p) { static_cast<Replay*>(c)->calls.push_back(std::string("rmdir ") + p); },
        &replay};
    FILE* file = TextFile(log);
    EXPECT_EQ(ReplayLogText(file, protectedPath, ops), 0);
    fclose(file);
    return replay.calls;
}

}  // namespace

TEST(UninstallLogReplay, FilesThenLogThenFoldersInReverse)
{
    std::string folder = "C:\\" + kSoft;
    std::string log = "C:\\P\\V\\I\\setup.exe\n" + folder + "\\" + kShow + ".txt\n+ C:\\P\\V\n+ " + folder +
                      "\nC:\\P\\V\\I\\play.exe\r\n+ C:\\P\\V\\I";  // last line without its line feed
    EXPECT_EQ(RunReplay(log), (std::vector<std::string>{"del C:\\P\\V\\I\\setup.exe", "del " + folder + "\\" + kShow + ".txt",
                                                        "del C:\\P\\V\\I\\play.exe", "finish", "rmdir C:\\P\\V\\I",
                                                        "rmdir " + folder, "rmdir C:\\P\\V"}));
    EXPECT_EQ(RunReplay(""), (std::vector<std::string>{"finish"}));
}

TEST(UninstallLogReplay, ProtectedPathUnusableLinesAndManyFolders)
{
    std::string log = "c:\\SRC\\Setup.EXE\n\n+\n+x\n+ \n" + std::string(300, 'p') + "\nC:\\" + std::string("\x95") +
                      "\n" + std::string("C:\\a\0b", 6) + "\nC:\\kept.txt\n";
    EXPECT_EQ(RunReplay(log), (std::vector<std::string>{"del C:\\kept.txt", "finish"}));

    std::string nested = "C:\\n";
    std::string many;
    std::vector<std::string> expected{"finish"};
    for (int i = 0; i < 40; ++i) {
        nested += "\\" + std::to_string(i);
        many += "+ " + nested + "\n";
        expected.insert(expected.begin() + 1, "rmdir " + nested);
    }
    EXPECT_EQ(RunReplay(many), expected);
}
