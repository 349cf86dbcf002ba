// CDIB: slots and their bounds, the stage, and what lands on a real window when presenting.
#include <gtest/gtest.h>

#include "e2e.h"
#include "render/display_context.h"

namespace {

const DWORD kRed = 0x00FF0000;

// A visible window at the top-left of the screen whose pixels can be read back.
class WindowTest : public ::testing::Test {
protected:
    void Open(int width, int height)
    {
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "stage test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        Paint(0x00FFFFFF);
    }
    ~WindowTest() override
    {
        if (window_) DestroyWindow(window_);
    }
    void Paint(COLORREF colour)
    {
        HDC dc = GetDC(window_);
        RECT all;
        GetClientRect(window_, &all);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(window_, dc);
    }
    // Window pixel as 0x00RRGGBB.
    DWORD At(int x, int y)
    {
        HDC dc = GetDC(window_);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window_, dc);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // A 640 by 480 stage, black but for a red source rectangle.
    void OpenStage(CDIB& dib, const TRect32& red)
    {
        dib.SetStageFormat(640, 480, 32);
        ASSERT_EQ(dib.OpenStage(0), 0);
        CDIBSurface* stage = dib.GetSurface(CDIB::kStageIndex);
        ASSERT_NE(stage, nullptr);
        stage->Fill(0, 0, 640, 480, 0);
        stage->Fill(red.x, red.y, red.width, red.height, kRed);
    }

    HWND window_ = nullptr;
};

}  // namespace

TEST(DisplayContext, SlotTableBoundsAndReplacement)
{
    CDIB dib(nullptr);
    EXPECT_EQ(dib.GetSurface(0), nullptr);
    EXPECT_EQ(dib.CreateSlot(0), -1);  // no table yet
    ASSERT_EQ(dib.SetSlotCount(4), 0);
    EXPECT_EQ(dib.CreateSlot(3), 0);
    CDIBSurface* kept = dib.GetSurface(3);
    EXPECT_NE(kept, nullptr);

    EXPECT_EQ(dib.SetSlotCount(129), -1);
    EXPECT_EQ(dib.SetSlotCount(-1), -1);
    EXPECT_EQ(dib.slotCount, 4);
    EXPECT_EQ(dib.GetSurface(3), kept);  // untouched by the refused counts

    EXPECT_EQ(dib.GetSurface(-3), nullptr);
    EXPECT_EQ(dib.GetSurface(4), nullptr);
    EXPECT_EQ(dib.GetSurface(CDIB::kSpareIndex), nullptr);
    EXPECT_EQ(dib.GetSurface(CDIB::kStageIndex), nullptr);
    EXPECT_EQ(dib.CreateSlot(4), -1);
    EXPECT_EQ(dib.CreateSlot(-1), -1);

    ASSERT_EQ(dib.SetSlotCount(128), 0);
    EXPECT_EQ(dib.GetSurface(3), nullptr);  // a new table starts empty
    EXPECT_EQ(dib.CreateSlot(127), 0);
    ASSERT_EQ(dib.SetSlotCount(0), 0);
    EXPECT_EQ(dib.GetSurface(0), nullptr);
    dib.FreeSlots();
    EXPECT_EQ(dib.slots, nullptr);
}

TEST(DisplayContext, LoadFileChecksTheIndexAndKeepsTheSlotsSurface)
{
    e2e::TempFolder folder;
    std::string missing = folder.File("slide_01.qjx");
    CDIB dib(nullptr);
    ASSERT_EQ(dib.SetSlotCount(4), 0);
    EXPECT_EQ(dib.LoadFile(4, missing.c_str(), nullptr), -1);
    EXPECT_EQ(dib.LoadFile(-1, missing.c_str(), nullptr), -1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dib.GetSurface(i), nullptr);

    EXPECT_EQ(dib.LoadFile(0, missing.c_str(), nullptr), -1);
    CDIBSurface* surface = dib.GetSurface(0);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(dib.LoadFile(0, missing.c_str(), nullptr), -1);
    EXPECT_EQ(dib.GetSurface(0), surface);
}

TEST(DisplayContext, StageLifecycle)
{
    HWND hidden = CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CDIB dib(hidden);
    dib.SetSlotCount(4);
    dib.SetStageFormat(640, 480, 32);
    dib.SetViewSize(640, 480);
    ASSERT_EQ(dib.OpenStage(0), 0);
    EXPECT_EQ(dib.fullScreen, 0);
    CDIBSurface* stage = dib.GetSurface(CDIB::kStageIndex);
    ASSERT_NE(stage, nullptr);
    EXPECT_EQ(stage->GetWidth(), 640);
    EXPECT_EQ(stage->GetHeight(), 480);
    EXPECT_EQ(stage->GetBitCount(), 32);

    // A stage that cannot be made leaves none behind.
    EXPECT_EQ(dib.CreateStage(0, 480), -1);
    EXPECT_EQ(dib.GetSurface(CDIB::kStageIndex), nullptr);

    EXPECT_EQ(dib.CreateStage(320, 240), 0);
    dib.CreateSlot(1);
    dib.CloseAll();
    EXPECT_EQ(dib.GetSurface(CDIB::kStageIndex), nullptr);
    EXPECT_EQ(dib.slotCount, 0);
    DestroyWindow(hidden);
}

