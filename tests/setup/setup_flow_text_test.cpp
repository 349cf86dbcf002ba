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

std::string Complete(const std::string& typed)
{
    char folder[260] = {};
    snprintf(folder, sizeof folder, "%s", typed.c_str());
    if (CompleteInstallFolder(folder, sizeof folder, "IthraSS") != 0) return "<refused:" + std::string(folder) + ">";
    return folder;
}

std::string Space(long long bytes)
{
    char text[256];
    FormatSpaceNeeded(text, sizeof text, bytes);
    return text;
}

std::string Edit(const std::string& before, const char* path, WininitEdit expected = WininitEdit::Done)
{
    GrowBuffer out;
    EXPECT_EQ(AddDeleteEntry(before.data(), before.size(), path, out), expected);
    std::string text(out.data ? out.data : "", out.size);
    GrowFree(out);
    return text;
}

}  // namespace

TEST(InstallFolderText, DefaultFolderOnTheWindowsDrive)
{
    char out[260];
    ASSERT_EQ(DefaultInstallFolderText(out, sizeof out, "C:\\WINDOWS", "\\Apps\\", "IthraSS"), 0);
    EXPECT_STREQ(out, "C:\\Apps\\IthraSS");
    // A parent ending in a double-byte character whose trail byte is 0x5C still gets its backslash.
    ASSERT_EQ(DefaultInstallFolderText(out, sizeof out, "D:\\WINNT", ("\\" + kHyo).c_str(), "IthraSS"), 0);
    EXPECT_EQ(std::string(out), "D:\\" + kHyo + "\\IthraSS");
    EXPECT_EQ(DefaultInstallFolderText(out, sizeof out, "\\\\server\\windows", "\\P", "IthraSS"), -1);
    EXPECT_EQ(DefaultInstallFolderText(out, 10, "C:\\WINDOWS", "\\Program Files", "IthraSS"), -1);
    EXPECT_STREQ(out, "");
}

TEST(InstallFolderText, CompletionWithTheProductFolderAndTheSpaceNeeded)
{
    const std::string longFolder = "C:\\" + std::string(250, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Varnel\\IthraSS\\", "C:\\Varnel\\IthraSS"},
        {"C:\\Varnel\\ithrass", "C:\\Varnel\\ithrass\\IthraSS"},
        {"C:\\MyIthraSS", "C:\\MyIthraSS"},  // any name ending in it counts
        {"IthraSS", "IthraSS\\IthraSS"},     // not longer than the name
        {"C:\\dir\\\\", "C:\\dir\\\\IthraSS"},  // only one backslash is dropped
        // The trail byte 0x5C of the last character is not a backslash to drop.
        {"C:\\" + kSoft + "\\" + kHyo, "C:\\" + kSoft + "\\" + kHyo + "\\IthraSS"},
        // Too long to take the name: refused, the folder unchanged.
        {longFolder, "<refused:" + longFolder + ">"},
        {"C:\\" + std::string(248, 'a'), "C:\\" + std::string(248, 'a') + "\\IthraSS"},
    };
    for (const auto& c : cases) EXPECT_EQ(Complete(c.first), c.second) << c.first;

    EXPECT_EQ(Space(0), "インストールに必要な容量は、約 0.0 MBです");
    EXPECT_EQ(Space(1048575), "インストールに必要な容量は、約 0.9 MBです");
    EXPECT_EQ(Space(1048576 + 524288), "インストールに必要な容量は、約 1.5 MBです");
    EXPECT_EQ(Space(5LL * 1024 * 1048576), "インストールに必要な容量は、約 5120.0 MBです");
}

TEST(SetupCommandLine, SwitchesAfterTheProgramName)
{
    const std::string trailFolders = "C:\\" + kSoft + " x\\" + kHyo + "\\setup.exe /r";
    const std::pair<const char*, SetupMode> cases[] = {
        {"setup.exe", SetupMode::Interactive},
        {"setup.exe   /R", SetupMode::Relocate},
        {"\"C:\\Program Files\\Varnel\\IthraSS\\setup.exe\" /x", SetupMode::Uninstall},
        {"C:\\WINDOWS\\SYSTEM\\unithra.exe /X", SetupMode::Uninstall},
        // Unquoted in a folder with blanks, as the uninstall entry stores it and Windows hands it over.
        {"C:\\Program Files\\Varnel\\IthraSS\\SETUP.EXE /r", SetupMode::Relocate},
        {"C:\\My Files\\setup.exe  /x", SetupMode::Uninstall},
        {trailFolders.c_str(), SetupMode::Relocate},
        // Anything else: the interactive installer.
        {"setup.exe /r ", SetupMode::Interactive},
        {"setup.exe /r /x", SetupMode::Interactive},
        {"setup.exe /rx", SetupMode::Interactive},
        {"setup.exe -r", SetupMode::Interactive},
        {"\"C:\\Program Files\\setup.exe\" foo /r", SetupMode::Interactive},
        {"C:\\Program Files\\setup.exe extra /r", SetupMode::Interactive},
        {"C:\\Program Files\\mysetup.exe /r", SetupMode::Interactive},
        {"C:\\Program Files\\other.exe /r", SetupMode::Interactive},
        {"C:\\a b\\setup.exe \x81/r", SetupMode::Interactive},  // "/" as a trail byte is no switch
        {"", SetupMode::Interactive},
        {nullptr, SetupMode::Interactive},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSetupCommandLine(c.first, "setup.exe"), c.second) << c.first;
}

TEST(Wininit, SectionMovedToTheEndWithEveryEntryKept)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "[Rename]\r\nNUL=C:\\X\r\n"},
        {"\x1a", "[Rename]\r\nNUL=C:\\X\r\n"},
        {"[Other]\r\na=1\r\n", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},
        {"[Other]\r\na=1", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},  // a line end is added
        {"[Other]\r\na=1\r\n\x1a", "[Other]\r\na=1\r\n[Rename]\r\nNUL=C:\\X\r\n"},
        {"[Rename]\r\nNUL=C:\\A\r\n\x1a", "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\X\r\n"},
        {"[Before]\r\nx=1\r\n[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\C.TMP\r\n"
         "[After]\r\ny=2\r\n",
         "[Before]\r\nx=1\r\n[After]\r\ny=2\r\n"
         "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\C.TMP\r\nNUL=C:\\X\r\n"},
        // Two sections of that name and bare line feeds: one section, every line kept, CR LF everywhere.
        {"[Rename]\nNUL=C:\\A\n[ RENAME ]\nNUL=C:\\B\n", "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\X\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Edit(c.first, "C:\\X"), c.second) << c.first;
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
