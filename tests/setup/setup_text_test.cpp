// The installer's text formats natively under the sanitizers: code page 932 path walking, the copy
// list, the uninstall log, the install folder, the command line's run mode and "WININIT.INI".
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/install_folder_text.h"
#include "setup/setup_command_line.h"
#include "setup/uninstall_log_text.h"
#include "setup/wininit_text.h"

using Strings = std::vector<std::string>;

// Code page 932: "ソ" (83 5C) and "表" (95 5C) end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c", kHyo = "\x95\x5c";
const std::string kSoft = kSo + "\x83\x74\x83\x67", kShow = kHyo + "\x8e\xa6";  // "ソフト", "表示"

static void Add(void* out, const std::string& line) { static_cast<Strings*>(out)->push_back(line); }

// The entries of a list, those that cannot be used marked.
static Strings ReadList(const std::string& bytes)
{
    Strings entries;
    FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    ReadCopyListText(file, [](void* out, const char* entry, EntryCheck check) { return Add(out, check == EntryCheck::Usable ? entry : check == EntryCheck::TooLong ? "<too long>" : "<unusable>"), 0; }, &entries);
    return fclose(file), entries;
}

static Strings Folders(const std::string& path, bool whole)
{
    Strings out;
    size_t length;
    for (FolderChainWalk walk(path.c_str(), whole); walk.Next(&length);) out.push_back(path.substr(0, length));
    return out;
}

// What a replay does, in order.
static Strings Replay(const std::string& log)
{
    Strings calls;
    ReplayOps ops{[](void* c, const char* p) { Add(c, "del " + std::string(p)); },
                  [](void* c, bool keep) { Add(c, keep ? "keep" : "finish"); },
                  [](void* c, const char* p) { Add(c, "rmdir " + std::string(p)); }, &calls};
    FILE* file = fmemopen(const_cast<char*>(log.data()), log.size(), "rb");
    EXPECT_EQ(ReplayLogText(file, "C:\\Src\\setup.exe", ops), 0);
    return fclose(file), calls;
}

TEST(Cp932Path, SeparatorsJoinsSaverNamesCaseAndFolderChains)
{
    std::string folder = "C:\\" + kSoft + "\\" + kSo;
    EXPECT_TRUE(!EndsInSeparator(folder.c_str()) && EndsInSeparator("C:/a/") && !IsWellFormedCp932("C:\\\x95"));
    EXPECT_EQ(LastSeparator(folder.c_str()), static_cast<long>(3 + kSoft.size()));
    char out[kPathBytes];
    EXPECT_TRUE(JoinPath(out, sizeof out, folder.c_str(), "a.txt") == 0 && out == folder + "\\a.txt") << out;
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\x\\", "a.txt") == 0 && out == std::string("C:\\x\\a.txt")) << out;
    // Exactly filling the buffer fits; one byte more is refused whole, never cut into another path.
    EXPECT_EQ(JoinPath(out, sizeof out, std::string(250, 'f').c_str(), "12345678"), 0);
    EXPECT_TRUE(JoinPath(out, sizeof out, std::string(250, 'f').c_str(), "123456789") == -1 && out[0] == '\0');
    for (auto name : {std::make_pair("a.SCR", true), {"sub\\x.ScR", true}, {".scr", false}, {"a.scrx", false}, {"ascr", false}})
        EXPECT_EQ(IsScreenSaverName(name.first), name.second) << name.first;
    EXPECT_TRUE(SamePathIgnoringCase(("C:\\" + kSoft + "\\Setup.exe").c_str(), ("c:\\" + kSoft + "\\SETUP.exe").c_str()));
    // "ア" (83 41), "ヂ" (83 61) differ in a trail byte that looks like a letter; letters fold at both ends, not beyond.
    EXPECT_FALSE(SamePathIgnoringCase("C:\\\x83\x41", "C:\\\x83\x61"));
    EXPECT_TRUE(SamePathIgnoringCase("AZ", "az") && !SamePathIgnoringCase("@[", "`{") && !SamePathIgnoringCase("C:\\a", "C:\\ab"));
    // Folder chains on drives and network paths, the refused ones.
    EXPECT_EQ(Folders("C:\\a\\b", false), (Strings{"C:\\a"}));
    EXPECT_EQ(Folders("\\\\srv\\share\\f.txt", false), (Strings{"\\\\srv\\share"}));
    std::string dbcs = "C:\\" + kSoft + "\\" + kShow + "\\" + kSo;
    EXPECT_EQ(Folders(dbcs, true), (Strings{"C:\\" + kSoft, "C:\\" + kSoft + "\\" + kShow, dbcs}));
    EXPECT_EQ(Folders("\\\\" + kSo + "\\share", true), (Strings{"\\\\" + kSo + "\\share"}));
    for (const char* refused : {"", "C:", "C:\\", "a\\b", "\\a\\b", "\\\\srv", "\\\\srv\\", "C:\\a\\\x95"})
        EXPECT_FALSE(FolderChainWalk(refused, true).Valid()) << refused;
    EXPECT_TRUE(FolderChainWalk("C:ab", true).Valid());
}

