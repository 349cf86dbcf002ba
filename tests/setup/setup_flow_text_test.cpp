// The installer's user-facing texts natively under the sanitizers: the install folder, the command
// line's run mode and the rebuilt "WININIT.INI".
#include <gtest/gtest.h>

#include <string>

#include "setup/install_folder_text.h"
#include "setup/setup_command_line.h"
#include "setup/wininit_text.h"

namespace {

const std::string kSoft = "\x83\x5c\x83\x74\x83\x67";  // "ソフト", first character ends in 0x5C
const std::string kHyo = "\x95\x5c";                   // "表", ends in 0x5C

std::string Complete(const std::string& typed, size_t size = 260)
{
    char folder[260] = {};
    snprintf(folder, sizeof folder, "%s", typed.c_str());
    if (CompleteInstallFolder(folder, size, "IthraSS") != 0) return "<refused:" + std::string(folder) + ">";
    return folder;
}

std::string Space(long long bytes)
{
    char text[256];
    FormatSpaceNeeded(text, sizeof text, bytes);
    return text;
}

std::string Edit(const std::string& before, const char* path = "C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE",
                 WininitEdit expected = WininitEdit::Done)
{
    GrowBuffer out;
    WininitEdit result = AddDeleteEntry(before.data(), before.size(), path, out);
    EXPECT_EQ(result, expected);
    std::string text(out.data ? out.data : "", out.size);
    GrowFree(out);
    return text;
}

}  // namespace

TEST(InstallFolderText, DefaultFolderOnTheWindowsDrive)
{
    char out[260];
    ASSERT_EQ(DefaultInstallFolderText(out, sizeof out, "D:\\WINNT", "\\Program Files\\Varnel", "IthraSS"), 0);
    EXPECT_STREQ(out, "D:\\Program Files\\Varnel\\IthraSS");
    ASSERT_EQ(DefaultInstallFolderText(out, sizeof out, "C:\\WINDOWS", "\\Apps\\", "IthraSS"), 0);
    EXPECT_STREQ(out, "C:\\Apps\\IthraSS");
    // A parent ending in a double-byte character whose trail byte is 0x5C still gets its backslash.
    ASSERT_EQ(DefaultInstallFolderText(out, sizeof out, "C:\\WINDOWS", ("\\" + kHyo).c_str(), "IthraSS"), 0);
    EXPECT_EQ(std::string(out), "C:\\" + kHyo + "\\IthraSS");
    EXPECT_EQ(DefaultInstallFolderText(out, sizeof out, "\\\\server\\windows", "\\P", "IthraSS"), -1);
    EXPECT_EQ(DefaultInstallFolderText(out, 10, "C:\\WINDOWS", "\\Program Files", "IthraSS"), -1);
    EXPECT_STREQ(out, "");
}

TEST(InstallFolderText, CompletionWithTheProductFolder)
{
    EXPECT_EQ(Complete("E:\\Tools"), "E:\\Tools\\IthraSS");
    EXPECT_EQ(Complete("C:\\Program Files\\Varnel\\IthraSS\\"), "C:\\Program Files\\Varnel\\IthraSS");
    EXPECT_EQ(Complete("C:\\Program Files\\Varnel\\IthraSS"), "C:\\Program Files\\Varnel\\IthraSS");
    EXPECT_EQ(Complete("C:\\Program Files\\Varnel\\ithrass"), "C:\\Program Files\\Varnel\\ithrass\\IthraSS");
    EXPECT_EQ(Complete("C:\\MyIthraSS"), "C:\\MyIthraSS");  // any name ending in it counts
    EXPECT_EQ(Complete("IthraSS"), "IthraSS\\IthraSS");      // not longer than the name
    EXPECT_EQ(Complete("C:\\dir\\\\"), "C:\\dir\\\\IthraSS");  // only one backslash is dropped
    // The trail byte 0x5C of the last character is not a backslash to drop.
    EXPECT_EQ(Complete("C:\\" + kSoft + "\\" + kHyo), "C:\\" + kSoft + "\\" + kHyo + "\\IthraSS");
    // Too long to take the name: refused, the folder unchanged.
    std::string longFolder = "C:\\" + std::string(250, 'a');
    EXPECT_EQ(Complete(longFolder), "<refused:" + longFolder + ">");
    EXPECT_EQ(Complete("C:\\" + std::string(248, 'a')), "C:\\" + std::string(248, 'a') + "\\IthraSS");
}

TEST(InstallFolderText, SpaceInMegabytesWithATenthCut)
{
    EXPECT_EQ(Space(0), "インストールに必要な容量は、約 0.0 MBです");
    EXPECT_EQ(Space(1048575), "インストールに必要な容量は、約 0.9 MBです");
    EXPECT_EQ(Space(1048576 + 524288), "インストールに必要な容量は、約 1.5 MBです");
    EXPECT_EQ(Space(5LL * 1024 * 1048576), "インストールに必要な容量は、約 5120.0 MBです");
}

