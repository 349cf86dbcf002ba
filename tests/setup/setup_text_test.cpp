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

int AddEntry(void* out, const char* entry, EntryCheck check)
{
    Add(out, check == EntryCheck::Usable ? entry : check == EntryCheck::TooLong ? "<too long>" : "<unusable>");
    return 0;
}

// The entries of a list, those that cannot be used marked.
Strings ReadList(const std::string& bytes)
{
    Strings entries;
    FILE* file = Open(bytes);
    ReadCopyListText(file, AddEntry, &entries);
    fclose(file);
    return entries;
}

Strings Folders(const std::string& path, bool whole)
{
    Strings out;
    size_t length;
    for (FolderChainWalk walk(path.c_str(), whole); walk.Next(&length);) out.push_back(path.substr(0, length));
    return out;
}

std::string Joined(const std::string& folder, const char* name)
{
    char out[kPathBytes];
    return JoinPath(out, sizeof out, folder.c_str(), name) == 0 ? out : "<refused:" + std::string(out) + ">";
}

TEST(Cp932Path, TrailByte5CDoesNotEndInASeparator)
{
    EXPECT_FALSE(EndsInSeparator(("C:\\" + kSoft + "\\" + kSo).c_str()));
}

TEST(Cp932Path, SlashEndsInASeparator) { EXPECT_TRUE(EndsInSeparator("C:/a/")); }
TEST(Cp932Path, LeadByteAtTheEndIsBroken) { EXPECT_FALSE(IsWellFormedCp932("C:\\\x95")); }

TEST(Cp932Path, LastSeparatorIsTheLastWholeBackslash)
{
    EXPECT_EQ(LastSeparator(("C:\\" + kSoft + "\\" + kSo).c_str()), static_cast<long>(3 + kSoft.size()));
}

TEST(Cp932Path, FolderOfIsTheTextBeforeTheLastSeparator)
{
    char folder[kPathBytes];
    FolderOf(("C:\\" + kSoft + "\\" + kSo).c_str(), folder);
    EXPECT_EQ(folder, "C:\\" + kSoft);
}

TEST(Cp932Path, FolderOfANameAloneIsEmpty)
{
    char folder[kPathBytes];
    FolderOf("setup.exe", folder);
    EXPECT_STREQ(folder, "");
}

TEST(Cp932Path, JoinAfterATrailByte5CAddsABackslash)
{
    EXPECT_EQ(Joined("C:\\" + kSo, "a.txt"), "C:\\" + kSo + "\\a.txt");
}

TEST(Cp932Path, JoinAfterABackslashAddsNone) { EXPECT_EQ(Joined("C:\\x\\", "a.txt"), "C:\\x\\a.txt"); }

// Exactly filling the buffer fits; one byte more is refused whole, never cut into another path.
TEST(Cp932Path, JoinFillingTheBufferFits) { EXPECT_EQ(Joined(std::string(250, 'f'), "12345678").size(), 259u); }
TEST(Cp932Path, JoinOneByteOverIsRefusedEmpty) { EXPECT_EQ(Joined(std::string(250, 'f'), "123456789"), "<refused:>"); }

TEST(Cp932Path, ScreenSaverNamesEndInScrAnyCase)
{
    EXPECT_TRUE(IsScreenSaverName("a.SCR"));
    EXPECT_TRUE(IsScreenSaverName("sub\\x.ScR"));
}

TEST(Cp932Path, ScreenSaverNameNeedsMoreThanTheEnding)
{
    EXPECT_FALSE(IsScreenSaverName(".scr"));
    EXPECT_FALSE(IsScreenSaverName("a.scrx"));
    EXPECT_FALSE(IsScreenSaverName("ascr"));
}

TEST(Cp932Path, SamePathFoldsLetters)
{
    const std::string path = "C:\\" + kSoft + "\\Setup.exe";
    EXPECT_TRUE(SamePathIgnoringCase(path.c_str(), ("c:\\" + kSoft + "\\SETUP.exe").c_str()));
}

