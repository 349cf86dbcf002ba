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

namespace {

using Strings = std::vector<std::string>;

// Code page 932: "ソ" (83 5C) and "表" (95 5C) end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c";
const std::string kHyo = "\x95\x5c";
const std::string kSoft = kSo + "\x83\x74\x83\x67";  // "ソフト"
const std::string kShow = kHyo + "\x8e\xa6";         // "表示"

void Add(void* out, const std::string& line) { static_cast<Strings*>(out)->push_back(line); }

FILE* Open(const std::string& bytes) { return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"); }

// Exactly filling the buffer fits; one byte more is refused whole, never cut into another path.
TEST(Cp932Path, JoinAddsABackslashOnlyWhereNoneEndsTheFolder)
{
    const struct { const char* name; std::string folder; const char* file; std::string joined; } cases[] = {
        {"after trail byte 5C", "C:\\" + kSo, "a.txt", "C:\\" + kSo + "\\a.txt"},
        {"after a backslash", "C:\\x\\", "a.txt", "C:\\x\\a.txt"},
        {"filling the buffer", std::string(250, 'f'), "12345678", std::string(250, 'f') + "\\12345678"},
        {"one byte over", std::string(250, 'f'), "123456789", "<refused:>"}};
    for (const auto& c : cases) {
        char out[kPathBytes];
        const int result = JoinPath(out, sizeof out, c.folder.c_str(), c.file);
        EXPECT_EQ(result == 0 ? std::string(out) : "<refused:" + std::string(out) + ">", c.joined) << c.name;
    }
}

TEST(Cp932Path, ScreenSaverNamesEndInScrAnyCaseAfterAName)
{
    for (const char* saver : {"a.SCR", "sub\\x.ScR"}) EXPECT_TRUE(IsScreenSaverName(saver)) << saver;
    for (const char* other : {".scr", "a.scrx", "ascr"}) EXPECT_FALSE(IsScreenSaverName(other)) << other;
}

// "ア" (83 41), "ヂ" (83 61) differ in a trail byte that looks like a letter.
TEST(Cp932Path, SamePathFoldsOnlyTheLettersOfSingleByteCharacters)
{
    const struct { std::string a, b; bool same; } cases[] = {
        {"C:\\" + kSoft + "\\Setup.exe", "c:\\" + kSoft + "\\SETUP.exe", true},
        {"AZ", "az", true},
        {"@[", "`{", false},
        {"C:\\\x83\x41", "C:\\\x83\x61", false},
        {"C:\\a", "C:\\ab", false}};
    for (const auto& c : cases) EXPECT_EQ(SamePathIgnoringCase(c.a.c_str(), c.b.c_str()), c.same) << c.a;
}

TEST(FolderChain, FoldersOutermostFirstSplitOnlyAtWholeBackslashes)
{
    const std::string deep = "C:\\" + kSoft + "\\" + kShow + "\\" + kSo;
    const struct { std::string path; bool whole; Strings folders; } cases[] = {
        {"C:\\a\\b", false, {"C:\\a"}},
        {"\\\\srv\\share\\f.txt", false, {"\\\\srv\\share"}},
        {deep, true, {"C:\\" + kSoft, "C:\\" + kSoft + "\\" + kShow, deep}},
        {"\\\\" + kSo + "\\share", true, {"\\\\" + kSo + "\\share"}}};
    for (const auto& c : cases) {
        Strings folders;
        size_t length;
        for (FolderChainWalk walk(c.path.c_str(), c.whole); walk.Next(&length);)
            folders.push_back(c.path.substr(0, length));
        EXPECT_EQ(folders, c.folders) << c.path;
    }
}

TEST(FolderChain, PathsWithoutADriveOrServerAreRefused)
{
    for (const char* refused : {"", "C:", "C:\\", "a\\b", "\\a\\b", "\\\\srv", "\\\\srv\\", "C:\\a\\\x95"})
        EXPECT_FALSE(FolderChainWalk(refused, true).Valid()) << refused;
    EXPECT_TRUE(FolderChainWalk("C:ab", true).Valid());
}

int AddEntry(void* out, const char* entry, EntryCheck check)
{
    Add(out, check == EntryCheck::Usable ? entry : check == EntryCheck::TooLong ? "<too long>" : "<unusable>");
    return 0;
}

// A blank after the marker makes a comment of it; a long line before the start stays ignored as a whole.
TEST(CopyList, EntriesAreTheLinesBetweenTheMarkers)
{
    const std::string longComment = "#copystart\n#" + std::string(3000, 'c') + "\n" + std::string(3000, 'e') + "\n";
    const struct { const char* name; std::string bytes; Strings entries; } cases[] = {
        {"markers", "early.txt\r\n  \t#CopyStart\r\n\tsetup.exe\r\n#copyEND\r\nafter.txt\r\n", {"setup.exe"}},
        {"whole marker", std::string(3000, 'x') + "#copystart\r\n#copystart \r\na.txt\r\n", {}},
        {"comments", "#copystart\r\n# comment\r\n; comment\r\n\r\n   \r\na.txt\r\n", {"a.txt"}},
        {"line ends", "#copystart\r\nname with blank  \r\ncut\rhere\r\n", {"name with blank  ", "cut"}},
        {"long lines", longComment, {"<too long>"}},
        {"unusable", "#copystart\n..\\x\n", {"<unusable>"}},
        {"end first", "#copyend\n#copystart\na.txt\n", {}},
        {"no start", "a.txt\nb.txt", {}},
        {"last line", "#copystart\na.txt\nlast.txt", {"a.txt", "last.txt"}}};
    for (const auto& c : cases) {
        Strings entries;
        FILE* file = Open(c.bytes);
        ReadCopyListText(file, AddEntry, &entries);
        fclose(file);
        EXPECT_EQ(entries, c.entries) << c.name;
    }
}

TEST(CopyListEntry, OnlyNamesInsideTheFolderAreUsable)
{
    for (const std::string& usable : Strings{"dir/.\\f", ".profile", kSoft + "\\" + kShow, std::string(259, 'n')})
        EXPECT_EQ(CheckListEntry(usable.c_str(), usable.size()), EntryCheck::Usable) << usable;
    for (const std::string& unusable : Strings{"a\\..\\..\\x", "a\\...\\x", "a\\.. \\x", "\\x", "/x", "C:\\x", "C:x",
                                               "a.txt:stream", "*.txt", "a?.txt", "a|b", "a\tb", "\x95",
                                               std::string("a\0b", 3)})
        EXPECT_EQ(CheckListEntry(unusable.c_str(), unusable.size()), EntryCheck::Unusable) << unusable;
    EXPECT_EQ(CheckListEntry(std::string(260, 'n').c_str(), 260), EntryCheck::TooLong);
}

// Records fill the buffer up to its last two bytes, kept for the end record.
TEST(CopyRecords, RecordOfTheFreeBytesFitsAndOneByteMoreIsRefused)
{
    char buffer[16];
    CopyListWriter writer;
    BeginCopyList(writer, buffer, sizeof buffer);
    EXPECT_EQ(AddCopyRecord(writer, kCopyFolder, "abcdefghijklm"), -1);  // 15 bytes, 14 free
    ASSERT_EQ(AddCopyRecord(writer, kCopyFolder, "abcdefghijkl"), 0);
    size_t position = 0;
    CopyRecord record;
    ASSERT_TRUE(NextCopyRecord(buffer, sizeof buffer, &position, &record));
    EXPECT_EQ(record.kind, kCopyFolder);
    EXPECT_STREQ(record.text, "abcdefghijkl");
    EXPECT_FALSE(NextCopyRecord(buffer, sizeof buffer, &position, &record));
}

// Files, then the log's end, then folders in reverse; a CR before the line feed; the last line without
// one; the running setup.exe in any case is kept; empty, broken and too long lines are passed over.
TEST(UninstallLog, ReplayDeletesFilesThenFoldersInReverse)
{
    const std::string soft = "C:\\" + kSoft;
    const std::string broken = "\nC:\\\x95\n" + std::string("C:\\a\0b", 6);
    const std::string passedOver = "\n+\n+x\n+ \n" + std::string(300, 'p') + broken;
    const struct { const char* name; std::string log; Strings calls; } cases[] = {
        {"order", "C:\\P\\a\n" + soft + "\\" + kShow + "\n+ C:\\P\n+ " + soft + "\nC:\\P\\b\r\n+ C:\\P\\I",
         {"del C:\\P\\a", "del " + soft + "\\" + kShow, "del C:\\P\\b", "finish", "rmdir C:\\P\\I",
          "rmdir " + soft, "rmdir C:\\P"}},
        {"empty", "", {"finish"}},
        {"running setup", "c:\\SRC\\Setup.EXE\nC:\\kept.txt\n", {"del C:\\kept.txt", "finish"}},
        {"passed over", passedOver + "\n", {"finish"}}};
    for (const auto& c : cases) {
        Strings calls;
        ReplayOps ops{[](void* out, const char* p) { Add(out, "del " + std::string(p)); },
                      [](void* out, bool keep) { Add(out, keep ? "keep" : "finish"); },
                      [](void* out, const char* p) { Add(out, "rmdir " + std::string(p)); }, &calls};
        FILE* file = Open(c.log);
        EXPECT_EQ(ReplayLogText(file, "C:\\Src\\setup.exe", ops), 0) << c.name;
        fclose(file);
        EXPECT_EQ(calls, c.calls) << c.name;
    }
}

TEST(InstallFolder, DefaultIsOnTheWindowsDrive)
{
    const struct { const char* windows; std::string parent; std::string folder; } cases[] = {
        {"C:\\WINDOWS", "\\Apps\\", "C:\\Apps\\IthraSS"}, {"D:\\WINNT", "\\" + kHyo, "D:\\" + kHyo + "\\IthraSS"},
        {"\\\\server\\windows", "\\P", "<refused>"}};
    for (const auto& c : cases) {
        char out[kPathBytes];
        const int result = DefaultInstallFolderText(out, sizeof out, c.windows, c.parent.c_str(), "IthraSS");
        EXPECT_EQ(result == 0 ? out : "<refused>", c.folder) << c.windows;
    }
}

// A folder ending in the product's name in its case keeps it, losing one backslash; others gain it.
TEST(InstallFolder, CompletionEndsInTheProductsFolder)
{
    const std::string longest = "C:\\" + std::string(248, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Varnel\\IthraSS\\", "C:\\Varnel\\IthraSS"},
        {"C:\\V\\ithrass", "C:\\V\\ithrass\\IthraSS"},
        {"C:\\MyIthraSS", "C:\\MyIthraSS"},
        {"IthraSS", "IthraSS\\IthraSS"},
        {"C:\\dir\\\\", "C:\\dir\\\\IthraSS"},
        {"C:\\" + kSoft + "\\" + kHyo, "C:\\" + kSoft + "\\" + kHyo + "\\IthraSS"},
        {longest, longest + "\\IthraSS"},
        {longest + "a", "<refused>"}};
    for (const auto& c : cases) {
        char out[kPathBytes];
        snprintf(out, sizeof out, "%s", c.first.c_str());
        EXPECT_EQ(CompleteInstallFolder(out, sizeof out, "IthraSS") == 0 ? out : "<refused>", c.second) << c.first;
    }
}

// Tenths are cut, not rounded; sizes over 4 GB stay whole.
TEST(SpaceNeeded, MegabytesToATenth)
{
    const std::pair<long long, const char*> cases[] = {
        {1048575, "0.9"},
        {5LL << 30, "5120.0"}};
    for (const auto& c : cases) {
        char out[kPathBytes];
        FormatSpaceNeeded(out, sizeof out, c.first);
        const std::string text = "インストールに必要な容量は、約 " + std::string(c.second) + " MBです";
        EXPECT_EQ(std::string(out), text) << c.first;
    }
}

// Unquoted in a folder with blanks, as the uninstall entry stores it; "/" as a trail byte is no switch.
TEST(SetupCommandLine, OneSwitchAfterTheProgramChoosesTheMode)
{
    const std::pair<std::string, SetupMode> cases[] = {
        {"setup.exe   /R", SetupMode::Relocate},
        {"\"C:\\Program Files\\Varnel\\IthraSS\\setup.exe\" /x", SetupMode::Uninstall},
        {"C:\\WINDOWS\\SYSTEM\\unithra.exe /X", SetupMode::Uninstall},
        {"C:\\" + kSoft + " x\\" + kHyo + "\\setup.exe /r", SetupMode::Relocate},
        {"C:\\Program Files\\Varnel\\IthraSS\\SETUP.EXE /r", SetupMode::Relocate}};
    for (const auto& c : cases) EXPECT_EQ(ParseSetupCommandLine(c.first.c_str(), "setup.exe"), c.second) << c.first;
}

TEST(SetupCommandLine, AnythingElseIsInteractive)
{
    for (const char* line : {"setup.exe", "setup.exe /r ", "setup.exe /r /x", "setup.exe /rx", "setup.exe -r",
                             "\"C:\\Program Files\\setup.exe\" foo /r", "C:\\P F\\setup.exe extra /r",
                             "C:\\Program Files\\mysetup.exe /r", "C:\\a b\\setup.exe \x81/r", "",
                             static_cast<const char*>(nullptr)})
        EXPECT_EQ(ParseSetupCommandLine(line, "setup.exe"), SetupMode::Interactive) << (line ? line : "null");
}

std::string WithDeletion(const std::string& ini)
{
    GrowBuffer out;
    WininitEdit result = AddDeleteEntry(ini.data(), ini.size(), "C:\\X", out);
    std::string text = result == WininitEdit::Done ? std::string(out.data, out.size) : "<refused>";
    GrowFree(out);
    return text;
}

// The entry ends one [Rename] section, last in the file, with CR LF line ends and no end-of-file mark.
TEST(Wininit, DeletionEndsTheOneRenameSection)
{
    const std::string added = "[Rename]\r\nNUL=C:\\X\r\n";
    const std::string rename = "NUL=C:\\A.TMP\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n";
    const std::string other = "[Other]\r\n" + std::string(40000, 'a') + "\r\n";  // counts not towards the limit
    const struct { const char* name; std::string ini; std::string edited; } cases[] = {
        {"mark alone", "\x1a", added},
        {"last line", "[Other]\r\na=1", "[Other]\r\na=1\r\n" + added},
        {"mark", "[Other]\r\na=1\r\n\x1a", "[Other]\r\na=1\r\n" + added},
        {"moved", "[B]\r\nx=1\r\n[rename]\r\n" + rename + "\r\n[A]\r\ny=2\r\n",
         "[B]\r\nx=1\r\n[A]\r\ny=2\r\n[Rename]\r\n" + rename + "NUL=C:\\X\r\n"},
        {"two", "[Rename]\nNUL=C:\\A\n[ RENAME ]\nNUL=C:\\B\n", "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\X\r\n"},
        {"other sections", other, other + added}};
    for (const auto& c : cases) EXPECT_EQ(WithDeletion(c.ini), c.edited) << c.name;
}

TEST(Wininit, RenameSectionOverItsLimitIsRefused)
{
    std::string full = "[Rename]\r\n";
    while (full.size() <= kRenameSectionLimit) full += "NUL=C:\\WINDOWS\\TEMP\\X.TMP\r\n";
    EXPECT_EQ(WithDeletion(full), "<refused>");
}

}  // namespace
