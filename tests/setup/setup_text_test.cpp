// The installer's text formats and code page 932 path walking, natively under the sanitizers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/uninstall_log_text.h"

namespace {

using Strings = std::vector<std::string>;

// Code page 932: "ソ" (83 5C) and "表" (95 5C) end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c";
const std::string kSoft = kSo + "\x83\x74\x83\x67";  // "ソフト"
const std::string kShow = "\x95\x5c\x8e\xa6";        // "表示"

FILE* TextFile(const std::string& bytes)
{
    FILE* file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    return file;
}

// The entries of a list, those that cannot be used marked.
Strings ReadList(const std::string& bytes)
{
    Strings entries;
    FILE* file = TextFile(bytes);
    ReadCopyListText(
        file,
        [](void* context, const char* entry, EntryCheck check) {
            static_cast<Strings*>(context)->push_back(check == EntryCheck::Usable    ? std::string(entry)
                                                      : check == EntryCheck::TooLong ? "<too long>"
                                                                                     : "<unusable>");
            return 0;
        },
        &entries);
    fclose(file);
    return entries;
}

Strings Folders(const std::string& path, bool whole)
{
    Strings out;
    FolderChainWalk walk(path.c_str(), whole);
    size_t length;
    while (walk.Next(&length)) out.push_back(path.substr(0, length));
    return out;
}

Strings Replay(const std::string& log)
{
    Strings calls;
    ReplayOps ops{[](void* c, const char* p) { static_cast<Strings*>(c)->push_back(std::string("del ") + p); },
                  [](void* c) { static_cast<Strings*>(c)->push_back("finish"); },
                  [](void* c, const char* p) { static_cast<Strings*>(c)->push_back(std::string("rmdir ") + p); }, &calls};
    FILE* file = TextFile(log);
    EXPECT_EQ(ReplayLogText(file, "C:\\Src\\setup.exe", ops), 0);
    fclose(file);
    return calls;
}

}  // namespace

