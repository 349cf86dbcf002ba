// The director, the frame thread and the transition effects on a real display context, presenting
// into a window at the top-left of the screen whose pixels are read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "saver/director.h"
#include "saver/frame_thread.h"
#include "saver/saver_entry.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"
#include "saver_test_support.h"

using namespace saver_test;

namespace {

// A test picture, constant over blocks of 20 by 16 pixels and different in each.
uint32_t Blocks(int x, int y) { return static_cast<uint32_t>((x / 20 * 8) << 16 | (y / 16 * 8) << 8 | 0x80); }

class Slideshow : public ::testing::Test {
protected:
    Slideshow()
    {
        displayContext = new CDIB(window_);
        displayContext->SetSlotCount(4);
        displayContext->SetStageFormat(kStageWidth, kStageHeight, 32);
        displayContext->OpenStage(0);
        stage_ = displayContext->GetSurface(CDIB::kStageIndex);
        stage_->Fill(0, 0, 640, 480, 0);
        settings_.SetViewRect(0, 0, 640, 480);
        saverSettings = &settings_;
        strcpy(slideFolder, folder_.Path().c_str());
        transitionState = TransitionState{};
        WriteShow(folder_);
        WriteBmp(folder_.File("blocks.bmp"), 640, 480, Blocks);
        displayContext->LoadFile(0, folder_.File("blocks.bmp").c_str(), nullptr);
        displayContext->LoadFile(2, folder_.File("tile.bmp").c_str(), nullptr);
    }
    ~Slideshow() override
    {
        delete displayContext;
        displayContext = nullptr;
        saverSettings = nullptr;
        memset(slideFolder, 0, sizeof slideFolder);
        DestroyWindow(window_);
    }

    DWORD At(int x, int y) { return *stage_->PixelPtr(x, y); }
    bool StageShowsBlocks()
    {
        for (int y = 0; y < 480; ++y)
            if (memcmp(stage_->PixelPtr(0, y), displayContext->GetSurface(0)->PixelPtr(0, y), 640 * 4) != 0) return false;
        return true;
    }
    int Calls(TransitionStepProc step)  // calls until the step ends, at most 1000
    {
        int calls = 1;
        while (calls < 1000 && step(&transitionState) != -1) ++calls;
        return calls;
    }
    int Used() { return static_cast<int>(std::count(usedSlides, usedSlides + kSlideCount, 1)); }
    template <typename Check> int TicksUntil(Check check)
    {
        int ticks = 0;
        for (; !check() && ticks < 1000; ++ticks) DirectorTick(&settings_);
        return ticks;
    }
    void NextChangeNow()
    {
        settings_.transitionStep = nullptr;
        settings_.holdTicks = 0;
        previousKind = TransitionKind::Wipe;
    }