TEST(CopyList, MarkersCommentsBlanksLongLinesAndEntries)
{
    std::string list = "setup list\r\n; before the start\r\n" + std::string(3000, 'x') +
                       "#copystart\r\n"      // a long line before the start stays ignored as a whole
                       "#copystart \r\n"     // a blank after the marker: a comment
                       "early.txt\r\n  \t#CopyStart\r\n# comment\r\n; comment\r\n\r\n   \r\n\tsetup.exe\r\n"
                       "name with blank  \r\ncut\rhere\r\n#" + std::string(3000, 'c') + "\n" + std::string(3000, 'e') +
                       "\npictures\\slide_01.qjx\n..\\x\n#copyEND\r\nafter.txt\r\n";
    EXPECT_EQ(ReadList(list), (Strings{"setup.exe", "name with blank  ", "cut", "<too long>", "pictures\\slide_01.qjx", "<unusable>"}));
    EXPECT_TRUE(ReadList("#copyend\n#copystart\na.txt\n").empty() && ReadList("a.txt\nb.txt").empty());
    EXPECT_EQ(ReadList("#copystart\na.txt\nlast.txt"), (Strings{"a.txt", "last.txt"}));

    for (std::string usable : {std::string("dir/.\\f"), std::string(".profile"), kSoft + "\\" + kShow, std::string(259, 'n')})
        EXPECT_EQ(CheckListEntry(usable.c_str(), usable.size()), EntryCheck::Usable) << usable;
    for (std::string unusable : Strings{"a\\..\\..\\x", "a\\...\\x", "a\\.. \\x", "\\x", "/x", "C:\\x", "C:x",
                                        "a.txt:stream", "*.txt", "a?.txt", "a|b", "a\tb", "\x95", std::string("a\0b", 3)})
        EXPECT_EQ(CheckListEntry(unusable.c_str(), unusable.size()), EntryCheck::Unusable) << unusable;
    EXPECT_EQ(CheckListEntry(std::string(260, 'n').c_str(), 260), EntryCheck::TooLong);

    // Records fill the buffer up to its last two bytes, kept for the end record.
    char buffer[16];
    CopyListWriter writer;
    BeginCopyList(writer, buffer, sizeof buffer);
    EXPECT_EQ(AddCopyRecord(writer, kCopyFolder, "abcdefghijklm"), -1);  // 15 bytes, 14 free
    EXPECT_EQ(AddCopyRecord(writer, kCopyFolder, "abcdefghijkl"), 0);    // 14 bytes: fits exactly
    size_t position = 0;
    CopyRecord record;
    EXPECT_TRUE(NextCopyRecord(buffer, sizeof buffer, &position, &record) && record.kind == kCopyFolder && record.text == std::string("abcdefghijkl"));
    EXPECT_FALSE(NextCopyRecord(buffer, sizeof buffer, &position, &record));
}

TEST(UninstallLog, FilesThenLogThenFoldersInReverseAndUnusableLinesPassedOver)
{
    std::string folder = "C:\\" + kSoft;
    EXPECT_EQ(Replay("C:\\P\\I\\setup.exe\n" + folder + "\\" + kShow + ".txt\n+ C:\\P\n+ " + folder +
                     "\nC:\\P\\I\\play.exe\r\n+ C:\\P\\I"),  // a CR before the line feed; the last without one
              (Strings{"del C:\\P\\I\\setup.exe", "del " + folder + "\\" + kShow + ".txt", "del C:\\P\\I\\play.exe",
                       "finish", "rmdir C:\\P\\I", "rmdir " + folder, "rmdir C:\\P"}));
    EXPECT_EQ(Replay(""), (Strings{"finish"}));
    // The running setup.exe in any letter case, empty and broken lines, a path too long for a buffer.
    EXPECT_EQ(Replay("c:\\SRC\\Setup.EXE\n\n+\n+x\n+ \n" + std::string(300, 'p') + "\nC:\\\x95\n" +
                     std::string("C:\\a\0b", 6) + "\nC:\\kept.txt\n"),
              (Strings{"del C:\\kept.txt", "finish"}));
}

