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

Result Ours(size_t size, const char* format, ...)
{
    char buffer[64] = "untouched";
    va_list args;
    va_start(args, format);
    int length = FormatText(buffer, size, format, args);
    va_end(args);
    return {buffer, length};
}

Result Library(size_t size, const char* format, ...)
{
    char buffer[64] = "untouched";
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    return {buffer, length};
}

#define EXPECT_LIKE_THE_LIBRARY(size, ...)                            \
    do {                                                              \
        Result ours = Ours(size, __VA_ARGS__);                        \
        Result library = Library(size, __VA_ARGS__);                  \
        EXPECT_EQ(ours.text, library.text) << #__VA_ARGS__;           \
        EXPECT_EQ(ours.length, library.length) << #__VA_ARGS__;       \
    } while (0)

TEST(FormatText, WritesTextAndStrings)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%s のファイルが見つかりません.", "C:\\表示\\tile.bmp");
}

TEST(FormatText, JoinsAPathWithAnEmptySeparator)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%s%s%s", "C:\\P", "", "a.bmp");
}

TEST(FormatText, PadsNumbersWithZeros)
{
    EXPECT_LIKE_THE_LIBRARY(64, "slide_%02d.qjx", 7);
}

TEST(FormatText, LeavesWideNumbersWhole)
{
    EXPECT_LIKE_THE_LIBRARY(64, "slide_%02d.qjx", 123);
}

TEST(FormatText, TakesTheWidthFromTheArguments)
{
    EXPECT_LIKE_THE_LIBRARY(64, "~nim%0*x.tmp", 4, 0x2a);
}

TEST(FormatText, WritesTheMostNegativeNumbers)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%d %ld %lld", INT_MIN, LONG_MIN, LLONG_MIN);
}

TEST(FormatText, WritesTheLargestUnsignedNumbers)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%u %lu %llu %x %X", UINT_MAX, ULONG_MAX, ULLONG_MAX, 0xbeefu, 0xbeefu);
}

TEST(FormatText, WritesZeroAsOneDigit)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%d %u %x", 0, 0u, 0u);
}

TEST(FormatText, AlignsLeftAndRightInAField)
{
    EXPECT_LIKE_THE_LIBRARY(64, "[%5s][%-5s][%5d][%-5d]", "ab", "ab", -12, -12);
}

TEST(FormatText, CutsAStringToItsPrecision)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%.3s|%.*s", "abcdef", 2, "xyz");
}

TEST(FormatText, WritesCharactersAndPercentSigns)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%c%%%c", 'a', 'b');
}

TEST(FormatText, WritesSizes)
{
    EXPECT_LIKE_THE_LIBRARY(64, "%zu %hd %hhu", static_cast<size_t>(4000000000u), 70000, 300);
}

TEST(FormatText, StopsOneShortOfTheBufferAndCountsTheWholeText)
{
    EXPECT_LIKE_THE_LIBRARY(6, "%s-%d", "abcdef", 42);
}

TEST(FormatText, WritesOnlyTheEndInABufferOfOne)
{
    EXPECT_LIKE_THE_LIBRARY(1, "%s", "abc");
}

TEST(FormatText, WritesNothingIntoABufferOfNone)
{
    EXPECT_LIKE_THE_LIBRARY(0, "%s", "abc");
}

TEST(FormatText, FillsTheBufferExactlyWhenTheTextFits)
{
    EXPECT_LIKE_THE_LIBRARY(4, "%s", "abc");
}

TEST(FormatText, CopiesAnUnknownSequenceAsItStands)
{
    EXPECT_EQ(Ours(64, "a%qb").text, "a%qb");
}

TEST(FormatText, ShowsAFloatingPointConversionAsAQuestionMarkAndGoesOn)
{
    EXPECT_EQ(Ours(64, "%.1f%% %s", 12.5, "done").text, "?% done");
}

}  // namespace