    HWND window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    TSaverSettings settings_;
    e2e::TempFolder folder_;
    CDIBSurface* stage_ = nullptr;
};

TEST_F(Slideshow, TransitionsDrawTheirFirstStepAtOnceAndEndAfterTheirLastStep)
{
    ASSERT_EQ(StripWipe(&transitionState), 0);  // source slot 0; the rightmost strip opens on the second call
    EXPECT_EQ(At(639, 0), 0u);
    for (int call = 2; call <= 52; ++call) ASSERT_EQ(StripWipe(&transitionState), 0) << call;
    EXPECT_TRUE(At(18, 479) == Blocks(18, 479) && At(19, 479) == 0);  // the leftmost strip 19 of 20 open
    EXPECT_EQ(StripWipe(&transitionState), 0);
    EXPECT_TRUE(StageShowsBlocks());
    EXPECT_EQ(Calls(StripWipe), 8);  // calls 54 to 60 go on, 61 ends

    transitionState.phase = 0;
    ASSERT_EQ(SmearDown(&transitionState), 0);
    EXPECT_TRUE(At(0, 0) == Blocks(0, 2) && At(0, 3) == Blocks(0, 3));
    EXPECT_EQ(Calls(SmearDown), 239);
    for (int y = 0; y <= 478; ++y) ASSERT_EQ(At(630, y), Blocks(630, 478)) << y;
    EXPECT_EQ(At(630, 479), Blocks(630, 479));

    stage_->Fill(0, 0, 640, 480, 0x00ABCDEF);
    transitionState = TransitionState{0, {{2, 0, 0}}};  // mask slot 2 at (0, 0), source slot 0
    ASSERT_EQ(MaskDissolve(&transitionState), 0);  // frame 0: the first row of every block
    EXPECT_TRUE(At(16 * 39 + 15, 16 * 29) == Blocks(16 * 39 + 15, 16 * 29) && At(16 * 39, 16 * 29 + 1) == 0x00ABCDEFu);
    ASSERT_EQ(MaskDissolve(&transitionState), 0);  // frame 1: the second row
    EXPECT_TRUE(At(5, 1) == Blocks(5, 1) && At(5, 2) == 0x00ABCDEFu);
    EXPECT_EQ(Calls(MaskDissolve), 15);
    EXPECT_TRUE(StageShowsBlocks());

    // A mask too small for its blocks: what lies outside it is left alone, nothing is read past it.
    ASSERT_TRUE(WriteBmp(folder_.File("small.bmp"), 20, 10, [](int, int) { return 0u; }));
    ASSERT_EQ(displayContext->LoadFile(2, folder_.File("small.bmp").c_str(), nullptr), 0);
    stage_->Fill(0, 0, 640, 480, 0x00ABCDEF);
    transitionState.phase = 0;
    EXPECT_EQ(Calls(MaskDissolve), 17);
    EXPECT_TRUE(At(0, 9) == Blocks(0, 9) && At(0, 10) == 0x00ABCDEFu);
    MaskedBlockCopy(CDIB::kStageIndex, 630, 470, 2, 0, 0, 0);
    MaskedBlockCopy(CDIB::kStageIndex, 0, 0, 3, 0, 0, 0);  // an empty slot
    EXPECT_EQ(At(635, 475), 0x00ABCDEFu);
}

// Wipe and smear strips land where the whole stage is shown: centred one to one, stretched over a
// view of any other size, or the whole stage at once into a view narrower than it.
TEST_F(Slideshow, StripsArePresentedWhereTheStageIsShown)
{
    struct Case { int width, height; unsigned fit; } cases[] = {
        {800, 600, 0}, {800, 600, 1}, {800, 400, 0}, {640, 480, 0}, {640, 479, 0}, {152, 112, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " fit " + std::to_string(c.fit));
        SetWindowPos(window_, nullptr, 0, 0, c.width, c.height, SWP_NOZORDER);
        HDC dc = GetDC(window_);
        RECT all = {0, 0, c.width, c.height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        TRect32 view = ComputeViewRect(c.width, c.height, c.fit);
        settings_.SetViewRect(view.x, view.y, view.width, view.height);
        settings_.fitScreen = c.fit;
        transitionState.phase = 0;
        EXPECT_EQ(Calls(StripWipe), 61);
        for (int y : {8, 232, 472}) {  // block centres, where the stretch leaves no doubt
            for (int x : {10, 310, 630}) {
                COLORREF seen = GetPixel(dc, view.x + x * view.width / 640, view.y + y * view.height / 480);
                EXPECT_EQ(seen, RGB(Blocks(x, y) >> 16, Blocks(x, y) >> 8 & 0xFF, 0x80)) << x << "," << y;
            }
        }
        EXPECT_TRUE(view.x == 0 || GetPixel(dc, view.x - 1, view.y) == RGB(0, 0, 0));
        transitionState.phase = 0;
        Calls(SmearDown);  // every row as the last row of the front
        EXPECT_EQ(GetPixel(dc, view.x + view.width - 5, view.y + 5), RGB(248, Blocks(0, 478) >> 8 & 0xFF, 0x80));
        ReleaseDC(window_, dc);
        stage_->Fill(0, 0, 640, 480, 0);
    }
}

TEST_F(Slideshow, DirectorHoldsEachPictureBetweenChangesAndCyclesThroughFifteen)
{
    srand(7);
    DirectorTick(&settings_);  // the mask, then the first slide, whose change starts at once
    EXPECT_TRUE(settings_.showPhase == 1 && displayContext->GetSurface(2)->GetWidth() == 256);
    EXPECT_TRUE(Used() == 1 && settings_.holdTicks == 0);
    EXPECT_EQ(TicksUntil([&] { return Used() == 2; }), currentKind == TransitionKind::Wipe ? 61 : 17);
    // The next change takes its first step in the 150th tick after its slide was loaded.
    previousKind = TransitionKind::Wipe;
    EXPECT_EQ(TicksUntil([&] { return transitionState.phase != 0; }), 150);

    NextChangeNow();
    previousKind = TransitionKind::DissolveAndSmear;  // a dissolve that has just finished
    DirectorTick(&settings_);
    EXPECT_TRUE(settings_.transitionStep == SmearDown && currentKind == TransitionKind::Smear);
    EXPECT_EQ(TicksUntil([&] { return Used() == 3; }), 149 + 240);  // the rest of the hold, the smear
    EXPECT_TRUE(settings_.holdTicks == 0 && settings_.transitionStep != nullptr);  // next change: next tick

    for (unsigned seed = 1; seed <= 5; ++seed) {
        srand(seed);
        settings_.showPhase = 0;
        for (int change = 1; change <= kSlideCount; ++change, NextChangeNow()) DirectorTick(&settings_);
        EXPECT_GE(Used(), 14) << seed;  // a repeat needs fifteen draws in a row to hit shown slides
        DirectorTick(&settings_);
        EXPECT_TRUE(Used() == 15 || Used() == 1) << seed;  // the sixteenth starts a new cycle
    }
}

// Answers the message box the director shows on this thread.
DWORD WINAPI AnswerBox(LPVOID seen)
{
    e2e::MessageBoxSeen* box = static_cast<e2e::MessageBoxSeen*>(seen);
    *box = e2e::FindMessageBox(GetCurrentProcessId(), 2000);
    e2e::Answer(*box, IDOK);
    return 0;
}

std::wstring TickAnsweringBox(TSaverSettings* settings)
{
    e2e::MessageBoxSeen box;
    HANDLE answer = CreateThread(nullptr, 0, AnswerBox, &box, 0, nullptr);
    DirectorTick(settings);
    WaitForSingleObject(answer, INFINITE);
    CloseHandle(answer);
    return box.caption + L": " + box.text;
}

std::wstring Wide(const std::string& ansi)
{
    wchar_t text[1024];
    return std::wstring(text, MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, 1024) - 1);
}

TEST_F(Slideshow, MissingPicturesAreReportedWholeAndTriedAgain)
{
    DeleteFileA(folder_.File("tile.bmp").c_str());
    EXPECT_EQ(TickAnsweringBox(&settings_), L"Error: " + Wide(folder_.File("tile.bmp")) + L" のファイルが見つかりません.");
    EXPECT_EQ(settings_.showPhase, 0);

    WriteShow(folder_);  // only slide 7: every other one drawn is reported, the next tick draws again
    for (int n = 1; n <= 15; ++n) DeleteFileA(folder_.File(SlideName(n == 7 ? 99 : n).c_str()).c_str());
    int boxes = 0;
    for (std::wstring box = TickAnsweringBox(&settings_); box != L": " && boxes < 40; box = TickAnsweringBox(&settings_)) {
        EXPECT_EQ(box.substr(0, 14 + folder_.Path().size()), L"Error: " + Wide(folder_.Path()) + L"\\slide_") << ++boxes;
        EXPECT_EQ(settings_.transitionStep, nullptr);
    }
    EXPECT_TRUE(settings_.showPhase == 1 && usedSlides[6] == 1 && settings_.transitionStep != nullptr);

    std::string folder = "C:\\" + std::string(250, 'a');  // with "\tile.bmp", 262 bytes: too long to load
    strcpy(slideFolder, folder.c_str());
    settings_.showPhase = 0;
    EXPECT_EQ(TickAnsweringBox(&settings_), L"Error: " + Wide(folder) + L"\\tile.bmp のファイルが見つかりません.");
}

TEST(PicturePath, SeparatorOnlyWhereNeeded)
{
    const char* cases[][2] = {{"", "tile.bmp"}, {"C:\\Pics", "C:\\Pics\\tile.bmp"}, {"C:\\Pics\\", "C:\\Pics\\tile.bmp"},
                              {"C:\\表", "C:\\表\\tile.bmp"}};  // 表 ends in byte 0x5C but is no separator
    for (auto& c : cases) {
        char path[MAX_PATH];
        EXPECT_EQ(BuildPicturePath(c[0], "tile.bmp", path, sizeof path), static_cast<int>(strlen(c[1])));
        EXPECT_STREQ(path, c[1]);
    }
}

TEST_F(Slideshow, FrameThreadTicksTenTimesASecondAndStopsWithinATick)
{
    ASSERT_TRUE(StartFrameThread());
    Sleep(1000);
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), frameThread, GetCurrentProcess(), &thread, 0, FALSE, DUPLICATE_SAME_ACCESS);
    StopFrameThread();
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(frameThread, nullptr);
    // One tick loaded the show, each other took a step of the first change.
    int steps = settings_.transitionStep == StripWipe ? transitionState.wipe.step : transitionState.dissolve.frame;
    EXPECT_TRUE(steps >= 5 && steps <= 10) << steps;
}

}  // namespace
