// Where the full-screen window and the stage go with one monitor and with several: the window over the
// virtual screen, the stage on the primary monitor, and the primary monitor alone where the system
// reports no virtual screen.
#include <gtest/gtest.h>

#include <string>

#include "saver/screen_layout.h"

namespace {

std::string Text(const TRect32& r)
{
    const std::string size = std::to_string(r.width) + "x" + std::to_string(r.height);
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + size;
}

// A primary monitor of 1024 by 768 with the given virtual screen round it.
ScreenMetrics Primary1024(int x, int y, int width, int height) { return ScreenMetrics{1024, 768, x, y, width, height}; }

TEST(ScreenLayout, SeveralMonitorsAreCoveredWithThePrimaryOneAtMinusTheVirtualOrigin)
{
    struct Case { const char* what; ScreenMetrics metrics; const char* window; const char* primary; } cases[] = {
        {"one monitor", Primary1024(0, 0, 1024, 768), "0,0 1024x768", "0,0 1024x768"},
        {"a taller one to the right", Primary1024(0, 0, 2304, 1024), "0,0 2304x1024", "0,0 1024x768"},
        {"a lower one to the left", Primary1024(-800, 0, 1824, 768), "-800,0 1824x768", "800,0 1024x768"},
        {"a taller one to the left, reaching higher", Primary1024(-1280, -256, 2304, 1024), "-1280,-256 2304x1024",
         "1280,256 1024x768"},
        {"one above", Primary1024(0, -1200, 1600, 1968), "0,-1200 1600x1968", "0,1200 1024x768"},
        {"the primary between two", Primary1024(-800, -100, 3104, 1124), "-800,-100 3104x1124", "800,100 1024x768"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenLayout layout = FullScreenLayout(c.metrics);
        EXPECT_EQ(Text(layout.window), c.window);
        EXPECT_EQ(Text(layout.primary), c.primary);
    }
}

// Windows 95 and NT 4.0 give 0 for the virtual screen; a virtual screen that would leave part of the
// primary monitor uncovered, or lie off it, is not believed either.
TEST(ScreenLayout, WithoutAVirtualScreenHoldingThePrimaryMonitorOnlyThePrimaryIsCovered)
{
    struct Case { const char* what; ScreenMetrics metrics; } cases[] = {
        {"Windows 95, NT 4.0", Primary1024(0, 0, 0, 0)},
        {"no width", Primary1024(-800, 0, 0, 768)},
        {"no height", Primary1024(-800, 0, 1824, 0)},
        {"a column short on the right", Primary1024(-800, 0, 1823, 768)},
        {"a row short below", Primary1024(0, -600, 1024, 1367)},
        {"starting right of it", Primary1024(1, 0, 1024, 768)},
        {"starting below it", Primary1024(0, 1, 1024, 768)},
        {"negative sizes", Primary1024(0, 0, -1024, -768)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenLayout layout = FullScreenLayout(c.metrics);
        EXPECT_EQ(Text(layout.window), "0,0 1024x768");
        EXPECT_EQ(Text(layout.primary), "0,0 1024x768");
    }
}

TEST(ScreenLayout, AVirtualScreenThatJustHoldsThePrimaryMonitorIsCovered)
{
    EXPECT_EQ(Text(FullScreenLayout(Primary1024(-800, 0, 1824, 768)).window), "-800,0 1824x768");
    EXPECT_EQ(Text(FullScreenLayout(Primary1024(0, -600, 1024, 1368)).window), "0,-600 1024x1368");
}

// The stage is centred on the primary monitor or stretched over it, wherever that lies in the window.
TEST(ScreenLayout, TheStageStaysOnThePrimaryMonitor)
{
    struct Case { const char* what; ScreenMetrics metrics; unsigned fit; const char* view; } cases[] = {
        {"alone, centred", Primary1024(0, 0, 0, 0), 0, "192,144 640x480"},
        {"alone, fit", Primary1024(0, 0, 0, 0), 1, "0,0 1024x768"},
        {"right of a lower one, centred", Primary1024(-800, 0, 1824, 768), 0, "992,144 640x480"},
        {"below and right, fit", Primary1024(-1280, -256, 2304, 1024), 1, "1280,256 1024x768"},
        {"left of a taller one, centred", Primary1024(0, 0, 2304, 1024), 0, "192,144 640x480"},
        {"a primary lower than the stage, stretched", ScreenMetrics{800, 400, -1024, 0, 1824, 768}, 0,
         "1024,0 800x400"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Text(FullScreenView(FullScreenLayout(c.metrics), c.fit)), c.view);
    }
}

TEST(ViewRect, StageIsCentredWhereTheAreaHoldsIt) { EXPECT_EQ(Text(ComputeViewRect(1024, 768, 0)), "192,144 640x480"); }
TEST(ViewRect, StageFillsAnAreaOfItsOwnSize) { EXPECT_EQ(Text(ComputeViewRect(640, 480, 0)), "0,0 640x480"); }
TEST(ViewRect, OddMarginsRoundDown) { EXPECT_EQ(Text(ComputeViewRect(641, 481, 0)), "0,0 640x480"); }
TEST(ViewRect, FitScreenStretchesTheStage) { EXPECT_EQ(Text(ComputeViewRect(1024, 768, 1)), "0,0 1024x768"); }
TEST(ViewRect, AnyFitValueStretches) { EXPECT_EQ(Text(ComputeViewRect(800, 600, 7)), "0,0 800x600"); }
TEST(ViewRect, NarrowerAreaIsStretchedOver) { EXPECT_EQ(Text(ComputeViewRect(639, 480, 0)), "0,0 639x480"); }
TEST(ViewRect, LowerAreaIsStretchedOver) { EXPECT_EQ(Text(ComputeViewRect(640, 479, 0)), "0,0 640x479"); }

}  // namespace
