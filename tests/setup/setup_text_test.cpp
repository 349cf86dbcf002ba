// The installer's text formats at their boundaries, natively under the sanitizers: list entries, folder, WININIT.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/install_folder_text.h"
#include "setup/wininit_text.h"

namespace {

using Strings = std::vector<std::string>;

// Code page 932: "ソ" (83 5C) and "表" (95 5C) end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c";
const std::string kHyo = "\x95\x5c";

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
