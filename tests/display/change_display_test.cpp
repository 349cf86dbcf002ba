// CChangeDisplay against the display modes Wine lists.
#include <gtest/gtest.h>

#include "render/change_display.h"

TEST(ChangeDisplay, RestoreWithoutChangeDoesNothing)
{
    CChangeDisplay display;
    EXPECT_EQ(display.changed, 0);
    EXPECT_EQ(display.Restore(), 1);
    EXPECT_EQ(display.Restore(), 1);
    EXPECT_EQ(display.changed, 0);
}

TEST(ChangeDisplay, UnlistedModeChangesNothing)
{
    CChangeDisplay display;
    int width = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(display.Change(123, 45), 0);
    EXPECT_EQ(display.changed, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
    DEVMODEA mode;
    EXPECT_EQ(display.FindMode(123, 45, 32, 60, &mode), 0);
}

TEST(ChangeDisplay, FindModeMatchesAllFourValues)
{
    CChangeDisplay display;
    DEVMODEA first = {};
    first.dmSize = sizeof first;
    if (!EnumDisplaySettingsA(nullptr, 0, &first)) GTEST_SKIP() << "no display modes listed";
    DEVMODEA found;
    ASSERT_EQ(display.FindMode(first.dmPelsWidth, first.dmPelsHeight, first.dmBitsPerPel, first.dmDisplayFrequency,
                               &found), 1);
    EXPECT_EQ(found.dmPelsWidth, first.dmPelsWidth);
    EXPECT_EQ(display.FindMode(first.dmPelsWidth, first.dmPelsHeight, first.dmBitsPerPel,
                               first.dmDisplayFrequency + 1000, &found), 0);
}