// "ア" (83 41), "ヂ" (83 61) differ in a trail byte that looks like a letter.
TEST(Cp932Path, SamePathDoesNotFoldTrailBytes) { EXPECT_FALSE(SamePathIgnoringCase("C:\\\x83\x41", "C:\\\x83\x61")); }

TEST(Cp932Path, SamePathFoldsOnlyLetters)
{
    EXPECT_TRUE(SamePathIgnoringCase("AZ", "az"));
    EXPECT_FALSE(SamePathIgnoringCase("@[", "`{"));
}

TEST(Cp932Path, SamePathNeedsTheSameLength) { EXPECT_FALSE(SamePathIgnoringCase("C:\\a", "C:\\ab")); }

TEST(FolderChain, DriveFolderOfAFile) { EXPECT_EQ(Folders("C:\\a\\b", false), (Strings{"C:\\a"})); }

TEST(FolderChain, NetworkFolderOfAFile)
{
    EXPECT_EQ(Folders("\\\\srv\\share\\f.txt", false), (Strings{"\\\\srv\\share"}));
}

TEST(FolderChain, TrailBytes5CSplitNothing)
{
    std::string path = "C:\\" + kSoft + "\\" + kShow + "\\" + kSo;
    EXPECT_EQ(Folders(path, true), (Strings{"C:\\" + kSoft, "C:\\" + kSoft + "\\" + kShow, path}));
}

TEST(FolderChain, TrailByte5CInTheServerName)
{
    EXPECT_EQ(Folders("\\\\" + kSo + "\\share", true), (Strings{"\\\\" + kSo + "\\share"}));
}

TEST(FolderChain, PathsWithoutADriveOrServerAreRefused)
{
    for (const char* refused : {"", "C:", "C:\\", "a\\b", "\\a\\b", "\\\\srv", "\\\\srv\\", "C:\\a\\\x95"})
        EXPECT_FALSE(FolderChainWalk(refused, true).Valid()) << refused;
}

TEST(FolderChain, DriveWithTwoCharactersIsValid) { EXPECT_TRUE(FolderChainWalk("C:ab", true).Valid()); }

TEST(CopyList, EntriesBetweenTheMarkersInAnyCase)
{
    EXPECT_EQ(ReadList("early.txt\r\n  \t#CopyStart\r\n\tsetup.exe\r\n#copyEND\r\nafter.txt\r\n"),
              (Strings{"setup.exe"}));
}

// A blank after the marker makes a comment of it; a long line before the start stays ignored as a whole.
TEST(CopyList, OnlyAWholeMarkerStarts)
{
    EXPECT_EQ(ReadList(std::string(3000, 'x') + "#copystart\r\n#copystart \r\na.txt\r\n"), Strings{});
}

TEST(CopyList, CommentsAndBlankLinesArePassedOver)
{
    EXPECT_EQ(ReadList("#copystart\r\n# comment\r\n; comment\r\n\r\n   \r\na.txt\r\n"), (Strings{"a.txt"}));
}

TEST(CopyList, TrailingBlanksStayAndACarriageReturnEndsALine)
{
    EXPECT_EQ(ReadList("#copystart\r\nname with blank  \r\ncut\rhere\r\n"), (Strings{"name with blank  ", "cut"}));
}

TEST(CopyList, LongCommentIsPassedOverAndALongEntryMarked)
{
    EXPECT_EQ(ReadList("#copystart\n#" + std::string(3000, 'c') + "\n" + std::string(3000, 'e') + "\n"),
              (Strings{"<too long>"}));
}

TEST(CopyList, UnusableEntryIsMarked) { EXPECT_EQ(ReadList("#copystart\n..\\x\n"), (Strings{"<unusable>"})); }
TEST(CopyList, EndBeforeTheStartEndsTheList) { EXPECT_EQ(ReadList("#copyend\n#copystart\na.txt\n"), Strings{}); }
TEST(CopyList, NoStartMeansNoEntries) { EXPECT_EQ(ReadList("a.txt\nb.txt"), Strings{}); }

TEST(CopyList, LastLineNeedsNoLineEnd)
{
    EXPECT_EQ(ReadList("#copystart\na.txt\nlast.txt"), (Strings{"a.txt", "last.txt"}));
}

