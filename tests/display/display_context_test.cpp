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
        return Pixels(shot, [&](int x, int y) { return *expected->PixelPtr(x, y); }, kWhite);
    }
    void Clear()
    {
        expected->Fill(0, 0, 1024, 768, kWhite);
        Copy(expected, true);
    }

    HWND screen;
    CDIBSurface* shot = Make(1024, -768);
    CDIBSurface* expected = Make(1024, -768);
};

}  // namespace

TEST_F(DisplayTest, PresentingWithoutAStageDrawsNothing)
{
    Clear();
    CDIB none(screen);
    const TRect32 all = {0, 0, 640, 480};
    none.Present(&all, nullptr);
    none.PresentScaled(&all, &all);
    EXPECT_TRUE(ShowsExpected());
}

// Indices outside the table and counts past 128 are refused; a new table starts empty.
TEST(DisplayContext, SlotsOutsideTheTableAreRefused)
{
    CDIB dib(nullptr);
    ASSERT_EQ(dib.SetSlotCount(4), 0);
    ASSERT_EQ(dib.CreateSlot(3), 0);
    CDIBSurface* kept = dib.GetSurface(3);
    const std::pair<const char*, int (*)(CDIB&)> refused[] = {
        {"LoadFile 4", [](CDIB& d) { return d.LoadFile(4, kMissing, nullptr); }},
        {"LoadFile -1", [](CDIB& d) { return d.LoadFile(-1, kMissing, nullptr); }},
        {"SetSlotCount 129", [](CDIB& d) { return d.SetSlotCount(129); }},
        {"SetSlotCount -1", [](CDIB& d) { return d.SetSlotCount(-1); }},
    };
    for (const auto& [what, call] : refused) EXPECT_EQ(call(dib), -1) << what;
    EXPECT_EQ(dib.GetSurface(3), kept);
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
    ASSERT_EQ(dib.CreateStage(64, 48), 0);
    ASSERT_EQ(dib.SetSlotCount(2), 0);
    ASSERT_EQ(dib.CreateSlot(1), 0);
    dib.CloseAll();
    EXPECT_EQ(dib.slotCount, 0);
    EXPECT_EQ(CDIBSurface::InstanceCount(), before);
}

TEST(DisplayContext, ScaledTargetTruncatesBothEdgesOfTheScaledRectangle)
{
    const TRect32 cases[][3] = {  // the whole stage on the window, a stage rectangle, where it lands
        {{0, 0, 1280, 960}, {20, 0, 20, 480}, {40, 0, 40, 960}},
        {{0, 0, 800, 600}, {20, 0, 3, 480}, {25, 0, 3, 600}},  // 3.75 wide, truncated
        {{10, 5, 800, 600}, {3, 3, 1, 1}, {13, 8, 2, 2}},     // 3.75 to 5: each edge truncated
    };
    for (const auto& c : cases) {
        const TRect32 t = ScaledTarget(c[0], c[1], 640, 480);
        SCOPED_TRACE(::testing::Message() << "into " << c[0].width << "x" << c[0].height << " from x " << c[1].x);
        EXPECT_EQ(t.x, c[2].x);
        EXPECT_EQ(t.y, c[2].y);
        EXPECT_EQ(t.width, c[2].width);
        EXPECT_EQ(t.height, c[2].height);
    }
}

