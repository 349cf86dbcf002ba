// The director and the transition effects on a real display context with a hidden window and a
// temporary slide folder of test pictures.
#include <gtest/gtest.h>

#include <cstring>

#include "render/display_context.h"
#include "saver/director.h"
#include "saver/frame_thread.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/saver_entry.h"
#include "saver/transitions.h"
#include "test_pictures.h"

namespace {

using test_pictures::SlideColour;

class Slideshow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExA(0, "STATIC", "show", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        displayContext = new CDIB(window_);
        displayContext->SetSlotCount(4);
        displayContext->SetStageFormat(640, 480, 32);
        ASSERT_EQ(displayContext->OpenStage(0), 0);
        settings_.SetViewRect(0, 0, 640, 480);
        saverSettings = &settings_;
        strcpy(slideFolder, folder_.Path().c_str());
        memset(&transitionState, 0, sizeof transitionState);
    }
    void TearDown() override
    {
        delete displayContext;
        displayContext = nullptr;
        saverSettings = nullptr;
        memset(slideFolder, 0, sizeof slideFolder);
        DestroyWindow(window_);
    }

    void WriteSlides()
    {
        for (int n = 1; n <= kSlideCount; ++n) WriteSlide(n);
        ASSERT_TRUE(test_pictures::WriteMask(folder_.File("tile.bmp")));
    }
    void WriteSlide(int n)
    {
        char name[32];
        snprintf(name, sizeof name, "slide_%02d.qjx", n);
        uint32_t colour = SlideColour(n);
        ASSERT_TRUE(test_pictures::WriteBmp(folder_.File(name), 640, 480, [colour](int, int) { return colour; }));
    }
    // Puts a picture into a slot: a gradient, so that every row differs.
    void LoadGradient(int slot)
    {
        std::string path = folder_.File("gradient.bmp");
        ASSERT_TRUE(test_pictures::WriteBmp(path, 640, 480, [](int x, int y) {
            return static_cast<uint32_t>(((y & 0xFF) << 16) | ((x & 0xFF) << 8) | ((x + y) & 0xFF));
        }));
        ASSERT_EQ(displayContext->LoadFile(slot, path.c_str(), nullptr), 0);
    }
    CDIBSurface* Stage() { return displayContext->GetSurface(CDIB::kStageIndex); }
    bool StageEquals(int slot)
    {
        CDIBSurface* other = displayContext->GetSurface(slot);
        for (int y = 0; y < 480; ++y)
            if (memcmp(Stage()->PixelPtr(0, y), other->PixelPtr(0, y), 640 * 4) != 0) return false;
        return true;
    }
    int UsedCount()
    {
        int n = 0;
        for (unsigned char u : usedSlides) n += u;
        return n;
    }
    // Runs the step until it finishes; returns the number of calls.
    int CallsUntilDone(TransitionStepProc step)
    {
        int calls = 0;
        while (calls < 1000) {
            ++calls;
            if (step(&transitionState) == -1) break;
        }
        return calls;
    }

    HWND window_ = nullptr;
    TSaverSettings settings_;
    e2e::TempFolder folder_;
};

// Finds the frame thread's message box, records it and answers it.
struct BoxWatch {
    e2e::MessageBoxSeen seen;
};

DWORD WINAPI AnswerBox(LPVOID param)
{
    BoxWatch* watch = static_cast<BoxWatch*>(param);
    watch->seen = e2e::FindMessageBox(GetCurrentProcessId(), 5000);
    if (watch->seen.window) e2e::Answer(watch->seen, IDOK);
    return 0;
}

std::wstring Wide(const std::string& ansi)
{
    wchar_t text[1024];
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, 1024);
    return std::wstring(text, n > 0 ? n - 1 : 0);
}

}  // namespace