TEST(CopyListEntry, RelativeNamesAreUsable)
{
    for (std::string usable : {std::string("dir/.\\f"), std::string(".profile"), kSoft + "\\" + kShow,
                               std::string(259, 'n')})
        EXPECT_EQ(CheckListEntry(usable.c_str(), usable.size()), EntryCheck::Usable) << usable;
}

TEST(CopyListEntry, NamesLeavingTheFolderOrNotAFileNameAreUnusable)
{
    for (std::string unusable : Strings{"a\\..\\..\\x", "a\\...\\x", "a\\.. \\x", "\\x", "/x", "C:\\x", "C:x",
                                        "a.txt:stream", "*.txt", "a?.txt", "a|b", "a\tb", "\x95",
                                        std::string("a\0b", 3)})
        EXPECT_EQ(CheckListEntry(unusable.c_str(), unusable.size()), EntryCheck::Unusable) << unusable;
}

TEST(CopyListEntry, A260ByteNameIsTooLong)
{
    EXPECT_EQ(CheckListEntry(std::string(260, 'n').c_str(), 260), EntryCheck::TooLong);
}

// Records fill the buffer up to its last two bytes, kept for the end record.
class CopyRecords : public ::testing::Test {
protected:
    CopyRecords() { BeginCopyList(writer_, buffer_, sizeof buffer_); }
    char buffer_[16];
    CopyListWriter writer_;
};

TEST_F(CopyRecords, RecordOverTheFreeBytesIsRefused)
{
    EXPECT_EQ(AddCopyRecord(writer_, kCopyFolder, "abcdefghijklm"), -1);  // 15 bytes, 14 free
}

TEST_F(CopyRecords, RecordOfTheFreeBytesIsReadBack)
{
    ASSERT_EQ(AddCopyRecord(writer_, kCopyFolder, "abcdefghijkl"), 0);  // 14 bytes: fits exactly
    size_t position = 0;
    CopyRecord record;
    ASSERT_TRUE(NextCopyRecord(buffer_, sizeof buffer_, &position, &record));
    EXPECT_EQ(record.kind, kCopyFolder);
    EXPECT_STREQ(record.text, "abcdefghijkl");
    EXPECT_FALSE(NextCopyRecord(buffer_, sizeof buffer_, &position, &record));
}

// What a replay does, in order.
Strings Replay(const std::string& log)
{
    Strings calls;
    ReplayOps ops{[](void* c, const char* p) { Add(c, "del " + std::string(p)); },
                  [](void* c, bool keep) { Add(c, keep ? "keep" : "finish"); },
                  [](void* c, const char* p) { Add(c, "rmdir " + std::string(p)); }, &calls};
    FILE* file = Open(log);
    EXPECT_EQ(ReplayLogText(file, "C:\\Src\\setup.exe", ops), 0);
    fclose(file);
    return calls;
}

// A CR before the line feed; the last line without one.
TEST(UninstallLog, FilesThenTheLogThenFoldersInReverse)
{
    std::string folder = "C:\\" + kSoft;
    EXPECT_EQ(Replay("C:\\P\\I\\setup.exe\n" + folder + "\\" + kShow + ".txt\n+ C:\\P\n+ " + folder +
                     "\nC:\\P\\I\\play.exe\r\n+ C:\\P\\I"),
              (Strings{"del C:\\P\\I\\setup.exe", "del " + folder + "\\" + kShow + ".txt", "del C:\\P\\I\\play.exe",
                       "finish", "rmdir C:\\P\\I", "rmdir " + folder, "rmdir C:\\P"}));
}

TEST(UninstallLog, EmptyLogOnlyFinishes) { EXPECT_EQ(Replay(""), (Strings{"finish"})); }

TEST(UninstallLog, RunningSetupInAnyCaseIsKept)
{
    EXPECT_EQ(Replay("c:\\SRC\\Setup.EXE\nC:\\kept.txt\n"), (Strings{"del C:\\kept.txt", "finish"}));
}

