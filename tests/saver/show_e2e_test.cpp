// The real nimbra.scr playing the sample show: after the first transition the screen holds a slide,
// pixel for pixel, centred or stretched over the whole screen with "Fit Screen".
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "render/w_dib32.h"
#include "saver_driving.h"

using namespace saver_driving;

namespace {

std::string ShowFolder()
{
    char full[MAX_PATH];
    GetFullPathNameA(e2e::BesideTest("..\\show").c_str(), sizeof full, full, nullptr);
    return full;
}

// The screen as a surface of its own size.
std::unique_ptr<CDIBSurface> CaptureScreen(HWND window)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    std::unique_ptr<CDIBSurface> shot(new CDIBSurface(window));
    if (shot->Create(width, height) != 0) return nullptr;
    HDC screen = GetDC(nullptr);
    BitBlt(shot->GetMemDC(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return shot;
}

// Share of the picture's pixels that the screen shows at (x0, y0), 0 to 1.
double SameShare(CDIBSurface* shot, int x0, int y0, CDIBSurface* picture)
{
    long same = 0;
    for (int y = 0; y < picture->GetHeight(); ++y) {
        const DWORD* a = shot->PixelPtr(x0, y0 + y);
        const DWORD* b = picture->PixelPtr(0, y);
        for (int x = 0; x < picture->GetWidth(); ++x) same += (a[x] & 0xFFFFFF) == (b[x] & 0xFFFFFF);
    }
    return static_cast<double>(same) / (static_cast<double>(picture->GetWidth()) * picture->GetHeight());
}

bool SameArea(CDIBSurface* shot, int x0, int y0, CDIBSurface* picture)
{
    return SameShare(shot, x0, y0, picture) == 1.0;
}

class SampleShow : public ::testing::Test {
protected:
    SampleShow() : saverKey_(HKEY_CURRENT_USER, kSaverKey), system_(HKEY_CURRENT_USER, kSystemKey)
    {
        helper_ = CreateWindowExA(0, "STATIC", "helper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        for (int n = 1; n <= 15; ++n) {
            char name[32];
            snprintf(name, sizeof name, "\\slide_%02d.qjx", n);
            slides_.emplace_back(new CDIBSurface(helper_));
            EXPECT_EQ(slides_.back()->LoadImageFile((ShowFolder() + name).c_str(), nullptr), 0) << name;
        }
    }
    ~SampleShow() override
    {
        slides_.clear();
        DestroyWindow(helper_);
    }

    // Plays the show until the first slide stands, then captures the screen and ends the show by a key.
    std::unique_ptr<CDIBSurface> PlayAndCapture(DWORD fitScreen)
    {
        SetString(kSaverKey, "Path", ShowFolder().c_str());
        SetDword(kSaverKey, "Fit Screen", fitScreen);
        SetCursorPos(500, 400);
        e2e::Process saver;
        if (!saver.Start(SaverCommand("/s"))) return nullptr;
        if (FindSaverWindow(saver.Id()) == nullptr) return nullptr;
        Sleep(7500);  // the slowest first transition, the wipe, takes 61 ticks
        std::unique_ptr<CDIBSurface> shot = CaptureScreen(helper_);
        EXPECT_EQ(saver.Wait(0), -1) << "the show ended by itself";
        PressKey(VK_SPACE);
        DWORD start = GetTickCount();
        EXPECT_EQ(saver.Wait(3000), 0);
        EXPECT_LT(GetTickCount() - start, 1000u);
        return shot;
    }

    e2e::RegistrySnapshot saverKey_;
    e2e::RegistrySnapshot system_;
    HWND helper_ = nullptr;
    std::vector<std::unique_ptr<CDIBSurface>> slides_;
};

}  // namespace

TEST_F(SampleShow, CentredSlideStandsAfterTheFirstTransition)
{
    std::unique_ptr<CDIBSurface> shot = PlayAndCapture(0);
    ASSERT_NE(shot, nullptr);
    int x0 = (shot->GetWidth() - 640) / 2;
    int y0 = (shot->GetHeight() - 480) / 2;
    int matches = 0;
    for (auto& slide : slides_) matches += SameArea(shot.get(), x0, y0, slide.get()) ? 1 : 0;
    EXPECT_EQ(matches, 1);
    EXPECT_EQ(*shot->PixelPtr(x0 - 1, y0) & 0xFFFFFF, 0u);  // black around the stage
    EXPECT_EQ(*shot->PixelPtr(0, 0) & 0xFFFFFF, 0u);
}

TEST_F(SampleShow, FitScreenStretchesTheSlideOverTheScreen)
{
    std::unique_ptr<CDIBSurface> shot = PlayAndCapture(1);
    ASSERT_NE(shot, nullptr);
    // Each slide stretched as the saver stretches it: StretchBlt, rows and columns dropped or repeated.
    // Wine's X11 driver, flushing a window that another thread draws on stretched, loses now and then
    // the pixels that changed only in an early dissolve frame (the stage itself is right, see the
    // slideshow tests), so a slide counts as shown when nearly all of its pixels are.
    int matches = 0;
    for (auto& slide : slides_) {
        // Through a bottom-up 640 by 480 surface like the stage: GDI's choice of rows to drop or
        // repeat follows the memory order of the source.
        CDIBSurface stage(helper_);
        ASSERT_EQ(stage.Create(640, 480), 0);
        stage.CopyFrom(0, 0, slide.get(), 0, 0, 640, 480);
        CDIBSurface stretched(helper_);
        ASSERT_EQ(stretched.Create(shot->GetWidth(), shot->GetHeight()), 0);
        SetStretchBltMode(stretched.GetMemDC(), COLORONCOLOR);
        StretchBlt(stretched.GetMemDC(), 0, 0, shot->GetWidth(), shot->GetHeight(), stage.GetMemDC(), 0, 0, 640, 480,
                   SRCCOPY);
        matches += SameShare(shot.get(), 0, 0, &stretched) > 0.9 ? 1 : 0;
    }
    EXPECT_EQ(matches, 1);
}
