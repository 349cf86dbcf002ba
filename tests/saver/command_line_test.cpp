// The saver's command-line decoder: every way Windows and people spell the switches.
#include <gtest/gtest.h>

#include <climits>

#include "saver/command_line.h"

TEST(CommandLine, EverySpelling)
{
    const RunMode S = RunMode::Saver, P = RunMode::Preview, C = RunMode::Configure, A = RunMode::ChangePassword, N = RunMode::None;
    struct Case { const char* text; RunMode mode; int32_t handle; bool ownerFromForeground; } cases[] = {  // owner: the foreground window
        {"nimbra.scr /s", S, 0, 0}, {"nimbra.scr -s", S, 0, 0}, {"nimbra.scr S", S, 0, 0}, {"nimbra.scr /S 1234", S, 0, 0},
        {"nimbra.scr /save", S, 0, 0}, {"nimbra.scr   /s", S, 0, 0}, {"nimbra.scr /p 1234", P, 1234, 0},
        {"nimbra.scr /p:1234", P, 1234, 0}, {"nimbra.scr /P1234", P, 1234, 0}, {"nimbra.scr /l 1234", P, 1234, 0},
        {"nimbra.scr -p : 1234", P, 1234, 0}, {"nimbra.scr /L::  1234x", P, 1234, 0}, {"nimbra.scr /p", P, 0, 0},
        {"nimbra.scr /preview 123", P, 0, 0},  // only the letter counts: "review" is no number
        {"\"C:\\Program Files\\Ithra\\nimbra.scr\" /p 77", P, 77, 0}, {"\"C:\\Program Files\\nimbra.scr\"/s", S, 0, 0},
        {"\"C:\\Program Files\\Ithra\\nimbra.scr\"", C, 0, 0},
        {"\"C:\\nimbra.scr /s", C, 0, 0},  // an unclosed quote leaves nothing for a switch
        {"nimbra.scr /c", C, 0, true}, {"nimbra.scr /c:  ", C, 0, true}, {"nimbra.scr /c:1234", C, 1234, 0},
        {"nimbra.scr", C, 0, 0}, {"nimbra.scr ", C, 0, 0}, {"", C, 0, 0}, {nullptr, C, 0, 0},
        {"nimbra.scr /a 5678", A, 5678, 0}, {"nimbra.scr -A:42", A, 42, 0}, {"nimbra.scr /a", A, 0, 0},
        {"nimbra.scr /x", N, 0, 0}, {"nimbra.scr /", N, 0, 0}, {"nimbra.scr -", N, 0, 0}, {"nimbra.scr //s", N, 0, 0},
        {"nimbra.scr ?", N, 0, 0}, {"nimbra.scr /p +12", P, 12, 0}, {"nimbra.scr /p \t 12", P, 12, 0},
        {"nimbra.scr /p 99999999999999999999", P, INT32_MAX, 0}, {"nimbra.scr /p -99999999999999999999", P, INT32_MIN, 0},
        {"nimbra.scr /p 2147483647", P, INT32_MAX, 0}, {"nimbra.scr /p 2147483646", P, INT32_MAX - 1, 0},
        {"nimbra.scr /p -2147483648", P, INT32_MIN, 0},  // beyond the ends: saturated
    };
    for (const Case& c : cases) {
        DecodedCommandLine d = DecodeCommandLine(c.text);
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(static_cast<int>(d.mode), static_cast<int>(c.mode));
        EXPECT_EQ(d.handle, c.handle);
        EXPECT_EQ(d.ownerFromForeground, c.ownerFromForeground);
    }
}
