// The director, the transitions and where the stage is shown, on a real display context and window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "saver/director.h"
#include "saver/saver_entry.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"
#include "saver_test_support.h"

using namespace saver_test;

namespace {

// The picture in slot 0: constant over blocks of 20 by 16 pixels, different in each.
uint32_t Blocks(int x, int y) { return static_cast<uint32_t>((x / 20 * 8) << 16 | (y / 16 * 8) << 8 | 0x80); }
COLORREF BlocksOnScreen(int x, int y) { return RGB(x / 20 * 8, y / 16 * 8, 0x80); }
const DWORD kOld = 0x00ABCDEF;  // what the stage held before

class Slideshow : public ::testing::Test {
protected:
    Slideshow()
    {
        displayContext = new CDIB(window_);
        SetupStage();
        stage_ = displayContext->GetSurface(CDIB::kStageIndex);
        stage_->Fill(0, 0, 640, 480, kOld);
        settings_.SetViewRect(0, 0, 640, 480);
        saverSettings = &settings_, transitionState = TransitionState{};
        strcpy(slideFolder, folder_.Path().c_str());
        WriteShow(folder_);
        WriteBmp(folder_.File("blocks.bmp"), 640, 480, Blocks);
        displayContext->LoadFile(0, folder_.File("blocks.bmp").c_str(), nullptr);
        displayContext->LoadFile(2, folder_.File("tile.bmp").c_str(), nullptr);
    }
    ~Slideshow() override
    {
        delete displayContext;
        displayContext = nullptr, saverSettings = nullptr, slideFolder[0] = '\0';
        DestroyWindow(window_);
    }
    DWORD At(int x, int y) { return *stage_->PixelPtr(x, y); }
    bool ShowsBlocks(int x, int y) { return At(x, y) == Blocks(x, y); }
    int Calls(TransitionStepProc step)  // calls until the step ends, at most 1000
    {
        for (int calls = 1;; ++calls) if (calls == 1000 || step(&transitionState) == -1) return calls;
    }
    int Used() { return static_cast<int>(std::count(usedSlides, usedSlides + kSlideCount, 1)); }
    template <typename Check> int TicksUntil(Check check)  // at most 1000
    {
        for (int ticks = 0;; ++ticks, DirectorTick(&settings_)) if (check() || ticks == 1000) return ticks;
    }

