// The saver's command-line decoder: every way Windows and people spell the switches.
#include <gtest/gtest.h>

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

TEST(CommandLine, NoCommandLineConfigures) { EXPECT_EQ(Decoded(nullptr), "Configure 0"); }

// Only the switch's letter counts ("/preview 123" has no number); blanks, tabs and colons may stand before
// the handle; an unclosed quote leaves nothing for a switch; handles beyond 32 bits are saturated.
TEST(CommandLine, DecodesEverySpelling)
{
    struct Case { const char* text; const char* decoded; } cases[] = {
        {"nimbra.scr -s", "Saver 0"},
        {"nimbra.scr S", "Saver 0"},
        {"nimbra.scr   /s", "Saver 0"},
        {"nimbra.scr /S 1234", "Saver 0"},
        {"\"C:\\Program Files\\nimbra.scr\"/s", "Saver 0"},
        {"\"C:\\Program Files\\Ithra\\nimbra.scr\" /p 77", "Preview 77"},
        {"nimbra.scr /P1234", "Preview 1234"},
        {"nimbra.scr /l 1234", "Preview 1234"},
        {"nimbra.scr -p : 1234", "Preview 1234"},
        {"nimbra.scr /L::  1234x", "Preview 1234"},
        {"nimbra.scr /p +12", "Preview 12"},
        {"nimbra.scr /p \t 12", "Preview 12"},
        {"nimbra.scr /p", "Preview 0"},
        {"nimbra.scr /preview 123", "Preview 0"},
        {"nimbra.scr /p 2147483647", "Preview 2147483647"},
        {"nimbra.scr /p -2147483648", "Preview -2147483648"},
        {"nimbra.scr /p 99999999999999999999", "Preview 2147483647"},
        {"nimbra.scr /p -99999999999999999999", "Preview -2147483648"},
        {"\"C:\\Program Files\\Ithra\\nimbra.scr\"", "Configure 0"},
        {"nimbra.scr ", "Configure 0"},
        {"", "Configure 0"},
        {"\"C:\\nimbra.scr /s", "Configure 0"},
        {"nimbra.scr /c", "Configure 0 owner"},
        {"nimbra.scr /c:1234", "Configure 1234"},
        {"nimbra.scr -A:42", "ChangePassword 42"},
        {"nimbra.scr /a", "ChangePassword 0"},
        {"nimbra.scr /x", "None 0"},
        {"nimbra.scr /", "None 0"},
        {"nimbra.scr //s", "None 0"},
        {"nimbra.scr ?", "None 0"}};
    for (const Case& c : cases) EXPECT_EQ(Decoded(c.text), c.decoded) << c.text;
}

}  // namespace