TEST(UninstallLog, EmptyBrokenAndTooLongLinesArePassedOver)
{
    EXPECT_EQ(Replay("\n+\n+x\n+ \n" + std::string(300, 'p') + "\nC:\\\x95\n" + std::string("C:\\a\0b", 6) + "\n"),
              (Strings{"finish"}));
}

std::string DefaultFolder(const char* windows, const std::string& parent)
{
    char out[kPathBytes];
    return DefaultInstallFolderText(out, sizeof out, windows, parent.c_str(), "IthraSS") == 0 ? out : "<refused>";
}

TEST(InstallFolder, DefaultIsOnTheWindowsDrive)
{
    EXPECT_EQ(DefaultFolder("C:\\WINDOWS", "\\Apps\\"), "C:\\Apps\\IthraSS");
}

TEST(InstallFolder, DefaultAfterATrailByte5CGetsItsBackslash)
{
    EXPECT_EQ(DefaultFolder("D:\\WINNT", "\\" + kHyo), "D:\\" + kHyo + "\\IthraSS");
}

TEST(InstallFolder, DefaultNeedsADriveLetter) { EXPECT_EQ(DefaultFolder("\\\\server\\windows", "\\P"), "<refused>"); }

std::string Completed(const std::string& folder)
{
    char out[kPathBytes];
    snprintf(out, sizeof out, "%s", folder.c_str());
    return CompleteInstallFolder(out, sizeof out, "IthraSS") == 0 ? out : "<refused>";
}

TEST(InstallFolder, EndingInTheProductItLosesItsBackslash)
{
    EXPECT_EQ(Completed("C:\\Varnel\\IthraSS\\"), "C:\\Varnel\\IthraSS");
}

TEST(InstallFolder, NameMatchesInItsOwnCase) { EXPECT_EQ(Completed("C:\\V\\ithrass"), "C:\\V\\ithrass\\IthraSS"); }
TEST(InstallFolder, AnyNameEndingInTheProductCounts) { EXPECT_EQ(Completed("C:\\MyIthraSS"), "C:\\MyIthraSS"); }
TEST(InstallFolder, TheProductAloneIsNoFolderOfIt) { EXPECT_EQ(Completed("IthraSS"), "IthraSS\\IthraSS"); }
TEST(InstallFolder, OnlyOneBackslashIsDropped) { EXPECT_EQ(Completed("C:\\dir\\\\"), "C:\\dir\\\\IthraSS"); }

TEST(InstallFolder, TrailByte5CIsNoBackslash)
{
    EXPECT_EQ(Completed("C:\\" + kSoft + "\\" + kHyo), "C:\\" + kSoft + "\\" + kHyo + "\\IthraSS");
}

TEST(InstallFolder, CompletionFillingTheBufferFits)
{
    std::string longest = "C:\\" + std::string(248, 'a');
    EXPECT_EQ(Completed(longest), longest + "\\IthraSS");
}

TEST(InstallFolder, CompletionOneByteOverIsRefused)
{
    EXPECT_EQ(Completed("C:\\" + std::string(249, 'a')), "<refused>");
}

std::string Space(long long bytes)
{
    char out[kPathBytes];
    FormatSpaceNeeded(out, sizeof out, bytes);
    return out;
}

TEST(SpaceNeeded, NothingIsZero) { EXPECT_EQ(Space(0), "インストールに必要な容量は、約 0.0 MBです"); }
TEST(SpaceNeeded, TenthsAreCutNotRounded) { EXPECT_EQ(Space(1048575), "インストールに必要な容量は、約 0.9 MBです"); }
TEST(SpaceNeeded, HalfAMegabyte) { EXPECT_EQ(Space(1048576 + 524288), "インストールに必要な容量は、約 1.5 MBです"); }
TEST(SpaceNeeded, OverFourGigabytes) { EXPECT_EQ(Space(5LL << 30), "インストールに必要な容量は、約 5120.0 MBです"); }

SetupMode Mode(const char* commandLine) { return ParseSetupCommandLine(commandLine, "setup.exe"); }

TEST(SetupCommandLine, RelocateAfterBlanksInAnyCase) { EXPECT_EQ(Mode("setup.exe   /R"), SetupMode::Relocate); }