TEST_F(Slideshow, StripWipeTakesSixtyOneCallsAndLeavesTheNewPicture)
{
    LoadGradient(0);
    Stage()->Fill(0, 0, 640, 480, 0);
    transitionState.phase = 0;
    transitionState.wipe.sourceSlot = 0;
    ASSERT_EQ(StripWipe(&transitionState), 0);  // the first call draws: the rightmost strip opens one step later
    EXPECT_EQ(*Stage()->PixelPtr(639, 0), 0u);
    for (int call = 2; call <= 53; ++call) ASSERT_EQ(StripWipe(&transitionState), 0) << call;
    EXPECT_TRUE(StageEquals(0));
    for (int call = 54; call <= 60; ++call) ASSERT_EQ(StripWipe(&transitionState), 0) << call;
    EXPECT_EQ(StripWipe(&transitionState), -1);
    EXPECT_TRUE(StageEquals(0));
}

TEST_F(Slideshow, SmearDownTakesTwoHundredFortyCallsAndStreaksRow478)
{
    LoadGradient(0);
    Stage()->CopyFrom(0, 0, displayContext->GetSurface(0), 0, 0, 640, 480);
    std::vector<DWORD> row478(Stage()->PixelPtr(0, 478), Stage()->PixelPtr(0, 478) + 640);
    std::vector<DWORD> row479(Stage()->PixelPtr(0, 479), Stage()->PixelPtr(0, 479) + 640);
    transitionState.phase = 0;
    ASSERT_EQ(SmearDown(&transitionState), 0);
    EXPECT_EQ(memcmp(Stage()->PixelPtr(0, 0), Stage()->PixelPtr(0, 2), 640 * 4), 0);  // first call draws
    EXPECT_EQ(CallsUntilDone(SmearDown), 239);
    for (int y = 0; y <= 478; ++y) ASSERT_EQ(memcmp(Stage()->PixelPtr(0, y), row478.data(), 640 * 4), 0) << y;
    EXPECT_EQ(memcmp(Stage()->PixelPtr(0, 479), row479.data(), 640 * 4), 0);
}

TEST_F(Slideshow, MaskDissolveFollowsTheMaskAndEndsOnTheWholePicture)
{
    WriteSlides();
    ASSERT_EQ(displayContext->LoadFile(2, folder_.File("tile.bmp").c_str(), nullptr), 0);
    LoadGradient(0);
    Stage()->Fill(0, 0, 640, 480, 0x00ABCDEF);
    transitionState.phase = 0;
    transitionState.dissolve.maskSlot = 2;
    transitionState.dissolve.sourceSlot = 0;
    ASSERT_EQ(MaskDissolve(&transitionState), 0);
    // Frame 0: the first row of every block switched, the rest not yet.
    CDIBSurface* slide = displayContext->GetSurface(0);
    EXPECT_EQ(*Stage()->PixelPtr(16 * 3 + 5, 16 * 7), *slide->PixelPtr(16 * 3 + 5, 16 * 7));
    EXPECT_EQ(*Stage()->PixelPtr(16 * 3 + 5, 16 * 7 + 1), 0x00ABCDEFu);
    EXPECT_EQ(CallsUntilDone(MaskDissolve), 16);
    EXPECT_TRUE(StageEquals(0));
}

TEST_F(Slideshow, DissolveWithTheSampleMaskEndsOnTheWholePicture)
{
    char mask[MAX_PATH];
    GetFullPathNameA(e2e::BesideTest("..\\show\\tile.bmp").c_str(), sizeof mask, mask, nullptr);
    ASSERT_EQ(displayContext->LoadFile(2, mask, nullptr), 0);
    LoadGradient(0);
    Stage()->Fill(0, 0, 640, 480, 0);
    transitionState.phase = 0;
    transitionState.dissolve.maskSlot = 2;
    transitionState.dissolve.sourceSlot = 0;
    EXPECT_EQ(CallsUntilDone(MaskDissolve), 17);
    EXPECT_TRUE(StageEquals(0));
}

