// The transitions and the director on a real display context and window: what each step draws, where
// it is shown, how the director holds, draws and reports the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "render/display_context.h"
#include "saver/director.h"
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

HWND TestWindow(int width, int height)
{
    return CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           nullptr, nullptr);
}

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
    void Call(TransitionStepProc step, int times)
    {
        for (int i = 0; i < times; ++i) Step(step);
    }
    void StartDissolve()
    {
        state_ = TransitionState{};
        state_.dissolve.maskSlot = kMaskSlot;
        state_.dissolve.sourceSlot = kSlideSlot;
    }
    void BlocksOnStage() { stage_->CopyFrom(0, 0, display_.GetSurface(kSlideSlot), 0, 0, kStageWidth, kStageHeight); }

    HWND window_ = TestWindow(kStageWidth, kStageHeight);
    CDIB display_{window_};
    CDIBSurface* stage_ = nullptr;
    TRect32 view_ = {0, 0, kStageWidth, kStageHeight};
    TransitionState state_ = {};
    e2e::TempFolder folder_;
};

TEST_F(Slideshow, WipeThirdCallOpensTheRightmostStripOneColumn)
{
    Call(StripWipe, 3);
    EXPECT_EQ(At(620, 0), Blocks(620, 0));
    EXPECT_EQ(At(621, 0), kOld);
}

TEST_F(Slideshow, WipeEndsOnItsSixtyFirstCall) { EXPECT_EQ(CallsToEnd(StripWipe), 61); }

TEST_F(Slideshow, WipeLeavesTheWholeSlideOnTheStage)
{
    Call(StripWipe, 53);
    EXPECT_EQ(At(0, 0), Blocks(0, 0));
    EXPECT_EQ(At(19, 479), Blocks(19, 479));
    EXPECT_EQ(At(639, 479), Blocks(639, 479));
}

TEST_F(Slideshow, SmearFirstCallCopiesRowTwoOverTheRowsAbove)
{
    BlocksOnStage();
    stage_->Fill(0, 0, kStageWidth, 2, kOld);
    Step(SmearDown);
    EXPECT_EQ(At(0, 0), Blocks(0, 2));
}

TEST_F(Slideshow, SmearEndsOnIts240thCall) { EXPECT_EQ(CallsToEnd(SmearDown), 240); }

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

TEST_F(Slideshow, DissolveEndsOnIts17thCallWithTheWholeSlide)
{
    StartDissolve();
    EXPECT_EQ(CallsToEnd(MaskDissolve), 17);
    EXPECT_EQ(At(0, 15), Blocks(0, 15));
    EXPECT_EQ(At(639, 479), Blocks(639, 479));
}

