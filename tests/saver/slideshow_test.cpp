// The transitions and the director on a real display context and window: what each step draws, where
// it is shown, how the director holds and draws the pictures, and the frame thread's ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "render/display_context.h"
#include "saver/director.h"
#include "saver/frame_thread.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"
#include "saver_test_support.h"

using namespace saver_test;

namespace {

// The picture in slot 0: constant over blocks of 20 by 16 pixels, different in each.
uint32_t Blocks(int x, int y) { return static_cast<uint32_t>((x / 20 * 8) << 16 | (y / 16 * 8) << 8 | 0x80); }
const DWORD kOld = 0x00ABCDEF;  // what the stage held before

// A 640 by 480 window showing the stage 1:1; slot 0 holds Blocks, slot 2 the test show's mask, whose
// frame f switches row f of every block.
class Slideshow : public ::testing::Test {
protected:
    Slideshow()
    {
        SetupStage(display_);
        stage_ = display_.GetSurface(CDIB::kStageIndex);
        stage_->Fill(0, 0, kStageWidth, kStageHeight, kOld);
        WriteShow(folder_);
        WriteBmp(folder_.File("blocks.bmp"), kStageWidth, kStageHeight, Blocks);
        display_.LoadFile(kSlideSlot, folder_.File("blocks.bmp").c_str(), nullptr);
        display_.LoadFile(kMaskSlot, folder_.File("tile.bmp").c_str(), nullptr);
        state_.wipe.sourceSlot = kSlideSlot;
    }
    ~Slideshow() override { DestroyWindow(window_); }

    DWORD At(int x, int y) { return *stage_->PixelPtr(x, y); }
    int Step(TransitionStepProc step) { return step(&state_, display_, view_); }
    int CallsToEnd(TransitionStepProc step)  // at most 1000
    {
        int calls = 1;
        while (calls < 1000 && Step(step) != -1) ++calls;
        return calls;
    }
    void StartDissolve()
    {
        state_ = TransitionState{};
        state_.dissolve.maskSlot = kMaskSlot;
        state_.dissolve.sourceSlot = kSlideSlot;
    }
    void BlocksOnStage() { stage_->CopyFrom(0, 0, display_.GetSurface(kSlideSlot), 0, 0, kStageWidth, kStageHeight); }

    HWND window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kStageWidth,
                                   kStageHeight, nullptr, nullptr, nullptr, nullptr);
    CDIB display_{window_};
    CDIBSurface* stage_ = nullptr;
    TRect32 view_ = {0, 0, kStageWidth, kStageHeight};
    TransitionState state_ = {};
    e2e::TempFolder folder_;
};

TEST_F(Slideshow, EachChangeEndsOnItsLastCall)
{
    EXPECT_EQ(CallsToEnd(StripWipe), 61);
    state_ = TransitionState{};
    EXPECT_EQ(CallsToEnd(SmearDown), 240);
    StartDissolve();
    EXPECT_EQ(CallsToEnd(MaskDissolve), 17);
}

TEST_F(Slideshow, WipeThirdCallOpensTheRightmostStripOneColumn)
{
    for (int i = 0; i < 3; ++i) Step(StripWipe);
    EXPECT_EQ(At(620, 0), Blocks(620, 0));
    EXPECT_EQ(At(621, 0), kOld);
}

TEST_F(Slideshow, SmearFirstCallCopiesRowTwoOverTheRowsAbove)
{
    BlocksOnStage();
    stage_->Fill(0, 0, kStageWidth, 2, kOld);
    Step(SmearDown);
    EXPECT_EQ(At(0, 0), Blocks(0, 2));
}

TEST_F(Slideshow, SmearLeavesRowsUpTo478InTheColoursOfRow478)
{
    BlocksOnStage();
    CallsToEnd(SmearDown);
    for (int y = 0; y <= 478; ++y) ASSERT_EQ(At(630, y), Blocks(630, 478)) << "row " << y;
    EXPECT_EQ(At(630, 479), Blocks(630, 479));
}

TEST_F(Slideshow, DissolveFirstFrameSwitchesTheFirstRowOfEveryBlock)
{
    StartDissolve();
    EXPECT_EQ(Step(MaskDissolve), 0);
    EXPECT_EQ(At(16 * 39 + 15, 16 * 29), Blocks(16 * 39 + 15, 16 * 29));
    EXPECT_EQ(At(16 * 39, 16 * 29 + 1), kOld);
}