TEST(SetupCommandLine, SwitchesAfterTheProgramName)
{
    struct Case {
        const char* line;
        SetupMode mode;
    } cases[] = {
        {"setup.exe", SetupMode::Interactive},
        {"setup.exe /r", SetupMode::Relocate},
        {"setup.exe   /R", SetupMode::Relocate},
        {"\"C:\\Program Files\\Varnel\\IthraSS\\setup.exe\" /x", SetupMode::Uninstall},
        {"C:\\WINDOWS\\SYSTEM\\unithra.exe /X", SetupMode::Uninstall},
        {"setup.exe /r ", SetupMode::Interactive},
        {"setup.exe /r /x", SetupMode::Interactive},
        {"setup.exe /rx", SetupMode::Interactive},
        {"setup.exe -r", SetupMode::Interactive},
        {"\"C:\\Program Files\\setup.exe\" foo /r", SetupMode::Interactive},
        {"", SetupMode::Interactive},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSetupCommandLine(c.line, "setup.exe"), c.mode) << c.line;
    EXPECT_EQ(ParseSetupCommandLine(nullptr, "setup.exe"), SetupMode::Interactive);
}

TEST(SetupCommandLine, UnquotedCommandOfAFolderWithBlanks)
{
    // As the uninstall entry stores it and Windows hands it over.
    EXPECT_EQ(ParseSetupCommandLine("C:\\Program Files\\Varnel\\IthraSS\\setup.exe /r", "setup.exe"), SetupMode::Relocate);
    EXPECT_EQ(ParseSetupCommandLine("C:\\Program Files\\Varnel\\IthraSS\\SETUP.EXE /r", "setup.exe"), SetupMode::Relocate);
    EXPECT_EQ(ParseSetupCommandLine("C:\\My Files\\setup.exe  /x", "setup.exe"), SetupMode::Uninstall);
    // Something else before the switch, or another program name: the interactive installer.
    EXPECT_EQ(ParseSetupCommandLine("C:\\Program Files\\setup.exe extra /r", "setup.exe"), SetupMode::Interactive);
    EXPECT_EQ(ParseSetupCommandLine("C:\\Program Files\\mysetup.exe /r", "setup.exe"), SetupMode::Interactive);
    EXPECT_EQ(ParseSetupCommandLine("C:\\Program Files\\other.exe /r", "setup.exe"), SetupMode::Interactive);
    // A folder named with trail bytes 0x5C.
    std::string line = "C:\\" + kSoft + " x\\" + kHyo + "\\setup.exe /r";
    EXPECT_EQ(ParseSetupCommandLine(line.c_str(), "setup.exe"), SetupMode::Relocate);
    // The switch's "/" as the trail byte of a double-byte character is no switch.
    EXPECT_EQ(ParseSetupCommandLine("C:\\a b\\setup.exe \x81/r", "setup.exe"), SetupMode::Interactive);
}

TEST(Wininit, FileWithoutTheSectionGainsItAtTheEnd)
{
    EXPECT_EQ(Edit(""), "[Rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE\r\n");
    EXPECT_EQ(Edit("[Other]\r\na=1\r\n"), "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE\r\n");
    // A last line without its line end gets one before the section.
    EXPECT_EQ(Edit("[Other]\r\na=1"), "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE\r\n");
}

TEST(Wininit, EveryEarlierEntryKeepsItsOwnValue)
{
    std::string before =
        "[Before]\r\nx=1\r\n"
        "[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\C.TMP\r\n"
        "[After]\r\ny=2\r\n";
    EXPECT_EQ(Edit(before, "C:\\X.EXE"),
              "[Before]\r\nx=1\r\n[After]\r\ny=2\r\n"
              "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\C.TMP\r\nNUL=C:\\X.EXE\r\n");
    // Two sections of that name and bare line feeds: one section, every line kept, CR LF everywhere.
    EXPECT_EQ(Edit("[Rename]\nNUL=C:\\A\n[ RENAME ]\nNUL=C:\\B\n", "C:\\X"),
              "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\X\r\n");
}

TEST(Wininit, EndOfFileMarkIsReplaced)
{
    EXPECT_EQ(Edit("[Other]\r\na=1\r\n\x1a", "C:\\X"), "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n");
    EXPECT_EQ(Edit("[Rename]\r\nNUL=C:\\A\r\n\x1a", "C:\\X"), "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\X\r\n");
    EXPECT_EQ(Edit("\x1a", "C:\\X"), "[Rename]\r\nNUL=C:\\X\r\n");
}

TEST(Wininit, SectionOverTheLimitIsRefused)
{
    std::string before = "[Rename]\r\n";
    while (before.size() <= kRenameSectionLimit) before += "NUL=C:\\WINDOWS\\TEMP\\X.TMP\r\n";
    EXPECT_EQ(Edit(before, "C:\\X", WininitEdit::TooLarge), "");
    // Other sections do not count towards it.
    std::string other = "[Other]\r\n" + std::string(40000, 'a') + "\r\n";
    EXPECT_EQ(Edit(other, "C:\\X"), other + "[Rename]\r\nNUL=C:\\X\r\n");
}
