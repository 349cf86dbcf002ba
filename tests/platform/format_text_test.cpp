// FormatText, the shipped programs' printf formatting, against the C library's vsnprintf of this machine.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "cmake/runtime/format_text.h"

namespace {

struct Result {
    std::string text;
    int length;
};

using Formatter = int (*)(char*, size_t, const char*, va_list);

Result Format(Formatter formatter, size_t size, const char* format, ...)
{
    char buffer[64] = "untouched";
    va_list args;
    va_start(args, format);
    int length = formatter(buffer, size, format, args);
    va_end(args);
    return {buffer, length};
}

#define EXPECT_LIKE_THE_LIBRARY(size, ...)                                  \
    do {                                                                    \
        Result ours = Format(FormatText, size, __VA_ARGS__);                \
        Result library = Format(std::vsnprintf, size, __VA_ARGS__);         \
        EXPECT_EQ(ours.text, library.text) << #__VA_ARGS__;                 \
        EXPECT_EQ(ours.length, library.length) << #__VA_ARGS__;             \
    } while (0)

}  // namespace

// Widths met and exceeded, the ends of every size, zero.
TEST(FormatText, WritesNumbersLikeTheLibrary)
{
    EXPECT_LIKE_THE_LIBRARY(64, "slide_%02d.qjx", 7);
    EXPECT_LIKE_THE_LIBRARY(64, "slide_%02d.qjx", 123);
    EXPECT_LIKE_THE_LIBRARY(64, "~nim%0*x.tmp", 4, 0x2a);
    EXPECT_LIKE_THE_LIBRARY(64, "%d %ld %lld", INT_MIN, LONG_MIN, LLONG_MIN);
    EXPECT_LIKE_THE_LIBRARY(64, "%u %lu %llu %x %X", UINT_MAX, ULONG_MAX, ULLONG_MAX, 0xbeefu, 0xbeefu);
    EXPECT_LIKE_THE_LIBRARY(64, "%d %u %x", 0, 0u, 0u);
    EXPECT_LIKE_THE_LIBRARY(64, "%zu %hd %hhu", static_cast<size_t>(4000000000u), 70000, 300);
}

// Japanese text passes through byte for byte; an empty string adds nothing.
TEST(FormatText, WritesTextInFieldsLikeTheLibrary)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%s のファイルが見つかりません.", "C:\\表示\\tile.bmp");
    EXPECT_LIKE_THE_LIBRARY(64, "%s%s%s", "C:\\P", "", "a.bmp");
    EXPECT_LIKE_THE_LIBRARY(64, "[%5s][%-5s][%5d][%-5d]", "ab", "ab", -12, -12);
    EXPECT_LIKE_THE_LIBRARY(64, "%.3s|%.*s", "abcdef", 2, "xyz");
    EXPECT_LIKE_THE_LIBRARY(64, "%c%%%c", 'a', 'b');
}

// Cut one short of the buffer, down to none at all, or just fitting: the whole length is returned.
TEST(FormatText, StopsAtTheBufferLikeTheLibrary)
{
    EXPECT_LIKE_THE_LIBRARY(6, "%s-%d", "abcdef", 42);
    EXPECT_LIKE_THE_LIBRARY(4, "%s", "abc");
    EXPECT_LIKE_THE_LIBRARY(1, "%s", "abc");
    EXPECT_LIKE_THE_LIBRARY(0, "%s", "abc");
}

TEST(FormatText, CopiesAnUnknownSequenceAsItStands)
{
    EXPECT_EQ(Format(FormatText, 64, "a%qb").text, "a%qb");
}

TEST(FormatText, ShowsAFloatingPointConversionAsAQuestionMarkAndGoesOn)
{
    EXPECT_EQ(Format(FormatText, 64, "%.1f%% %s", 12.5, "done").text, "?% done");
}