TEST_F(Slideshow, DissolveEndsWithTheWholeSlide)
{
    StartDissolve();
    CallsToEnd(MaskDissolve);
    EXPECT_EQ(At(0, 15), Blocks(0, 15));
    EXPECT_EQ(At(639, 479), Blocks(639, 479));
}

// Every pixel of a mask of 20 by 10 is black: the blocks' rows that lie in it switch, the others stay.
TEST_F(Slideshow, DissolveWithASmallMaskLeavesWhatLiesOutsideIt)
{
    WriteBmp(folder_.File("small.bmp"), 20, 10, [](int, int) { return 0u; });
    ASSERT_EQ(display_.LoadFile(kMaskSlot, folder_.File("small.bmp").c_str(), nullptr), 0);
    StartDissolve();
    CallsToEnd(MaskDissolve);
    EXPECT_EQ(At(629, 9), Blocks(629, 9));
    EXPECT_EQ(At(629, 10), kOld);
}

// A wipe and a smear presented on windows of each size (width, height, "Fit Screen"): centred 1:1 with
// black around, or stretched over a view of any other size, narrower than the stage too.
class Presenting : public Slideshow, public ::testing::WithParamInterface<std::tuple<int, int, unsigned>> {
protected:
    Presenting()
    {
        SetWindowPos(window_, nullptr, 0, 0, std::get<0>(GetParam()), std::get<1>(GetParam()), SWP_NOZORDER);
        view_ = ComputeViewRect(std::get<0>(GetParam()), std::get<1>(GetParam()), std::get<2>(GetParam()));
        PatBlt(dc_, 0, 0, std::get<0>(GetParam()), std::get<1>(GetParam()), BLACKNESS);
    }
    ~Presenting() override { ReleaseDC(window_, dc_); }
    COLORREF Shown(int x, int y)  // stage pixel (x, y) where the view shows it
    {
        return GetPixel(dc_, view_.x + x * view_.width / kStageWidth, view_.y + y * view_.height / kStageHeight);
    }
    COLORREF Slide(int x, int y) { return RGB(x / 20 * 8, y / 16 * 8, 0x80); }

    HDC dc_ = GetDC(window_);
};

TEST_P(Presenting, WipeShowsTheSlideWhereTheStageIs)
{
    CallsToEnd(StripWipe);
    for (POINT p : {POINT{0, 0}, {310, 232}, {639, 479}, {0, 479}, {639, 0}})
        EXPECT_EQ(Shown(p.x, p.y), Slide(p.x, p.y)) << p.x << "," << p.y;
    if (view_.x > 0) {
        EXPECT_EQ(GetPixel(dc_, view_.x - 1, view_.y), RGB(0, 0, 0));  // black left of a centred view
    }
}

TEST_P(Presenting, SmearShowsItsLastFrontRow)
{
    CallsToEnd(StripWipe);
    CallsToEnd(SmearDown);
    EXPECT_EQ(Shown(635, 5), Slide(635, 478));
}

INSTANTIATE_TEST_SUITE_P(Views, Presenting, ::testing::Values(std::make_tuple(1024, 768, 0u),
    std::make_tuple(1024, 768, 1u), std::make_tuple(639, 480, 0u), std::make_tuple(152, 112, 0u)));

// The director on the test show in its own folder, with the 640 by 480 view.
class Director : public Slideshow {
protected:
    Director() { srand(7); }
    int Tick() { return DirectorTick(&settings_, director_, ShowTarget{display_, view_, folder_.Path().c_str()}); }
    int Used() { return static_cast<int>(std::count(director_.usedSlides, director_.usedSlides + kSlideCount, 1)); }
    template <typename Check> int TicksUntil(Check check)  // at most 1000
    {
        int ticks = 0;
        for (; !check() && ticks < 1000; ++ticks) Tick();
        return ticks;
    }
    void ChangeDone(TransitionKind previous)
    {
        settings_.transitionStep = nullptr;
        settings_.holdTicks = 0;
        director_.previousKind = previous;
    }

    TSaverSettings settings_;
    ShowDirector director_;
};