TEST_F(Slideshow, DissolveUsesTheMaskAtItsOffset)
{
    StartDissolve();
    state_.dissolve.maskX = 16 * 15;  // frame 0 takes the last, all-black frame
    Step(MaskDissolve);
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

TEST_F(Slideshow, BlockCopySkipsRowsOutsideTheStage)
{
    MaskedBlockCopy(display_, CDIB::kStageIndex, 630, 470, kMaskSlot, 16 * 15, 0, kSlideSlot);
    EXPECT_EQ(At(635, 475), kOld);
}

TEST_F(Slideshow, BlockCopyWithAnEmptyMaskSlotChangesNothing)
{
    MaskedBlockCopy(display_, CDIB::kStageIndex, 0, 0, 3, 0, 0, kSlideSlot);
    EXPECT_EQ(At(0, 0), kOld);
}

TEST_F(Slideshow, BlockCopyTakesAllFourBytes)
{
    display_.GetSurface(kSlideSlot)->Fill(0, 0, 16, 16, 0xFF112233);
    MaskedBlockCopy(display_, CDIB::kStageIndex, 0, 0, kMaskSlot, 16 * 15, 0, kSlideSlot);
    EXPECT_EQ(At(0, 0), 0xFF112233u);
}

// A wipe and a smear presented on windows of each size: centred 1:1, stretched over a view of any other
// size, or the whole stage at once into a view narrower than the stage.
struct ShownCase {
    const char* name;
    int width, height;
    unsigned fit;
};

void PrintTo(const ShownCase& c, std::ostream* out) { *out << c.name; }

class Presenting : public Slideshow, public ::testing::WithParamInterface<ShownCase> {
protected:
    Presenting()
    {
        const ShownCase& c = GetParam();
        SetWindowPos(window_, nullptr, 0, 0, c.width, c.height, SWP_NOZORDER);
        view_ = ComputeViewRect(c.width, c.height, c.fit);
        dc_ = GetDC(window_);
        PatBlt(dc_, 0, 0, c.width, c.height, BLACKNESS);
    }
    ~Presenting() override { ReleaseDC(window_, dc_); }
    COLORREF Shown(int x, int y)  // stage pixel (x, y) where the view shows it
    {
        return GetPixel(dc_, view_.x + x * view_.width / kStageWidth, view_.y + y * view_.height / kStageHeight);
    }
    HDC dc_ = nullptr;
};

TEST_P(Presenting, WipeShowsTheSlideWhereTheStageIs)
{
    CallsToEnd(StripWipe);
    for (POINT p : {POINT{10, 8}, {310, 232}, {630, 472}, {10, 472}, {630, 8}})  // block centres
        EXPECT_EQ(Shown(p.x, p.y), BlocksOnScreen(p.x, p.y)) << p.x << "," << p.y;
}

TEST_P(Presenting, SmearShowsItsLastFrontRow)
{
    CallsToEnd(StripWipe);
    CallsToEnd(SmearDown);
    EXPECT_EQ(Shown(635, 5), BlocksOnScreen(635, 478));
}

INSTANTIATE_TEST_SUITE_P(Views, Presenting,
                         ::testing::Values(ShownCase{"Centred", 1024, 768, 0}, ShownCase{"FitScreen", 1024, 768, 1},
                                           ShownCase{"AnyFitValue", 800, 600, 7}, ShownCase{"Low", 640, 400, 0},
                                           ShownCase{"StageSize", 640, 480, 0}, ShownCase{"Narrow", 639, 480, 0},
                                           ShownCase{"Preview", 152, 112, 0}),
                         [](const ::testing::TestParamInfo<ShownCase>& info) { return info.param.name; });

using CentredPresenting = Presenting;

TEST_P(CentredPresenting, WipeLeavesTheWindowBlackLeftOfTheView)
{
    CallsToEnd(StripWipe);
    EXPECT_EQ(GetPixel(dc_, view_.x - 1, view_.y), RGB(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(View, CentredPresenting, ::testing::Values(ShownCase{"Centred", 1024, 768, 0}),
                         [](const ::testing::TestParamInfo<ShownCase>& info) { return info.param.name; });

// The director on the test show in its own folder, with the 640 by 480 view.
class Director : public Slideshow {
protected:
    Director() { srand(7); }
    int Tick() { return DirectorTick(&settings_, director_, ShowTarget{display_, view_, folder_.Path().c_str()}); }
    int Used() { return static_cast<int>(std::count(director_.usedSlides, director_.usedSlides + kSlideCount, 1)); }
    template <typename Check> int TicksUntil(Check check)  // at most 1000
    {
        int ticks = 0;
        while (!check() && ticks < 1000) {
            Tick();
            ++ticks;
        }
        return ticks;
    }
    void ChangeDone(TransitionKind previous)
    {
        settings_.transitionStep = nullptr;
        settings_.holdTicks = 0;
        director_.previousKind = previous;
    }
    std::string Path(const char* name) { return folder_.File(name); }

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

TEST_F(Director, LaterChangeTakesItsFirstStep150TicksAfterTheLoad)
{
    Tick();
    ChangeDone(TransitionKind::Wipe);
    Tick();
    EXPECT_EQ(TicksUntil([&] { return director_.transition.phase != 0; }), 150);
}

TEST_F(Director, SmearRunsAfterAHoldThenTheNextSlideComes)
{
    Tick();
    ChangeDone(TransitionKind::DissolveAndSmear);
    Tick();
    EXPECT_EQ(TicksUntil([&] { return Used() == 2; }), 149 + 240);
}

TEST_F(Director, ChangeAfterASmearStartsWithoutHold)
{
    Tick();
    ChangeDone(TransitionKind::Smear);
    Tick();
    EXPECT_EQ(settings_.holdTicks, 0);
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

TEST_F(Director, MissingMaskIsReportedWithItsPathOnEveryTick)
{
    DeleteFileA(Path("tile.bmp").c_str());
    Tick();
    EXPECT_EQ(Tick(), -1);
    EXPECT_EQ(director_.missingPicture, Path("tile.bmp"));
}

TEST_F(Director, MissingSlideIsReportedWithItsPathAndStaysMarked)
{
    for (int n = 1; n <= kSlideCount; ++n) DeleteFileA(Path(SlideName(n).c_str()).c_str());
    EXPECT_EQ(Tick(), -1);
    EXPECT_EQ(std::string(director_.missingPicture).substr(0, Path("slide_").size()), Path("slide_"));
    EXPECT_EQ(Used(), 1);
}

TEST_F(Director, PathTooLongForAPathBufferIsReportedWhole)
{
    std::string folder = "C:\\" + std::string(250, 'a');
    EXPECT_EQ(DirectorTick(&settings_, director_, ShowTarget{display_, view_, folder.c_str()}), -1);
    EXPECT_EQ(director_.missingPicture, folder + "\\tile.bmp");
}

std::string Joined(const char* folder)
{
    char path[MAX_PATH];
    int length = BuildPicturePath(folder, "a.bmp", path, MAX_PATH);
    return length == static_cast<int>(strlen(path)) ? path : "(length " + std::to_string(length) + ")";
}

TEST(PicturePath, EmptyFolderGivesTheBareName) { EXPECT_EQ(Joined(""), "a.bmp"); }
TEST(PicturePath, FolderGetsABackslash) { EXPECT_EQ(Joined("C:\\P"), "C:\\P\\a.bmp"); }
TEST(PicturePath, FolderEndingInABackslashGetsNoSecond) { EXPECT_EQ(Joined("C:\\P\\"), "C:\\P\\a.bmp"); }
TEST(PicturePath, TrailByte5CIsNoSeparator) { EXPECT_EQ(Joined("C:\\表"), "C:\\表\\a.bmp"); }  // 表: 0x95 0x5C

}  // namespace