TEST_F(Slideshow, MaskedBlockCopySkipsWhatASmallMaskCannotCover)
{
    // A mask of 20 by 10 pixels: frames past it, and rows below it, must not be read.
    std::string small = folder_.File("small.bmp");
    ASSERT_TRUE(test_pictures::WriteBmp(small, 20, 10, [](int, int) { return 0u; }));
    ASSERT_EQ(displayContext->LoadFile(2, small.c_str(), nullptr), 0);
    LoadGradient(0);
    Stage()->Fill(0, 0, 640, 480, 0x00ABCDEF);
    transitionState.phase = 0;
    transitionState.dissolve.maskSlot = 2;
    transitionState.dissolve.sourceSlot = 0;
    EXPECT_EQ(CallsUntilDone(MaskDissolve), 17);
    // Frame 0 covered rows 0 to 9 of each block; nothing else changed.
    EXPECT_EQ(*Stage()->PixelPtr(0, 9), *displayContext->GetSurface(0)->PixelPtr(0, 9));
    EXPECT_EQ(*Stage()->PixelPtr(0, 10), 0x00ABCDEFu);
    // Blocks that stick out of a surface are skipped too.
    MaskedBlockCopy(CDIB::kStageIndex, 630, 470, 2, 0, 0, 0);
    MaskedBlockCopy(CDIB::kStageIndex, -8, 0, 2, 0, 0, 0);
    MaskedBlockCopy(CDIB::kStageIndex, 0, 0, 3, 0, 0, 0);  // empty slot
    EXPECT_EQ(*Stage()->PixelPtr(635, 475), 0x00ABCDEFu);
}

TEST_F(Slideshow, DirectorLoadsTheMaskThenHoldsBetweenChanges)
{
    WriteSlides();
    srand(7);
    DirectorTick(&settings_);
    EXPECT_EQ(settings_.showPhase, 1);
    ASSERT_NE(displayContext->GetSurface(2), nullptr);
    EXPECT_EQ(displayContext->GetSurface(2)->GetWidth(), 256);
    EXPECT_EQ(UsedCount(), 1);
    ASSERT_NE(settings_.transitionStep, nullptr);
    EXPECT_EQ(settings_.holdTicks, 0);  // the first slide comes in at once

    // Run the first change to its end: the next slide is loaded in the same tick, with a hold.
    int ticks = 0;
    while (UsedCount() == 1 && ticks < 400) {
        DirectorTick(&settings_);
        ++ticks;
    }
    ASSERT_EQ(UsedCount(), 2);
    EXPECT_EQ(settings_.holdTicks, kHoldTicks);
    if (previousKind == Wipe) EXPECT_EQ(ticks, 61);
    else EXPECT_EQ(ticks, 17);
}

TEST_F(Slideshow, DissolveAndSmearHoldsThenSmearsThenGoesOnAtOnce)
{
    WriteSlides();
    DirectorTick(&settings_);
    // Pretend the change just set up was a dissolve with a smear to follow, and has finished.
    previousKind = DissolveAndSmear;
    settings_.transitionStep = nullptr;
    settings_.holdTicks = 0;
    DirectorTick(&settings_);
    EXPECT_EQ(settings_.transitionStep, SmearDown);
    EXPECT_EQ(settings_.holdTicks, kHoldTicks);
    EXPECT_EQ(currentKind, Smear);
    int used = UsedCount();
    int ticks = 0;
    while (UsedCount() == used && ticks < 500) {
        DirectorTick(&settings_);
        ++ticks;
    }
    EXPECT_EQ(ticks, kHoldTicks - 1 + 240);  // the hold counts down to its last tick, then 240 smear calls
    EXPECT_EQ(settings_.holdTicks, 0);       // after a smear the next change starts on the next tick
}

TEST_F(Slideshow, FifteenChangesShowFifteenSlidesThenANewCycleBegins)
{
    WriteSlides();
    for (unsigned seed = 1; seed <= 5; ++seed) {
        srand(seed);
        settings_.showPhase = 0;
        DirectorTick(&settings_);
        for (int change = 2; change <= kSlideCount; ++change) {
            settings_.transitionStep = nullptr;
            settings_.holdTicks = 0;
            previousKind = Wipe;
            DirectorTick(&settings_);
        }
        EXPECT_GE(UsedCount(), 14) << seed;  // a repeat needs fifteen draws in a row to hit shown slides
        if (UsedCount() == kSlideCount) {
            settings_.transitionStep = nullptr;
            settings_.holdTicks = 0;
            previousKind = Wipe;
            DirectorTick(&settings_);
            EXPECT_EQ(UsedCount(), 1) << seed;
        }
    }
}