TEST(Cp932Path, SeparatorsJoinsSaverNamesAndCase)
{
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
    EXPECT_STREQ(out, "C:\\x\\a.txt");
    // A join that does not fit is refused whole, never cut into another path.
    EXPECT_EQ(JoinPath(out, sizeof out, std::string(250, 'f').c_str(), "123456789"), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(JoinPath(out, sizeof out, std::string(250, 'f').c_str(), "12345678"), 0);

    for (const char* saver : {"a.SCR", "nimbra.scr", "sub\\x.ScR"}) EXPECT_TRUE(IsScreenSaverName(saver)) << saver;
    for (const char* other : {".scr", "a.scrx", "ascr"}) EXPECT_FALSE(IsScreenSaverName(other)) << other;
    EXPECT_TRUE(SamePathIgnoringCase("C:\\Src\\setup.exe", "c:\\SRC\\SETUP.EXE"));
    EXPECT_TRUE(SamePathIgnoringCase(("C:\\" + kSoft + "\\Setup.exe").c_str(), ("c:\\" + kSoft + "\\SETUP.exe").c_str()));
    // "ア" (83 41) and "ヂ" (83 61) differ only in a trail byte that looks like a letter.
    EXPECT_FALSE(SamePathIgnoringCase("C:\\\x83\x41", "C:\\\x83\x61"));
    EXPECT_FALSE(SamePathIgnoringCase("C:\\a", "C:\\ab"));
}

TEST(FolderChainWalk, DrivesNetworkPathsAndRefusals)
{
    EXPECT_EQ(Folders("C:\\a\\b", true), (Strings{"C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(Folders("C:\\a\\b", false), (Strings{"C:\\a"}));
    EXPECT_EQ(Folders("C:\\a\\b\\", true), (Strings{"C:\\a", "C:\\a\\b", "C:\\a\\b\\"}));
    EXPECT_EQ(Folders("\\\\srv\\share\\d", true), (Strings{"\\\\srv\\share", "\\\\srv\\share\\d"}));
    EXPECT_EQ(Folders("\\\\srv\\share\\f.txt", false), (Strings{"\\\\srv\\share"}));
    std::string dbcs = "C:\\" + kSoft + "\\" + kShow + "\\" + kSo;
    EXPECT_EQ(Folders(dbcs, true), (Strings{"C:\\" + kSoft, "C:\\" + kSoft + "\\" + kShow, dbcs}));
    std::string server = "\\\\" + kSo + "\\share";
    EXPECT_EQ(Folders(server, true), (Strings{server}));

    for (const char* refused : {"", "C:", "C:\\", "a\\b", "\\a\\b", "\\\\srv", "\\\\srv\\", "C:\\a\\\x95"})
        EXPECT_FALSE(FolderChainWalk(refused, true).Valid()) << refused;
    EXPECT_TRUE(FolderChainWalk("C:ab", true).Valid());
}

TEST(CopyListGrammar, MarkersCommentsBlanksAndLongLines)
{
    std::string list =
        "setup list\r\n"
        "; before the start\r\n" +
        std::string(3000, 'x') + "#copystart\r\n"  // a long line before the start stays ignored as a whole
        "#copystart \r\n"                          // a blank after the marker: a comment
        "early.txt\r\n"
        "  \t#CopyStart\r\n"
        "# comment\r\n"
        "; comment\r\n"
        "\r\n"
        "   \r\n"
        "\tsetup.exe\r\n"
        "name with blank  \r\n"
        "cut\rhere\r\n" +
        "#" + std::string(3000, 'c') + "\n" + std::string(3000, 'e') + "\n" +
        "pictures\\slide_01.qjx\n"
        "#copyEND\r\n"
        "after.txt\r\n";
    EXPECT_EQ(ReadList(list), (Strings{"setup.exe", "name with blank  ", "cut", "<too long>", "pictures\\slide_01.qjx"}));
    EXPECT_TRUE(ReadList("#copyend\n#copystart\na.txt\n").empty());
    EXPECT_TRUE(ReadList("a.txt\nb.txt").empty());
    EXPECT_EQ(ReadList("#copystart\na.txt\nlast.txt"), (Strings{"a.txt", "last.txt"}));
}

TEST(CopyListGrammar, EntriesMustBePlainRelativePaths)
{
    for (std::string usable : {std::string("a.txt"), std::string("dir\\f.txt"), std::string("dir/.\\f"),
                               std::string(".profile"), kSoft + "\\" + kShow + ".txt", std::string(259, 'n')})
        EXPECT_EQ(CheckListEntry(usable.c_str(), usable.size()), EntryCheck::Usable) << usable;
    for (std::string unusable : Strings{"..\\x", "a\\..\\..\\x", "a\\...\\x", "a\\.. \\x", "\\x", "/x", "C:\\x", "C:x",
                                        "a.txt:stream", "*.txt", "a?.txt", "a|b", "a\tb", "\x95", std::string("a\0b", 3)})
        EXPECT_EQ(CheckListEntry(unusable.c_str(), unusable.size()), EntryCheck::Unusable) << unusable;
    EXPECT_EQ(CheckListEntry(std::string(260, 'n').c_str(), 260), EntryCheck::TooLong);
}

TEST(UninstallLogReplay, FilesThenLogThenFoldersInReverse)
{
    std::string folder = "C:\\" + kSoft;
    std::string log = "C:\\P\\V\\I\\setup.exe\n" + folder + "\\" + kShow + ".txt\n+ C:\\P\\V\n+ " + folder +
                      "\nC:\\P\\V\\I\\play.exe\r\n+ C:\\P\\V\\I";  // last line without its line feed
    EXPECT_EQ(Replay(log), (Strings{"del C:\\P\\V\\I\\setup.exe", "del " + folder + "\\" + kShow + ".txt",
                                    "del C:\\P\\V\\I\\play.exe", "finish", "rmdir C:\\P\\V\\I", "rmdir " + folder,
                                    "rmdir C:\\P\\V"}));
    EXPECT_EQ(Replay(""), (Strings{"finish"}));
}

TEST(UninstallLogReplay, ProtectedPathUnusableLinesAndManyFolders)
{
    std::string log = "c:\\SRC\\Setup.EXE\n\n+\n+x\n+ \n" + std::string(300, 'p') + "\nC:\\\x95\n" +
                      std::string("C:\\a\0b", 6) + "\nC:\\kept.txt\n";
    EXPECT_EQ(Replay(log), (Strings{"del C:\\kept.txt", "finish"}));

    std::string nested = "C:\\n", many;
    Strings expected{"finish"};
    for (int i = 0; i < 40; ++i) {
        nested += "\\" + std::to_string(i);
        many += "+ " + nested + "\n";
        expected.insert(expected.begin() + 1, "rmdir " + nested);
    }
    EXPECT_EQ(Replay(many), expected);
}
