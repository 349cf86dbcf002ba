// The saver's command-line decoder: every way Windows and people spell the switches.
#include <gtest/gtest.h>

#include "saver/command_line.h"

namespace {

struct Case {
    const char* text;
    RunMode mode;
    int32_t handle;
    bool fromForeground;
};

void Check(const Case& c)
{
    DecodedCommandLine d = DecodeCommandLine(c.text);
    EXPECT_EQ(static_cast<int>(d.mode), static_cast<int>(c.mode)) << c.text;
    EXPECT_EQ(d.handle, c.handle) << c.text;
    EXPECT_EQ(d.ownerFromForeground, c.fromForeground) << c.text;
}

}  // namespace

TEST(CommandLine, SaverSwitchInEverySpellingIgnoresWhatFollows)
{
    for (const char* text : {"nimbra.scr /s", "nimbra.scr -s", "nimbra.scr S", "nimbra.scr /S",
                             "nimbra.scr /s 1234", "nimbra.scr /save", "nimbra.scr   /s"})
        Check({text, RunMode::Saver, 0, false});
}

TEST(CommandLine, PreviewReadsHandleAfterBlanksAndColons)
{
    for (const char* text : {"nimbra.scr /p 1234", "nimbra.scr /p:1234", "nimbra.scr /P1234",
                             "nimbra.scr /l 1234", "nimbra.scr -p : 1234", "nimbra.scr /L::  1234x"})
        Check({text, RunMode::Preview, 1234, false});
    // Only the letter counts: the rest of the word is read as the number.
    Check({"nimbra.scr /preview 123", RunMode::Preview, 0, false});
    Check({"nimbra.scr /p", RunMode::Preview, 0, false});
}

TEST(CommandLine, QuotedProgramPathWithSpaces)
{
    Check({"\"C:\\Program Files\\Ithra\\nimbra.scr\" /p 77", RunMode::Preview, 77, false});
    Check({"\"C:\\Program Files\\Ithra\\nimbra.scr\"/s", RunMode::Saver, 0, false});
    Check({"\"C:\\Program Files\\Ithra\\nimbra.scr\"", RunMode::Configure, 0, false});
    // An unclosed quote swallows everything: nothing is left for a switch.
    Check({"\"C:\\nimbra.scr /s", RunMode::Configure, 0, false});
}

TEST(CommandLine, ConfigureOwner)
{
    Check({"nimbra.scr /c", RunMode::Configure, 0, true});
    Check({"nimbra.scr /c:  ", RunMode::Configure, 0, true});
    Check({"nimbra.scr /c:1234", RunMode::Configure, 1234, false});
    Check({"nimbra.scr", RunMode::Configure, 0, false});
    Check({"nimbra.scr ", RunMode::Configure, 0, false});
    Check({"", RunMode::Configure, 0, false});
    Check({nullptr, RunMode::Configure, 0, false});
}

TEST(CommandLine, ChangePasswordHandle)
{
    Check({"nimbra.scr /a 5678", RunMode::ChangePassword, 5678, false});
    Check({"nimbra.scr -A:42", RunMode::ChangePassword, 42, false});
    Check({"nimbra.scr /a", RunMode::ChangePassword, 0, false});
}

TEST(CommandLine, UnknownSwitchesEndTheRun)
{
    for (const char* text : {"nimbra.scr /x", "nimbra.scr /", "nimbra.scr -", "nimbra.scr //s", "nimbra.scr ?"})
        Check({text, RunMode::None, 0, false});
}

TEST(CommandLine, HandleNumbersSaturateInsteadOfOverflowing)
{
    Check({"nimbra.scr /p 99999999999999999999", RunMode::Preview, INT32_MAX, false});
    Check({"nimbra.scr /p -99999999999999999999", RunMode::Preview, INT32_MIN, false});
    Check({"nimbra.scr /p 2147483647", RunMode::Preview, INT32_MAX, false});
    Check({"nimbra.scr /p -2147483648", RunMode::Preview, INT32_MIN, false});
    Check({"nimbra.scr /p +12", RunMode::Preview, 12, false});
    Check({"nimbra.scr /p \t 12", RunMode::Preview, 12, false});
}