TEST_F(Slideshow, MissingSlideIsReportedAndAnotherIsDrawnNextTick)
{
    WriteSlides();
    DirectorTick(&settings_);
    for (int n = 1; n <= kSlideCount; ++n) {
        char name[32];
        snprintf(name, sizeof name, "slide_%02d.qjx", n);
        DeleteFileA(folder_.File(name).c_str());
    }
    WriteSlide(9);
    memset(usedSlides, 0, sizeof usedSlides);
    usedSlides[8] = 0;
    settings_.transitionStep = nullptr;
    settings_.holdTicks = 0;
    previousKind = Wipe;

    // Until slide 9 is drawn every tick reports its missing slide.
    int boxes = 0;
    while (usedSlides[8] == 0 && boxes < 40) {
        BoxWatch watch;
        HANDLE answer = CreateThread(nullptr, 0, AnswerBox, &watch, 0, nullptr);
        DirectorTick(&settings_);
        WaitForSingleObject(answer, 6000);
        CloseHandle(answer);
        if (usedSlides[8] != 0 && watch.seen.window == nullptr) break;
        ASSERT_NE(watch.seen.window, nullptr);
        EXPECT_EQ(watch.seen.caption, L"Error");
        EXPECT_EQ(watch.seen.text.substr(0, Wide(folder_.Path()).size()), Wide(folder_.Path()));
        std::wstring tail = L".qjx のファイルが見つかりません.";
        ASSERT_GE(watch.seen.text.size(), tail.size());
        EXPECT_EQ(watch.seen.text.substr(watch.seen.text.size() - tail.size()), tail);
        EXPECT_EQ(settings_.transitionStep, nullptr);
        ++boxes;
    }
    EXPECT_NE(usedSlides[8], 0);
    EXPECT_NE(settings_.transitionStep, nullptr);
}

TEST_F(Slideshow, MissingMaskIsRetriedOnTheNextTick)
{
    BoxWatch watch;
    HANDLE answer = CreateThread(nullptr, 0, AnswerBox, &watch, 0, nullptr);
    DirectorTick(&settings_);
    WaitForSingleObject(answer, 6000);
    CloseHandle(answer);
    ASSERT_NE(watch.seen.window, nullptr);
    EXPECT_EQ(watch.seen.text, Wide(folder_.File("tile.bmp")) + L" のファイルが見つかりません.");
    EXPECT_EQ(settings_.showPhase, 0);

    WriteSlides();
    DirectorTick(&settings_);
    EXPECT_EQ(settings_.showPhase, 1);
}

TEST(PicturePath, SeparatorOnlyWhereNeeded)
{
    char path[MAX_PATH];
    ASSERT_TRUE(BuildPicturePath("", "tile.bmp", path, sizeof path));
    EXPECT_STREQ(path, "tile.bmp");
    ASSERT_TRUE(BuildPicturePath("C:\\Pics", "slide_07.qjx", path, sizeof path));
    EXPECT_STREQ(path, "C:\\Pics\\slide_07.qjx");
    ASSERT_TRUE(BuildPicturePath("C:\\Pics\\", "slide_07.qjx", path, sizeof path));
    EXPECT_STREQ(path, "C:\\Pics\\slide_07.qjx");
    // "表" ends in byte 0x5C but is no separator.
    ASSERT_TRUE(BuildPicturePath("C:\\表", "tile.bmp", path, sizeof path));
    EXPECT_STREQ(path, "C:\\表\\tile.bmp");
    std::string longFolder(250, 'a');
    EXPECT_FALSE(BuildPicturePath(longFolder.c_str(), "slide_01.qjx", path, sizeof path));
    EXPECT_TRUE(BuildPicturePath(std::string(246, 'a').c_str(), "slide_01.qjx", path, sizeof path));
}

TEST_F(Slideshow, FrameThreadStopsWithinATick)
{
    WriteSlides();
    ASSERT_TRUE(StartFrameThread());
    Sleep(350);
    EXPECT_EQ(settings_.showPhase, 1);
    DWORD start = GetTickCount();
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), frameThread, GetCurrentProcess(), &thread, 0, FALSE, DUPLICATE_SAME_ACCESS);
    StopFrameThread();
    EXPECT_LT(GetTickCount() - start, 400u);  // not the 500 ms limit
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(frameThread, nullptr);
}
