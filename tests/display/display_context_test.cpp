// CDIB: slots and their bounds, the stage, what lands on a real window when presenting, and taking the
// display over (each switch of mode shows as a WM_DISPLAYCHANGE).
#include <utility>

#include "../render/surface_fixture.h"
#include "render/display_context.h"

namespace {

const DWORD kWhite = 0x00FFFFFF;
const char* const kMissing = "no such folder\\slide_01.qjx";
int switches = 0;

LRESULT CALLBACK CountSwitches(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_DISPLAYCHANGE) ++switches;
    return DefWindowProcA(window, message, w, l);
}

// Switches seen since the last call.
int Switches()
{
    MSG msg;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 200; Sleep(10))
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return std::exchange(switches, 0);
}

// A white 1024 x 768 window that counts switches of mode; what it shows is read into shot and compared
// with expected.
class DisplayTest : public SurfaceTest {
protected:
    DisplayTest()
    {
        const WNDCLASSA type = {0, CountSwitches, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "count switches"};
        RegisterClassA(&type);
        screen = CreateWindowExA(WS_EX_TOPMOST, type.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                                 nullptr, nullptr, nullptr, nullptr);
        SetStretchBltMode(expected->GetMemDC(), COLORONCOLOR);
    }
    ~DisplayTest() override { DestroyWindow(screen); }
    void Copy(CDIBSurface* s, bool toWindow)
    {
        HDC dc = GetDC(screen);
        if (toWindow) BitBlt(dc, 0, 0, 1024, 768, s->GetMemDC(), 0, 0, SRCCOPY);
        else BitBlt(s->GetMemDC(), 0, 0, 1024, 768, dc, 0, 0, SRCCOPY);
        ReleaseDC(screen, dc);
        GdiFlush();
    }
    ::testing::AssertionResult ShowsExpected()
    {
        Copy(shot, false);
        return PixelsMatch(shot, [&](int x, int y) { return *expected->PixelPtr(x, y); }, kWhite);
    }

    HWND screen;
    CDIBSurface* shot = Make(1024, -768);
    CDIBSurface* expected = Make(1024, -768);
};

}  // namespace

// Indices outside the table and counts past 128 are refused; a new table starts empty.
TEST(DisplayContext, SlotsOutsideTheTableAreRefused)
{
    CDIB dib(nullptr);
    ASSERT_EQ(dib.SetSlotCount(4), 0);
    ASSERT_EQ(dib.CreateSlot(3), 0);
    EXPECT_EQ(dib.LoadFile(4, kMissing, nullptr), -1);
    EXPECT_EQ(dib.LoadFile(-1, kMissing, nullptr), -1);
    EXPECT_EQ(dib.SetSlotCount(129), -1);
    EXPECT_EQ(dib.SetSlotCount(-1), -1);
    EXPECT_NE(dib.GetSurface(3), nullptr);
    for (int index : {-3, 4, int(CDIB::kSpareIndex), int(CDIB::kStageIndex), 2})
        EXPECT_EQ(dib.GetSurface(index), nullptr) << "index " << index;
    ASSERT_EQ(dib.SetSlotCount(128), 0);
    EXPECT_EQ(dib.GetSurface(3), nullptr);
    EXPECT_EQ(dib.CreateSlot(127), 0);
    EXPECT_EQ(dib.CreateSlot(128), -1);
}

// A slot gets its surface even when the file fails, and keeps the same one for the next load.
TEST(DisplayContext, LoadFileKeepsTheSlotsSurface)
{
    CDIB dib(nullptr);
    ASSERT_EQ(dib.SetSlotCount(4), 0);
    EXPECT_EQ(dib.LoadFile(3, kMissing, nullptr), -1);
    ASSERT_NE(dib.GetSurface(3), nullptr);
    dib.GetSurface(3)->GetColorTable()->rgbRed = 7;  // a new surface would have it 0, even at the same address
    EXPECT_EQ(dib.LoadFile(3, kMissing, nullptr), -1);
    EXPECT_EQ(dib.GetSurface(3)->GetColorTable()->rgbRed, 7);
}