TEST_F(WindowTest, PresentBeforeTheStageExistsDrawsNothing)
{
    Open(200, 100);
    CDIB dib(window_);
    TRect32 all = {0, 0, 200, 100};
    dib.Present(&all, nullptr);
    dib.PresentScaled(&all, &all);
    dib.SetStageFormat(640, 480, 32);
    dib.Present(nullptr, nullptr);
    EXPECT_EQ(At(10, 10), 0x00FFFFFFu);
    EXPECT_EQ(At(199, 99), 0x00FFFFFFu);
}

TEST_F(WindowTest, PresentCopiesOneToOne)
{
    Open(700, 500);
    CDIB dib(window_);
    OpenStage(dib, TRect32{100, 50, 10, 20});
    TRect32 destination = {30, 20, 640, 480};
    dib.Present(&destination, nullptr);
    EXPECT_EQ(At(30 + 100, 20 + 50), kRed);
    EXPECT_EQ(At(30 + 109, 20 + 69), kRed);
    EXPECT_EQ(At(30 + 110, 20 + 69), 0u);
    EXPECT_EQ(At(30 + 99, 20 + 50), 0u);
    EXPECT_EQ(At(29, 20), 0x00FFFFFFu);  // outside the destination

    // Only a stage rectangle: the rest of the window stays.
    Paint(0x00FFFFFF);
    TRect32 part = {100, 50, 10, 20};
    TRect32 at = {130, 70, 10, 20};
    dib.Present(&at, &part);
    EXPECT_EQ(At(130, 70), kRed);
    EXPECT_EQ(At(139, 89), kRed);
    EXPECT_EQ(At(140, 70), 0x00FFFFFFu);
}

TEST(DisplayContext, ScaledTargetTruncatesEachProduct)
{
    TRect32 t = ScaledTarget(TRect32{0, 0, 1280, 960}, TRect32{20, 0, 20, 480}, 640, 480);
    EXPECT_EQ(t.x, 40);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.width, 40);
    EXPECT_EQ(t.height, 960);
    t = ScaledTarget(TRect32{0, 0, 800, 600}, TRect32{20, 0, 3, 480}, 640, 480);
    EXPECT_EQ(t.x, 25);
    EXPECT_EQ(t.width, 3);  // 3.75 truncated
    EXPECT_EQ(t.height, 600);
    t = ScaledTarget(TRect32{10, 5, 800, 600}, TRect32{3, 3, 1, 1}, 640, 480);
    EXPECT_EQ(t.x, 10 + 3);  // 3.75 to 5: both edges truncated
    EXPECT_EQ(t.y, 5 + 3);
    EXPECT_EQ(t.width, 2);
    EXPECT_EQ(t.height, 2);
    t = ScaledTarget(TRect32{0, 0, 800, 600}, TRect32{0, 0, 640, 480}, 0, 0);
    EXPECT_EQ(t.width, 0);
}

TEST_F(WindowTest, PresentScaledPutsTheSourceAtItsScaledPlace)
{
    Open(800, 600);
    CDIB dib(window_);
    OpenStage(dib, TRect32{20, 0, 3, 480});
    TRect32 whole = {0, 0, 800, 600};
    dib.PresentScaled(&whole, nullptr);  // whole stage: black with a red strip
    Paint(0x00FFFFFF);
    TRect32 strip = {20, 0, 3, 480};
    dib.PresentScaled(&whole, &strip);  // lands at (25, 0, 3, 600)
    EXPECT_EQ(At(24, 300), 0x00FFFFFFu);
    EXPECT_EQ(At(25, 0), kRed);
    EXPECT_EQ(At(27, 599), kRed);
    EXPECT_EQ(At(28, 300), 0x00FFFFFFu);
}

TEST_F(WindowTest, PresentScaledDoublesOnALargeDestination)
{
    Open(1024, 768);
    CDIB dib(window_);
    OpenStage(dib, TRect32{20, 0, 20, 480});
    TRect32 destination = {0, 0, 1280, 960};
    TRect32 strip = {20, 0, 20, 480};
    dib.PresentScaled(&destination, &strip);  // lands at (40, 0, 40, 960)
    EXPECT_EQ(At(39, 100), 0x00FFFFFFu);
    EXPECT_EQ(At(40, 100), kRed);
    EXPECT_EQ(At(79, 767), kRed);
    EXPECT_EQ(At(80, 100), 0x00FFFFFFu);
}