TEST_F(Director, FirstTickLoadsTheMaskAndASlideToComeInAtOnce)
{
    display_.SetSlotCount(4);  // the mask's slot empty again
    Tick();
    EXPECT_EQ(display_.GetSurface(kMaskSlot)->GetWidth(), 256);
    EXPECT_EQ(Used(), 1);
    EXPECT_EQ(settings_.holdTicks, 0);
}

TEST_F(Director, FirstChangeRunsToItsEndBeforeTheNextSlideIsLoaded)
{
    Tick();
    ASSERT_NE(director_.currentKind, TransitionKind::DissolveAndSmear) << "a seed whose first change has no smear";
    const int calls = director_.currentKind == TransitionKind::Wipe ? 61 : 17;
    EXPECT_EQ(TicksUntil([&] { return Used() == 2; }), calls);
}

// After a wipe the next change takes its first step 150 ticks after the load; after a smear at once; a
// smear runs after the hold, and the next slide comes after it.
TEST_F(Director, HoldsEachSlideAsTheChangeBeforeAsks)
{
    Tick();
    ChangeDone(TransitionKind::Wipe);
    Tick();
    EXPECT_EQ(TicksUntil([&] { return director_.transition.phase != 0; }), 150);
    ChangeDone(TransitionKind::Smear);
    Tick();
    EXPECT_EQ(settings_.holdTicks, 0);
    ChangeDone(TransitionKind::DissolveAndSmear);
    Tick();
    const int used = Used();
    EXPECT_EQ(TicksUntil([&] { return Used() == used + 1; }), 149 + 240);
}

// A repeat within a cycle takes fifteen misses in a row; once all fifteen are shown, a new cycle starts.
TEST_F(Director, FifteenChangesShowFifteenSlidesThenANewCycleStarts)
{
    for (unsigned seed = 1; seed <= 5; ++seed) {
        srand(seed);
        settings_.showPhase = 0;
        int shown = 0;
        for (int change = 1; change <= kSlideCount + 1; ++change) {
            shown = Used();
            ChangeDone(TransitionKind::Wipe);
            Tick();
        }
        EXPECT_GE(shown, 14) << "seed " << seed;
        EXPECT_EQ(Used(), shown == kSlideCount ? 1 : kSlideCount) << "seed " << seed;
    }
}

// The frame thread on the test show: it waits for the first change's first step (the tick before loaded
// the show, which takes long on a slow machine), then counts the next second's.
TEST_F(Director, FrameThreadTicksTenTimesASecondUntilStopped)
{
    strcpy(slideFolder, folder_.Path().c_str());
    settings_.SetViewRect(0, 0, kStageWidth, kStageHeight);
    FrameThreadShow show = {&settings_, &display_, {}};
    auto changeStep = [&] {
        const TransitionState& state = show.director.transition;
        return settings_.transitionStep == StripWipe ? state.wipe.step : state.dissolve.frame;
    };
    ASSERT_TRUE(StartFrameThread(&show));
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), frameThread, GetCurrentProcess(), &thread, 0, FALSE, DUPLICATE_SAME_ACCESS);
    for (int i = 0; i < 200 && changeStep() < 1; ++i) Sleep(50);
    const int first = changeStep();
    Sleep(1000);
    const int steps = changeStep() - first;
    StopFrameThread();
    EXPECT_GE(steps, 6);
    EXPECT_LE(steps, 11);
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    slideFolder[0] = '\0';
}

std::string Joined(const char* folder)
{
    char path[MAX_PATH];
    int length = BuildPicturePath(folder, "a.bmp", path, MAX_PATH);
    return length == static_cast<int>(strlen(path)) ? path : "(length " + std::to_string(length) + ")";
}

TEST(PicturePath, JoinsFolderAndNameWithOneBackslash)
{
    EXPECT_EQ(Joined(""), "a.bmp");
    EXPECT_EQ(Joined("C:\\P"), "C:\\P\\a.bmp");
    EXPECT_EQ(Joined("C:\\P\\"), "C:\\P\\a.bmp");
    EXPECT_EQ(Joined("C:\\表"), "C:\\表\\a.bmp");  // 表: 0x95 0x5C, a trail byte 0x5C is no separator
}

}  // namespace