TEST(SetupCommandLine, UninstallAfterAQuotedProgram)
{
    EXPECT_EQ(Mode("\"C:\\Program Files\\Varnel\\IthraSS\\setup.exe\" /x"), SetupMode::Uninstall);
}

TEST(SetupCommandLine, UninstallerCopyByAnotherName)
{
    EXPECT_EQ(Mode("C:\\WINDOWS\\SYSTEM\\unithra.exe /X"), SetupMode::Uninstall);
}

TEST(SetupCommandLine, FoldersWithTrailBytes5C)
{
    EXPECT_EQ(Mode(("C:\\" + kSoft + " x\\" + kHyo + "\\setup.exe /r").c_str()), SetupMode::Relocate);
}

// Unquoted in a folder with blanks, as the uninstall entry stores it and Windows hands it over.
TEST(SetupCommandLine, UnquotedInAFolderWithBlanks)
{
    EXPECT_EQ(Mode("C:\\Program Files\\Varnel\\IthraSS\\SETUP.EXE /r"), SetupMode::Relocate);
}

// "/" as a trail byte is no switch.
TEST(SetupCommandLine, AnythingElseIsInteractive)
{
    for (const char* line : {"setup.exe", "setup.exe /r ", "setup.exe /r /x", "setup.exe /rx", "setup.exe -r",
                             "\"C:\\Program Files\\setup.exe\" foo /r", "C:\\P F\\setup.exe extra /r",
                             "C:\\Program Files\\mysetup.exe /r", "C:\\a b\\setup.exe \x81/r", ""})
        EXPECT_EQ(Mode(line), SetupMode::Interactive) << line;
}

TEST(SetupCommandLine, NoCommandLineIsInteractive) { EXPECT_EQ(Mode(nullptr), SetupMode::Interactive); }

std::string WithDeletion(const std::string& ini)
{
    GrowBuffer out;
    WininitEdit result = AddDeleteEntry(ini.data(), ini.size(), "C:\\X", out);
    std::string text = result == WininitEdit::Done ? std::string(out.data, out.size) : "<refused>";
    GrowFree(out);
    return text;
}

TEST(Wininit, EndOfFileMarkAloneGivesANewSection) { EXPECT_EQ(WithDeletion("\x1a"), "[Rename]\r\nNUL=C:\\X\r\n"); }

TEST(Wininit, LastLineGetsItsLineEnd)
{
    EXPECT_EQ(WithDeletion("[Other]\r\na=1"), "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n");
}

TEST(Wininit, EndOfFileMarkIsDropped)
{
    EXPECT_EQ(WithDeletion("[Other]\r\na=1\r\n\x1a"), "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n");
}

TEST(Wininit, RenameSectionMovesToTheEndWithEveryEntry)
{
    const std::string rename = "NUL=C:\\A.TMP\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n";
    EXPECT_EQ(WithDeletion("[Before]\r\nx=1\r\n[rename]\r\n" + rename + "\r\n[After]\r\ny=2\r\n"),
              "[Before]\r\nx=1\r\n[After]\r\ny=2\r\n[Rename]\r\n" + rename + "NUL=C:\\X\r\n");
}

// Bare line feeds become CR LF.
TEST(Wininit, TwoRenameSectionsBecomeOne)
{
    EXPECT_EQ(WithDeletion("[Rename]\nNUL=C:\\A\n[ RENAME ]\nNUL=C:\\B\n"),
              "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\X\r\n");
}

TEST(Wininit, RenameSectionOverItsLimitIsRefused)
{
    std::string full = "[Rename]\r\n";
    while (full.size() <= kRenameSectionLimit) full += "NUL=C:\\WINDOWS\\TEMP\\X.TMP\r\n";
    EXPECT_EQ(WithDeletion(full), "<refused>");
}

TEST(Wininit, OtherSectionsDoNotCountTowardsTheLimit)
{
    std::string other = "[Other]\r\n" + std::string(40000, 'a') + "\r\n";
    EXPECT_EQ(WithDeletion(other), other + "[Rename]\r\nNUL=C:\\X\r\n");
}

}  // namespace
