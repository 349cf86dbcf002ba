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

// Windows 95 and NT 4.0 give 0 for the virtual screen; a virtual screen that would leave part of the
// primary monitor uncovered, or lie off it, is not believed either: the window covers the primary alone.
TEST(ScreenLayout, TheWindowCoversAVirtualScreenHoldingThePrimaryMonitorWithThePrimaryAtMinusItsOrigin)
{
    struct Case { const char* what; ScreenMetrics metrics; const char* window; const char* primary; } cases[] = {
        {"one monitor", Primary1024(0, 0, 1024, 768), "0,0 1024x768", "0,0 1024x768"},
        {"a lower one to the left, just holding", Primary1024(-800, 0, 1824, 768), "-800,0 1824x768", "800,0 1024x768"},
        {"one above, just holding", Primary1024(0, -600, 1024, 1368), "0,-600 1024x1368", "0,600 1024x768"},
        {"the primary between two", Primary1024(-800, -100, 3104, 1124), "-800,-100 3104x1124", "800,100 1024x768"},
        {"Windows 95, NT 4.0", Primary1024(0, 0, 0, 0), "0,0 1024x768", "0,0 1024x768"},
        {"a column short on the right", Primary1024(-800, 0, 1823, 768), "0,0 1024x768", "0,0 1024x768"},
        {"a row short below", Primary1024(0, -600, 1024, 1367), "0,0 1024x768", "0,0 1024x768"},
        {"starting right of it", Primary1024(1, 0, 1024, 768), "0,0 1024x768", "0,0 1024x768"},
        {"starting below it", Primary1024(0, 1, 1024, 768), "0,0 1024x768", "0,0 1024x768"}};
    for (const Case& c : cases) {
        ScreenLayout layout = FullScreenLayout(c.metrics);
        EXPECT_EQ(Text(layout.window), c.window) << c.what;
        EXPECT_EQ(Text(layout.primary), c.primary) << c.what;
    }
}

// The stage is centred at its size on a primary monitor that holds it, and stretched over it when "Fit
// Screen" is not 0 or the monitor is narrower or lower, wherever the monitor lies in the window.
TEST(ScreenLayout, TheStageStaysOnThePrimaryMonitor)
{
    struct Case { const char* what; ScreenMetrics metrics; unsigned fit; const char* view; } cases[] = {
        {"alone, centred", Primary1024(0, 0, 0, 0), 0, "192,144 640x480"},
        {"any fit value", Primary1024(0, 0, 0, 0), 7, "0,0 1024x768"},
        {"just as wide as the stage", ScreenMetrics{640, 600, 0, 0, 0, 0}, 0, "0,60 640x480"},
        {"just as high as the stage", ScreenMetrics{800, 480, 0, 0, 0, 0}, 0, "80,0 640x480"},
        {"odd margins round down", ScreenMetrics{641, 481, 0, 0, 0, 0}, 0, "0,0 640x480"},
        {"a column narrower", ScreenMetrics{639, 480, 0, 0, 0, 0}, 0, "0,0 639x480"},
        {"a row lower", ScreenMetrics{640, 479, 0, 0, 0, 0}, 0, "0,0 640x479"},
        {"right of a lower one, centred", Primary1024(-800, 0, 1824, 768), 0, "992,144 640x480"},
        {"below and right, fit", Primary1024(-1280, -256, 2304, 1024), 1, "1280,256 1024x768"},
        {"a primary lower than the stage", ScreenMetrics{800, 400, -1024, 0, 1824, 768}, 0, "1024,0 800x400"}};
    for (const Case& c : cases) EXPECT_EQ(Text(FullScreenView(FullScreenLayout(c.metrics), c.fit)), c.view) << c.what;
}

}  // namespace
