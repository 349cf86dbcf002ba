// The installer's text formats natively under the sanitizers, at their boundaries: code page 932 paths,
// the copy list, the install folder, the command line's run mode and "WININIT.INI".
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/install_folder_text.h"
#include "setup/setup_command_line.h"
#include "setup/wininit_text.h"

namespace {

using Strings = std::vector<std::string>;

// Code page 932: "ソ" (83 5C) and "表" (95 5C) end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c";
const std::string kHyo = "\x95\x5c";

// Exactly filling the buffer fits; one byte more is refused whole, never cut into another path.
TEST(Cp932Path, JoinAddsABackslashOnlyWhereNoneEndsTheFolder)
{
    const struct { std::string folder; const char* file; std::string joined; } cases[] = {
        {"C:\\" + kSo, "a.txt", "C:\\" + kSo + "\\a.txt"},
        {"C:\\x\\", "a.txt", "C:\\x\\a.txt"},
        {std::string(250, 'f'), "12345678", std::string(250, 'f') + "\\12345678"},
        {std::string(250, 'f'), "123456789", "<refused:>"}};
    for (const auto& c : cases) {
        char out[kPathBytes];
        const int result = JoinPath(out, sizeof out, c.folder.c_str(), c.file);
        EXPECT_EQ(result == 0 ? std::string(out) : "<refused:" + std::string(out) + ">", c.joined) << c.file;
    }
}

// "ア" (83 41) and "ヂ" (83 61) differ in a trail byte that looks like a letter.
TEST(Cp932Path, SamePathFoldsOnlyTheLettersOfSingleByteCharacters)
{
    const struct { std::string a, b; bool same; } cases[] = {
        {"AZ", "az", true}, {"@[", "`{", false}, {"C:\\\x83\x41", "C:\\\x83\x61", false}, {"C:\\a", "C:\\ab", false}};
    for (const auto& c : cases) EXPECT_EQ(SamePathIgnoringCase(c.a.c_str(), c.b.c_str()), c.same) << c.a;
}

int AddEntry(void* out, const char* entry, EntryCheck check)
{
    const char* seen = check == EntryCheck::Usable ? entry : check == EntryCheck::TooLong ? "<too long>" : "<unusable>";
    static_cast<Strings*>(out)->push_back(seen);
    return 0;
}

// A blank after the marker makes a comment of it; a long line before the start stays ignored as a whole.
TEST(CopyList, EntriesAreTheLinesBetweenTheMarkers)
{
    const std::string longComment = "#copystart\n#" + std::string(3000, 'c') + "\n" + std::string(3000, 'e') + "\n";
    const struct { const char* name; std::string bytes; Strings entries; } cases[] = {
        {"markers", "early.txt\r\n  \t#CopyStart\r\n\tsetup.exe\r\n#copyEND\r\nafter.txt\r\n", {"setup.exe"}},
        {"whole marker", std::string(3000, 'x') + "#copystart\r\n#copystart \r\na.txt\r\n", {}},
        {"line ends", "#copystart\r\nname with blank  \r\ncut\rhere\r\n", {"name with blank  ", "cut"}},
        {"long lines", longComment, {"<too long>"}},
        {"last line", "#copystart\na.txt\nlast.txt", {"a.txt", "last.txt"}}};
    for (const auto& c : cases) {
        Strings entries;
        FILE* file = fmemopen(const_cast<char*>(c.bytes.data()), c.bytes.size(), "rb");
        ReadCopyListText(file, AddEntry, &entries);
        fclose(file);
        EXPECT_EQ(entries, c.entries) << c.name;
    }
}

TEST(CopyListEntry, OnlyNamesInsideTheFolderAreUsable)
{
    for (const std::string& usable : Strings{"dir/.\\f", kSo + "\\" + kHyo, std::string(259, 'n')})
        EXPECT_EQ(CheckListEntry(usable.c_str(), usable.size()), EntryCheck::Usable) << usable;
    for (const std::string& unusable : Strings{"a\\..\\..\\x", "a\\.. \\x", "\\x", "/x", "C:x", "a:s", "a?.txt",
                                               "a\tb", "\x95", std::string("a\0b", 3)})
        EXPECT_EQ(CheckListEntry(unusable.c_str(), unusable.size()), EntryCheck::Unusable) << unusable;
    EXPECT_EQ(CheckListEntry(std::string(260, 'n').c_str(), 260), EntryCheck::TooLong);
}

// A folder ending in the product's name in its case keeps it, losing one backslash; others gain it.
TEST(InstallFolder, CompletionEndsInTheProductsFolder)
{
    const std::string longest = "C:\\" + std::string(248, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Varnel\\IthraSS\\", "C:\\Varnel\\IthraSS"},
        {"C:\\V\\ithrass", "C:\\V\\ithrass\\IthraSS"},
        {"C:\\MyIthraSS", "C:\\MyIthraSS"},
        {longest, longest + "\\IthraSS"},
        {longest + "a", "<refused>"}};
    for (const auto& c : cases) {
        char out[kPathBytes];
        snprintf(out, sizeof out, "%s", c.first.c_str());
        EXPECT_EQ(CompleteInstallFolder(out, sizeof out, "IthraSS") == 0 ? out : "<refused>", c.second) << c.first;
    }
}

// Unquoted in a folder with blanks, as the uninstall entry stores it; "/" as a trail byte is no switch.
TEST(SetupCommandLine, OneSwitchAfterTheProgramChoosesTheMode)
{
    const std::pair<std::string, SetupMode> cases[] = {
        {"setup.exe   /R", SetupMode::Relocate},
        {"\"C:\\Program Files\\setup.exe\" /x", SetupMode::Uninstall},
        {"C:\\" + kSo + " x\\" + kHyo + "\\SETUP.EXE /r", SetupMode::Relocate},
        {"setup.exe /r ", SetupMode::Interactive},
        {"setup.exe /rx", SetupMode::Interactive},
        {"C:\\P F\\setup.exe extra /r", SetupMode::Interactive},
        {"C:\\Program Files\\mysetup.exe /r", SetupMode::Interactive},
        {"C:\\a b\\setup.exe \x81/r", SetupMode::Interactive}};
    for (const auto& c : cases) EXPECT_EQ(ParseSetupCommandLine(c.first.c_str(), "setup.exe"), c.second) << c.first;
    EXPECT_EQ(ParseSetupCommandLine(nullptr, "setup.exe"), SetupMode::Interactive);
}

std::string WithDeletion(const std::string& ini)
{
    GrowBuffer out;
    WininitEdit result = AddDeleteEntry(ini.data(), ini.size(), "C:\\X", out);
    std::string text = result == WininitEdit::Done ? std::string(out.data, out.size) : "<refused>";
    GrowFree(out);
    return text;
}

// The entry ends one [Rename] section, last in the file, with CR LF line ends and no end-of-file mark;
// only that section counts towards the limit.
TEST(Wininit, DeletionEndsTheOneRenameSection)
{
    const std::string rename = "NUL=C:\\A.TMP\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n";
    const std::string other = "[Other]\r\n" + std::string(kRenameSectionLimit, 'a') + "\r\n";
    std::string full = "[Rename]\r\n";
    while (full.size() <= kRenameSectionLimit) full += "NUL=C:\\WINDOWS\\TEMP\\X.TMP\r\n";
    const struct { const char* name; std::string ini; std::string edited; } cases[] = {
        {"last line", "[Other]\r\na=1", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},
        {"mark", "[Other]\r\na=1\r\n\x1a", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},
        {"moved", "[B]\r\nx=1\r\n[rename]\r\n" + rename + "\r\n[A]\r\ny=2\r\n",
         "[B]\r\nx=1\r\n[A]\r\ny=2\r\n[Rename]\r\n" + rename + "NUL=C:\\X\r\n"},
        {"two", "[Rename]\nNUL=C:\\A\n[ RENAME ]\nNUL=C:\\B\n", "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\X\r\n"},
        {"other sections", other, other + "[Rename]\r\nNUL=C:\\X\r\n"},
        {"over the limit", full, "<refused>"}};
    for (const auto& c : cases) EXPECT_EQ(WithDeletion(c.ini), c.edited) << c.name;
}

}  // namespace