// A new stage replaces the old one, one that cannot be made leaves none, and CloseAll releases them all.
TEST_F(DisplayTest, StagesAndSlotsAreReleased)
{
    const int before = CDIBSurface::InstanceCount();
    CDIB dib(screen);
    ASSERT_EQ(dib.CreateStage(640, 480), 0);
    EXPECT_EQ(dib.CreateStage(320, 240), 0);
    EXPECT_EQ(CDIBSurface::InstanceCount(), before + 1);
    EXPECT_EQ(dib.CreateStage(0, 480), -1);
    EXPECT_EQ(dib.GetSurface(CDIB::kStageIndex), nullptr);
    ASSERT_EQ(dib.SetSlotCount(2), 0);
    ASSERT_EQ(dib.CreateSlot(1), 0);
    dib.CloseAll();
    EXPECT_EQ(CDIBSurface::InstanceCount(), before);
}

// Over screens wider, narrower and not a whole multiple of the stage, seen through the window at opposite
// corners: no pixel left white after the 32 strips of a wipe, and those strips and the whole stage as
// StretchBlt shows them. Shrunk into a preview, it shows the pixels COLORONCOLOR picks.
TEST_F(DisplayTest, PresentScaledDrawsWhereTheStageRectangleLands)
{
    CDIB dib(screen);
    dib.SetStageFormat(640, 480, 32);
    ASSERT_EQ(dib.OpenStage(0), 0);
    CDIBSurface* stage = dib.GetSurface(CDIB::kStageIndex);
    Paint(stage, [](int x, int y) { return (x * 0x10307u ^ y * 0x3010Bu) & 0x7F7F7F; });  // never white
    const POINT screens[] = {{1366, 768}, {80, 60}, {768, 576}};
    for (const auto& screen : screens)
        for (int corner : {0, 1}) {
            const LONG w = screen.x, h = screen.y;
            const TRect32 view = {corner * std::min(0L, 1024 - w), corner * std::min(0L, 768 - h), int(w), int(h)};
            SCOPED_TRACE(::testing::Message() << w << "x" << h << " at " << view.x << "," << view.y);
            expected->Fill(0, 0, 1024, 768, kWhite);
            Copy(expected, true);
            // The expected window gets stage rectangle s stretched onto t (relative to the view).
            auto present = [&](TRect32 s, TRect32 t) {
                StretchBlt(expected->GetMemDC(), view.x + t.x, view.y + t.y, t.width, t.height, stage->GetMemDC(),
                           s.x, s.y, s.width, s.height, SRCCOPY);
                dib.PresentScaled(&view, &s);
            };
            for (int i = 31; i >= 0; --i) {
                const TRect32 strip = {20 * i, 0, 20, 480}, t = ScaledTarget(view, strip, 640, 480);
                present(strip, TRect32{t.x - view.x, t.y - view.y, t.width, t.height});
            }
            EXPECT_TRUE(ShowsExpected());
            EXPECT_TRUE(PixelsMatch(shot, [&](int x, int y) {
                const bool inView = Inside(x, view.x, view.x + view.width) && Inside(y, view.y, view.y + view.height);
                return inView ? 0u : kWhite;
            }, 0x808080));
            present(TRect32{0, 0, 640, 480}, TRect32{0, 0, int(w), int(h)});
            EXPECT_TRUE(ShowsExpected());
        }
}

// A mode the driver lacks is not switched to, and restoring without a change does nothing.
TEST_F(DisplayTest, NoSwitchWithoutAModeToSwitchTo)
{
    CChangeDisplay display;
    EXPECT_EQ(display.Restore(), 1);
    EXPECT_EQ(display.Change(GetSystemMetrics(SM_CXSCREEN) + 1, GetSystemMetrics(SM_CYSCREEN)), 0);
    EXPECT_EQ(display.changed, 0);
    EXPECT_EQ(Switches(), 0);
}

TEST_F(DisplayTest, ChangeToTheDesktopsSizeSwitchesAndRestoreSwitchesBackOnce)
{
    CChangeDisplay display;
    ASSERT_EQ(display.Change(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), 1);
    EXPECT_EQ(Switches(), 1);
    EXPECT_EQ(display.Restore(), 1);
    EXPECT_EQ(display.Restore(), 1);
    EXPECT_EQ(Switches(), 1);
}

TEST_F(DisplayTest, TakingTheDisplayOverSwitchesAndTheContextSwitchesBack)
{
    Switches();
    {
        CDIB full(screen);
        full.SetStageFormat(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 32);
        ASSERT_EQ(full.OpenStage(1), 0);
        EXPECT_EQ(full.fullScreen, 1);
        full.CloseAll();
        EXPECT_EQ(Switches(), 1);
    }
    EXPECT_EQ(Switches(), 1);
}