TEST(InstallFolderText, DefaultCompletionAndSpaceNeeded)
{
    char out[260];
    EXPECT_TRUE(DefaultInstallFolderText(out, sizeof out, "C:\\WINDOWS", "\\Apps\\", "IthraSS") == 0 && out == std::string("C:\\Apps\\IthraSS"));
    // A parent ending in a double-byte character whose trail byte is 0x5C still gets its backslash.
    EXPECT_TRUE(DefaultInstallFolderText(out, sizeof out, "D:\\WINNT", ("\\" + kHyo).c_str(), "IthraSS") == 0 && out == "D:\\" + kHyo + "\\IthraSS") << out;
    EXPECT_EQ(DefaultInstallFolderText(out, sizeof out, "\\\\server\\windows", "\\P", "IthraSS"), -1);

    const std::string longest = "C:\\" + std::string(248, 'a'), tooLong = longest + "a";
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Varnel\\IthraSS\\", "C:\\Varnel\\IthraSS"}, {"C:\\Varnel\\ithrass", "C:\\Varnel\\ithrass\\IthraSS"},
        {"C:\\MyIthraSS", "C:\\MyIthraSS"},     // any name ending in it counts
        {"IthraSS", "IthraSS\\IthraSS"},        // not longer than the name
        {"C:\\dir\\\\", "C:\\dir\\\\IthraSS"},  // only one backslash is dropped
        {"C:\\" + kSoft + "\\" + kHyo, "C:\\" + kSoft + "\\" + kHyo + "\\IthraSS"},  // a trail byte is no backslash
        {longest, longest + "\\IthraSS"}, {tooLong, "<refused:" + tooLong + ">"},  // exactly fills the buffer, one more
    };
    for (const auto& c : cases) {
        bool done = (snprintf(out, sizeof out, "%s", c.first.c_str()), CompleteInstallFolder(out, sizeof out, "IthraSS") == 0);
        EXPECT_EQ(done ? std::string(out) : "<refused:" + std::string(out) + ">", c.second) << c.first;
    }
    const std::pair<long long, const char*> spaces[] = {{0, "0.0"}, {1048575, "0.9"}, {1048576 + 524288, "1.5"}, {5LL * 1024 * 1048576, "5120.0"}};
    for (const auto& s : spaces) EXPECT_EQ((FormatSpaceNeeded(out, sizeof out, s.first), std::string(out)), std::string("インストールに必要な容量は、約 ") + s.second + " MBです");
}

TEST(SetupCommandLine, SwitchesAfterTheProgramName)
{
    const std::string trailFolders = "C:\\" + kSoft + " x\\" + kHyo + "\\setup.exe /r";
    const std::pair<const char*, SetupMode> cases[] = {
        {"setup.exe   /R", SetupMode::Relocate}, {"\"C:\\Program Files\\Varnel\\IthraSS\\setup.exe\" /x", SetupMode::Uninstall},
        {"C:\\WINDOWS\\SYSTEM\\unithra.exe /X", SetupMode::Uninstall}, {trailFolders.c_str(), SetupMode::Relocate},
        // Unquoted in a folder with blanks, as the uninstall entry stores it and Windows hands it over.
        {"C:\\Program Files\\Varnel\\IthraSS\\SETUP.EXE /r", SetupMode::Relocate}, {"setup.exe", SetupMode::Interactive},
        {"setup.exe /r ", SetupMode::Interactive}, {"setup.exe /r /x", SetupMode::Interactive}, {"setup.exe /rx", SetupMode::Interactive},
        {"setup.exe -r", SetupMode::Interactive}, {"\"C:\\Program Files\\setup.exe\" foo /r", SetupMode::Interactive},
        {"C:\\P F\\setup.exe extra /r", SetupMode::Interactive}, {"C:\\Program Files\\mysetup.exe /r", SetupMode::Interactive},
        {"C:\\a b\\setup.exe \x81/r", SetupMode::Interactive}, {"", SetupMode::Interactive}, {nullptr, SetupMode::Interactive}};  // "/" as a trail byte is no switch
    for (const auto& c : cases) EXPECT_EQ(ParseSetupCommandLine(c.first, "setup.exe"), c.second) << c.first;
}

TEST(Wininit, RenameSectionMovedToTheEndWithEveryEntryKeptAndItsLimit)
{
    std::string full = "[Rename]\r\n", other = "[Other]\r\n" + std::string(40000, 'a') + "\r\n";
    while (full.size() <= kRenameSectionLimit) full += "NUL=C:\\WINDOWS\\TEMP\\X.TMP\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"\x1a", "[Rename]\r\nNUL=C:\\X\r\n"}, {"[Other]\r\na=1", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},  // a line end is added
        {"[Other]\r\na=1\r\n\x1a", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},
        {"[Before]\r\nx=1\r\n[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n[After]\r\ny=2\r\n",
         "[Before]\r\nx=1\r\n[After]\r\ny=2\r\n[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\X\r\n"},
        // Two sections of that name and bare line feeds: one section, every line kept, CR LF everywhere.
        {"[Rename]\nNUL=C:\\A\n[ RENAME ]\nNUL=C:\\B\n", "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\X\r\n"},
        {full, "<refused>"}, {other, other + "[Rename]\r\nNUL=C:\\X\r\n"},  // over the limit; other sections do not count towards it
    };
    for (const auto& c : cases) {
        GrowBuffer out;
        WininitEdit result = AddDeleteEntry(c.first.data(), c.first.size(), "C:\\X", out);
        EXPECT_EQ(result == WininitEdit::Done ? std::string(out.data, out.size) : result == WininitEdit::TooLarge ? "<refused>" : "<failed>", c.second) << c.first;
        GrowFree(out);
    }
}