// Stretched over screens of these sizes, seen through the window at opposite corners: no pixel left
// white after the 32 strips of a wipe, and strips, a smear's rectangle and the stage as StretchBlt shows
// them where they land, written out here relative to the view. Shrunk into a preview, it shows the
// pixels COLORONCOLOR picks (other modes AND or average them).
TEST_F(DisplayTest, PresentScaledDrawsWhereTheStageRectangleLands)
{
    CDIB dib(screen);
    dib.SetStageFormat(640, 480, 32);
    ASSERT_EQ(dib.OpenStage(0), 0);
    CDIBSurface* stage = dib.GetSurface(CDIB::kStageIndex);
    Paint(stage, [](int x, int y) { return (x * 0x10307u ^ y * 0x3010Bu) & 0x7F7F7F; });  // never white
    const struct {
        POINT size;
        TRect32 strip, narrow, narrower, smear;  // where stage (20, 0, 20, 480), (2, 0, 18, 480), ... land
    } screens[] = {
        {{1366, 768}, {42, 0, 43, 768}, {4, 0, 38, 768}, {0, 0, 40, 768}, {0, 0, 1366, 481}},
        {{1360, 768}, {42, 0, 43, 768}, {4, 0, 38, 768}, {0, 0, 40, 768}, {0, 0, 1360, 481}},
        {{1680, 1050}, {52, 0, 53, 1050}, {5, 0, 47, 1050}, {0, 0, 49, 1050}, {0, 0, 1680, 658}},
        {{1280, 1024}, {40, 0, 40, 1024}, {4, 0, 36, 1024}, {0, 0, 38, 1024}, {0, 0, 1280, 642}},
        {{800, 600}, {25, 0, 25, 600}, {2, 0, 23, 600}, {0, 0, 23, 600}, {0, 0, 800, 376}},
        {{80, 60}, {2, 0, 3, 60}, {0, 0, 2, 60}, {0, 0, 2, 60}, {0, 0, 80, 37}},
        {{300, 225}, {9, 0, 9, 225}, {0, 0, 9, 225}, {0, 0, 8, 225}, {0, 0, 300, 141}},
        {{768, 576}, {24, 0, 24, 576}, {2, 0, 22, 576}, {0, 0, 22, 576}, {0, 0, 768, 361}},  // 22 wide both
    };
    for (const auto& screen : screens)
        for (int corner : {0, 1}) {
            const LONG w = screen.size.x, h = screen.size.y;
            const TRect32 view = {corner * std::min(0L, 1024 - w), corner * std::min(0L, 768 - h), int(w), int(h)};
            SCOPED_TRACE(::testing::Message() << w << "x" << h << " at " << view.x << "," << view.y);
            Clear();
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
            EXPECT_TRUE(Pixels(shot, [&](int x, int y) {
                const bool inView = Inside(x, view.x, view.x + view.width) && Inside(y, view.y, view.y + view.height);
                return inView ? 0u : kWhite;
            }, 0x808080));
            present(TRect32{20, 0, 20, 480}, screen.strip);
            present(TRect32{2, 0, 18, 480}, screen.narrow);
            present(TRect32{0, 0, 19, 480}, screen.narrower);
            EXPECT_TRUE(ShowsExpected());
            present(TRect32{0, 0, 640, 301}, screen.smear);
            EXPECT_TRUE(ShowsExpected());
            present(TRect32{0, 0, 640, 480}, TRect32{0, 0, int(w), int(h)});
            EXPECT_TRUE(ShowsExpected());
        }
}

TEST_F(DisplayTest, RestoreWithoutAChangeDoesNothing)
{
    CChangeDisplay display;
    EXPECT_EQ(display.Restore(), 1);
    EXPECT_EQ(Switches(), 0);
}

TEST_F(DisplayTest, ChangeToAModeTheDriverLacksFails)
{
    CChangeDisplay display;
    EXPECT_EQ(display.Change(GetSystemMetrics(SM_CXSCREEN) + 1, GetSystemMetrics(SM_CYSCREEN)), 0);
    EXPECT_EQ(display.changed, 0);
    EXPECT_EQ(Switches(), 0);
}

TEST_F(DisplayTest, ChangeToTheDesktopsSizeSwitchesAndRestoreSwitchesBackOnce)
{
    const int height = GetSystemMetrics(SM_CYSCREEN);
    CChangeDisplay display;
    ASSERT_EQ(display.Change(GetSystemMetrics(SM_CXSCREEN), height), 1);
    EXPECT_EQ(static_cast<int>(display.targetMode.dmPelsHeight), height);
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
