// The saver's command-line decoder: every way Windows and people spell the switches.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "saver/command_line.h"

namespace {

// The decoded run mode and window handle, and "owner" when the owner is the foreground window.
std::string Decoded(const char* text)
{
    static const char* const kModes[] = {"None", "Configure", "ChangePassword", "Preview", "Saver"};
    DecodedCommandLine d = DecodeCommandLine(text);
    std::string out = kModes[static_cast<int>(d.mode)] + (" " + std::to_string(d.handle));
    return d.ownerFromForeground ? out + " owner" : out;
}

TEST(CommandLine, SaverInAnySpelling)
{
    for (const char* text : {"nimbra.scr /s", "nimbra.scr -s", "nimbra.scr S", "nimbra.scr /save", "nimbra.scr   /s",
                             "\"C:\\Program Files\\nimbra.scr\"/s"})
        EXPECT_EQ(Decoded(text), "Saver 0") << text;
}

TEST(CommandLine, SaverIgnoresAHandle) { EXPECT_EQ(Decoded("nimbra.scr /S 1234"), "Saver 0"); }

TEST(CommandLine, PreviewHandleAfterBlanksOrColons)
{
    for (const char* text : {"nimbra.scr /p 1234", "nimbra.scr /p:1234", "nimbra.scr /P1234", "nimbra.scr /l 1234",
                             "nimbra.scr -p : 1234", "nimbra.scr /L::  1234x"})
        EXPECT_EQ(Decoded(text), "Preview 1234") << text;
}

TEST(CommandLine, PreviewWithoutAHandle) { EXPECT_EQ(Decoded("nimbra.scr /p"), "Preview 0"); }

// Only the letter counts: "review" is no number.
TEST(CommandLine, PreviewSpelledOutHasNoHandle) { EXPECT_EQ(Decoded("nimbra.scr /preview 123"), "Preview 0"); }

TEST(CommandLine, QuotedProgramPath)
{
    EXPECT_EQ(Decoded("\"C:\\Program Files\\Ithra\\nimbra.scr\" /p 77"), "Preview 77");
}

TEST(CommandLine, ConfigureWhenNoSwitchIsGiven)
{
    for (const char* text : {"\"C:\\Program Files\\Ithra\\nimbra.scr\"", "nimbra.scr", "nimbra.scr ", ""})
        EXPECT_EQ(Decoded(text), "Configure 0") << text;
}

TEST(CommandLine, NoCommandLineConfigures) { EXPECT_EQ(Decoded(nullptr), "Configure 0"); }

// An unclosed quote leaves nothing for a switch.
TEST(CommandLine, UnclosedQuoteConfigures) { EXPECT_EQ(Decoded("\"C:\\nimbra.scr /s"), "Configure 0"); }

TEST(CommandLine, ConfigureWithoutAHandleIsOwnedByTheForegroundWindow)
{
    EXPECT_EQ(Decoded("nimbra.scr /c"), "Configure 0 owner");
    EXPECT_EQ(Decoded("nimbra.scr /c:  "), "Configure 0 owner");
}

TEST(CommandLine, ConfigureWithAHandle) { EXPECT_EQ(Decoded("nimbra.scr /c:1234"), "Configure 1234"); }

TEST(CommandLine, ChangePassword)
{
    EXPECT_EQ(Decoded("nimbra.scr /a 5678"), "ChangePassword 5678");
    EXPECT_EQ(Decoded("nimbra.scr -A:42"), "ChangePassword 42");
    EXPECT_EQ(Decoded("nimbra.scr /a"), "ChangePassword 0");
}

TEST(CommandLine, UnknownSwitchIsNone)
{
    for (const char* text : {"nimbra.scr /x", "nimbra.scr /", "nimbra.scr -", "nimbra.scr //s", "nimbra.scr ?"})
        EXPECT_EQ(Decoded(text), "None 0") << text;
}

TEST(CommandLine, HandleWithASignOrTab)
{
    EXPECT_EQ(Decoded("nimbra.scr /p +12"), "Preview 12");
    EXPECT_EQ(Decoded("nimbra.scr /p \t 12"), "Preview 12");
}

TEST(CommandLine, HandlesAtTheEndsOf32Bits)
{
    EXPECT_EQ(Decoded("nimbra.scr /p 2147483647"), "Preview " + std::to_string(INT32_MAX));
    EXPECT_EQ(Decoded("nimbra.scr /p 2147483646"), "Preview " + std::to_string(INT32_MAX - 1));
    EXPECT_EQ(Decoded("nimbra.scr /p -2147483648"), "Preview " + std::to_string(INT32_MIN));
}

TEST(CommandLine, HandlesBeyondTheEndsAreSaturated)
{
    EXPECT_EQ(Decoded("nimbra.scr /p 99999999999999999999"), "Preview " + std::to_string(INT32_MAX));
    EXPECT_EQ(Decoded("nimbra.scr /p -99999999999999999999"), "Preview " + std::to_string(INT32_MIN));
}

}  // namespace