    HWND window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    TSaverSettings settings_;
    e2e::TempFolder folder_;
    CDIBSurface* stage_ = nullptr;
};

TEST_F(Slideshow, TransitionsDrawTheirFirstStepAtOnceAndEndAfterTheirLast)
{
    ASSERT_EQ(StripWipe(&transitionState), 0);  // from slot 0; the rightmost strip opens on the second call
    EXPECT_EQ(At(639, 0), kOld);
    for (int call = 2; call <= 52; ++call) ASSERT_EQ(StripWipe(&transitionState), 0) << call;
    EXPECT_TRUE(ShowsBlocks(18, 479) && At(19, 479) == kOld);  // the leftmost strip 19 of 20 open
    EXPECT_EQ(Calls(StripWipe), 9);  // 53 opens it whole, 54 to 60 go on, 61 ends
    EXPECT_TRUE(ShowsBlocks(0, 0) && ShowsBlocks(19, 479) && ShowsBlocks(639, 479));

    transitionState.phase = 0;
    ASSERT_EQ(SmearDown(&transitionState), 0);
    EXPECT_TRUE(At(0, 0) == Blocks(0, 2) && ShowsBlocks(0, 3));
    EXPECT_EQ(Calls(SmearDown), 239);
    for (int y = 0; y <= 478; ++y) ASSERT_EQ(At(630, y), Blocks(630, 478)) << y;
    EXPECT_TRUE(ShowsBlocks(630, 479));

    stage_->Fill(0, 0, 640, 480, kOld);
    transitionState = TransitionState{0, {{2, 0, 0}}};  // mask slot 2 at (0, 0); source slot 0
    ASSERT_EQ(MaskDissolve(&transitionState), 0);  // frame 0: the first row of every block
    EXPECT_TRUE(ShowsBlocks(16 * 39 + 15, 16 * 29) && At(16 * 39, 16 * 29 + 1) == kOld);
    ASSERT_EQ(MaskDissolve(&transitionState), 0);  // frame 1: the second row
    EXPECT_TRUE(ShowsBlocks(5, 1) && At(5, 2) == kOld);
    EXPECT_EQ(Calls(MaskDissolve), 15);
    EXPECT_TRUE(ShowsBlocks(0, 15) && ShowsBlocks(639, 479));

    // A mask too small for its blocks: what lies outside it is left alone, nothing is read past it.
    WriteBmp(folder_.File("small.bmp"), 20, 10, [](int, int) { return 0u; });
    ASSERT_EQ(displayContext->LoadFile(2, folder_.File("small.bmp").c_str(), nullptr), 0);
    stage_->Fill(0, 0, 640, 480, kOld);
    transitionState.phase = 0;
    EXPECT_EQ(Calls(MaskDissolve), 17);
    EXPECT_TRUE(ShowsBlocks(629, 9) && At(629, 10) == kOld);
    MaskedBlockCopy(CDIB::kStageIndex, 630, 470, 2, 0, 0, 0);  // a block that sticks out of the stage
    MaskedBlockCopy(CDIB::kStageIndex, 0, 0, 3, 0, 0, 0);      // an empty slot as the mask
    EXPECT_TRUE(At(635, 475) == kOld && At(0, 10) == kOld);
}

// Where the stage is shown on windows of each size, and wipe and smear strips landing there: centred
// one to one, stretched over a view of any other size (a low one too), or the whole stage at once into a narrower view.
TEST_F(Slideshow, StripsArePresentedWhereTheStageIsShown)
{
    struct Case { int width, height; unsigned fit; TRect32 view; } cases[] = {
        {1024, 768, 0, {192, 144, 640, 480}}, {1024, 768, 1, {0, 0, 1024, 768}}, {800, 600, 7, {0, 0, 800, 600}},
        {640, 400, 0, {0, 0, 640, 400}}, {641, 481, 0, {0, 0, 640, 480}}, {640, 480, 0, {0, 0, 640, 480}},
        {639, 480, 0, {0, 0, 639, 480}}, {640, 479, 0, {0, 0, 640, 479}}, {152, 112, 0, {0, 0, 152, 112}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " fit " + std::to_string(c.fit));
        TRect32 view = ComputeViewRect(c.width, c.height, c.fit);
        ASSERT_TRUE(view.x == c.view.x && view.y == c.view.y && view.width == c.view.width && view.height == c.view.height);
        SetWindowPos(window_, nullptr, 0, 0, c.width, c.height, SWP_NOZORDER);
        HDC dc = GetDC(window_);
        PatBlt(dc, 0, 0, c.width, c.height, BLACKNESS);
        settings_.SetViewRect(view.x, view.y, view.width, view.height);
        settings_.fitScreen = c.fit, transitionState.phase = 0;
        Calls(StripWipe);
        for (POINT p : {POINT{10, 8}, {310, 232}, {630, 472}, {10, 472}, {630, 8}})  // block centres: no doubt after a stretch
            EXPECT_EQ(GetPixel(dc, view.x + p.x * view.width / 640, view.y + p.y * view.height / 480), BlocksOnScreen(p.x, p.y));
        EXPECT_TRUE(view.x == 0 || GetPixel(dc, view.x - 1, view.y) == RGB(0, 0, 0));
        transitionState.phase = 0;
        Calls(SmearDown);  // every row as the front's last
        EXPECT_EQ(GetPixel(dc, view.x + view.width - 5, view.y + 5), BlocksOnScreen(635, 478));
        ReleaseDC(window_, dc);
        stage_->Fill(0, 0, 640, 480, kOld);
    }
}

TEST_F(Slideshow, DirectorHoldsEachPictureBetweenChangesAndCyclesThroughFifteen)
{
    srand(7);
    DirectorTick(&settings_);  // the mask, then the first slide, whose change starts at once
    EXPECT_TRUE(settings_.showPhase == 1 && displayContext->GetSurface(2)->GetWidth() == 256);
    EXPECT_TRUE(Used() == 1 && settings_.holdTicks == 0);
    EXPECT_EQ(TicksUntil([&] { return Used() == 2; }), currentKind == TransitionKind::Wipe ? 61 : 17);
    previousKind = TransitionKind::Wipe;  // the next change's first step: the 150th tick after its load
    EXPECT_EQ(TicksUntil([&] { return transitionState.phase != 0; }), 150);

    settings_.transitionStep = nullptr, settings_.holdTicks = 0, previousKind = TransitionKind::DissolveAndSmear;  // dissolve done
    DirectorTick(&settings_);
    EXPECT_TRUE(settings_.transitionStep == SmearDown && currentKind == TransitionKind::Smear);
    EXPECT_EQ(TicksUntil([&] { return Used() == 3; }), 149 + 240);  // the rest of the hold, the smear
    EXPECT_TRUE(settings_.holdTicks == 0 && settings_.transitionStep != nullptr);  // next change: next tick

    for (unsigned seed = 1; seed <= 5; ++seed) {
        srand(seed), settings_.showPhase = 0;
        int shown = 0;
        for (int change = 1; change <= kSlideCount + 1; ++change) {
            shown = Used();
            settings_.transitionStep = nullptr, settings_.holdTicks = 0, previousKind = TransitionKind::Wipe;
            DirectorTick(&settings_);
        }
        EXPECT_GE(shown, 14) << seed;  // a repeat takes fifteen misses in a row
        EXPECT_EQ(Used(), shown == 15 ? 1 : 15) << seed;  // once all fifteen are shown, a new cycle
    }
}

TEST(PicturePath, SeparatorOnlyWhereNeeded)
{
    char path[MAX_PATH];  // 表 ends in byte 0x5C but is no separator
    for (auto c : {std::make_pair("", "a.bmp"), {"C:\\P", "C:\\P\\a.bmp"}, {"C:\\P\\", "C:\\P\\a.bmp"}, {"C:\\表", "C:\\表\\a.bmp"}})
        EXPECT_TRUE(BuildPicturePath(c.first, "a.bmp", path, MAX_PATH) == static_cast<int>(strlen(c.second)) && !strcmp(path, c.second)) << c.first;
}

}  // namespace
