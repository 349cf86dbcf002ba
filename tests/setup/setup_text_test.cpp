// The installer's text formats at their boundaries, natively under the sanitizers: list entries, folder, WININIT.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/install_folder_text.h"
#include "setup/uninstall_log_text.h"
#include "setup/wininit_text.h"

namespace {

using Strings = std::vector<std::string>;

// Code page 932: "ソ" (83 5C) and "表" (95 5C) end in the trail byte 0x5C.
const std::string kSo = "\x83\x5c";
const std::string kHyo = "\x95\x5c";
const std::string kSoft = kSo + "\x83\x74\x83\x67";  // "ソフト"

void Add(void* out, const std::string& line) { static_cast<Strings*>(out)->push_back(line); }

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

TEST(FolderChain, PathsWithoutADriveOrServerAreRefused)
{
    for (const char* refused : {"", "C:", "C:\\", "a\\b", "\\a\\b", "\\\\srv", "\\\\srv\\", "C:\\a\\\x95"})
        EXPECT_FALSE(FolderChainWalk(refused, true).Valid()) << refused;
    EXPECT_TRUE(FolderChainWalk("C:ab", true).Valid());
}

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
        {"order", "C:\\P\\a\n" + soft + "\\x\n+ C:\\P\n+ " + soft + "\nC:\\P\\b\r\n+ C:\\P\\I",
         {"del C:\\P\\a", "del " + soft + "\\x", "del C:\\P\\b", "finish", "rmdir C:\\P\\I", "rmdir " + soft,
          "rmdir C:\\P"}},
        {"running setup", "c:\\SRC\\Setup.EXE\nC:\\kept.txt\n", {"del C:\\kept.txt", "finish"}},
        {"passed over", passedOver + "\n", {"finish"}}};
    for (const auto& c : cases) {
        Strings calls;
        ReplayOps ops{[](void* out, const char* p) { Add(out, "del " + std::string(p)); },
                      [](void* out, bool keep) { Add(out, keep ? "keep" : "finish"); },
                      [](void* out, const char* p) { Add(out, "rmdir " + std::string(p)); }, &calls};
        FILE* file = fmemopen(const_cast<char*>(c.log.data()), c.log.size(), "rb");
        EXPECT_EQ(ReplayLogText(file, "C:\\Src\\setup.exe", ops), 0) << c.name;
        fclose(file);
        EXPECT_EQ(calls, c.calls) << c.name;
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
