// CDIB in one scenario: slots and their bounds, the stage, what lands on a real window when presenting,
// and taking the display over (each switch of mode shows as a WM_DISPLAYCHANGE).
#include "../render/surface_fixture.h"
#include "render/display_context.h"

#include <tuple>
#include <utility>

namespace {

const DWORD kWhite = 0x00FFFFFF;
int switches = 0;

LRESULT CALLBACK CountSwitches(HWND window, UINT message, WPARAM w, LPARAM l)
{
    switches += message == WM_DISPLAYCHANGE;
    return DefWindowProcA(window, message, w, l);
}

// Switches seen since the last call.
int Switches()
{
    MSG msg;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 200; Sleep(10))
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    return std::exchange(switches, 0);
}

}  // namespace

TEST_F(SurfaceTest, DisplayContextFromSlotsToTakingTheDisplayOver)
{
    // A stage on a white 1024 x 768 window; what the window shows is read into shot and compared with
    // what StretchBlt in COLORONCOLOR mode draws into expected.
    const WNDCLASSA type = {0, CountSwitches, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "count switches"};
    RegisterClassA(&type);
    HWND screen = CreateWindowExA(WS_EX_TOPMOST, type.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, 0, 0, 0, 0);
    CDIBSurface *shot = Make(1024, -768), *expected = Make(1024, -768);
    SetStretchBltMode(expected->GetMemDC(), COLORONCOLOR);
    auto copy = [&](CDIBSurface* s, bool toWindow) {
        HDC dc = GetDC(screen);
        BitBlt(toWindow ? dc : s->GetMemDC(), 0, 0, 1024, 768, toWindow ? s->GetMemDC() : dc, 0, 0, SRCCOPY);
        ReleaseDC(screen, dc);
        GdiFlush();
        return s;
    };
    auto same = [&] { return Pixels(copy(shot, false), [&](int x, int y) { return *expected->PixelPtr(x, y); }, kWhite); };
    auto clear = [&] { expected->Fill(0, 0, 1024, 768, kWhite), copy(expected, true); };
    CDIB none(nullptr);  // no stage: nothing drawn, nothing crashes
    TRect32 all = {0, 0, 640, 480};
    none.Present(&all, nullptr);
    none.PresentScaled(&all, &all);
    // Slots and their bounds, on the context without a stage.
    const char* missing = "no such folder\\slide_01.qjx";
    EXPECT_EQ(none.CreateSlot(0), -1);  // no table yet
    ASSERT_EQ(none.SetSlotCount(4), 0);
    EXPECT_EQ(none.LoadFile(4, missing, nullptr) + none.LoadFile(-1, missing, nullptr), -2);
    EXPECT_EQ(none.LoadFile(3, missing, nullptr), -1);  // the slot gets a surface; the file fails
    CDIBSurface* kept = none.GetSurface(3);
    ASSERT_NE(kept, nullptr);
    kept->GetColorTable()->rgbRed = 7;  // a new surface would have it 0, even at the same address
    EXPECT_EQ(none.LoadFile(3, missing, nullptr), -1);
    EXPECT_EQ(none.GetSurface(3)->GetColorTable()->rgbRed, 7);
    EXPECT_EQ(none.SetSlotCount(129) + none.SetSlotCount(-1), -2);
    EXPECT_EQ(none.GetSurface(3), kept);  // the same object, untouched by the refused counts
    for (int index : {-3, 4, int(CDIB::kSpareIndex), int(CDIB::kStageIndex), 2})
        EXPECT_EQ(none.GetSurface(index), nullptr) << index;
    EXPECT_EQ(none.CreateSlot(4) + none.CreateSlot(-1), -2);
    ASSERT_EQ(none.SetSlotCount(128), 0);
    EXPECT_EQ(none.GetSurface(3), nullptr);  // a new table starts empty
    EXPECT_EQ(none.CreateSlot(127), 0);

    CDIB dib(screen);
    dib.SetStageFormat(640, 480, 32);
    const int unopened = CDIBSurface::InstanceCount();
    ASSERT_EQ(dib.OpenStage(0), 0);
    dib.Present(nullptr, &all);
    CDIBSurface* stage = dib.GetSurface(CDIB::kStageIndex);
    EXPECT_EQ(stage->GetWidth() * 1000 + stage->GetHeight() + dib.fullScreen, 640480);

    // Stretched over screens of these sizes, seen through the window at opposite corners: no pixel left
    // white after the 32 strips of a wipe, and strips, a smear's rectangle and the stage as StretchBlt shows
    // them where they land: both edges of a stage rectangle scaled and truncated, written out here for the
    // second strip of the wipe, two narrow strips and the smear's rectangle, relative to the view.
    Paint(stage, [](int x, int y) { return (x * 0x10307u ^ y * 0x3010Bu) & 0x7F7F7F; });  // never white
    // Shrunk into the preview, it shows the pixels COLORONCOLOR picks (other modes AND or average them),
    // through GDI for a tiny preview and through row copies for a larger one.
    const struct { POINT size; TRect32 strip, narrow, narrower, smear; } screens[] = {
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
            const POINT size = screen.size;
            const TRect32 view = {corner * std::min(0, 1024 - int(size.x)), corner * std::min(0, 768 - int(size.y)),
                                  size.x, size.y};
            clear();
            // The expected window gets the stage rectangle s stretched onto t (relative to the view).
            auto present = [&](TRect32 s, TRect32 t) {
                StretchBlt(expected->GetMemDC(), view.x + t.x, view.y + t.y, t.width, t.height, stage->GetMemDC(),
                           s.x, s.y, s.width, s.height, SRCCOPY);
                dib.PresentScaled(&view, &s);
            };
            // The wipe's strips where ScaledTarget puts them; the second strip is checked again below.
            for (int i = 31; i >= 0; --i) {
                const TRect32 strip = {20 * i, 0, 20, 480}, t = ScaledTarget(view, strip, 640, 480);
                present(strip, TRect32{t.x - view.x, t.y - view.y, t.width, t.height});
            }
            EXPECT_TRUE(same()) << size.x << "x" << size.y;
            EXPECT_TRUE(Pixels(shot, [&](int x, int y) {
                return Inside(x, view.x, view.x + view.width) && Inside(y, view.y, view.y + view.height) ? 0u : kWhite;
            }, 0x808080));
            present(TRect32{20, 0, 20, 480}, screen.strip);
            present(TRect32{2, 0, 18, 480}, screen.narrow);
            present(TRect32{0, 0, 19, 480}, screen.narrower);
            EXPECT_TRUE(same()) << size.x << "x" << size.y;
            present(TRect32{0, 0, 640, 301}, screen.smear);
            EXPECT_TRUE(same()) << size.x << "x" << size.y;
            present(TRect32{0, 0, 640, 480}, TRect32{0, 0, size.x, size.y});
            EXPECT_TRUE(same()) << size.x << "x" << size.y;
        }
    const TRect32 cases[][3] = {  // the whole stage on the window, a stage rectangle, where it lands
        {{0, 0, 1280, 960}, {20, 0, 20, 480}, {40, 0, 40, 960}},
        {{0, 0, 800, 600}, {20, 0, 3, 480}, {25, 0, 3, 600}},  // 3.75 wide, truncated
        {{10, 5, 800, 600}, {3, 3, 1, 1}, {13, 8, 2, 2}},     // 3.75 to 5: each edge truncated
    };
    for (auto& c : cases) {
        const TRect32 t = ScaledTarget(c[0], c[1], 640, 480);
        EXPECT_EQ(std::tie(t.x, t.y, t.width, t.height), std::tie(c[2].x, c[2].y, c[2].width, c[2].height));
    }

    // A new stage replaces the old; one that cannot be made leaves none; closing releases stage and slots.
    const int live = CDIBSurface::InstanceCount();
    EXPECT_EQ(dib.CreateStage(320, 240) * 100 + CDIBSurface::InstanceCount(), live);
    EXPECT_EQ(dib.SetSlotCount(2) + dib.CreateSlot(1) + CDIBSurface::InstanceCount(), live + 1);
    dib.CloseAll();
    EXPECT_EQ(dib.slotCount * 100 + CDIBSurface::InstanceCount(), unopened);
    EXPECT_EQ(dib.CreateStage(0, 480), -1);
    EXPECT_EQ(dib.GetSurface(CDIB::kStageIndex), nullptr);

    // A switch to the desktop's own size and back, alone and by a context taking the display over.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    CChangeDisplay display;
    EXPECT_EQ(display.Restore() + display.Change(width + 1, height), 1);  // nothing to undo; no such mode
    EXPECT_EQ(Switches() + display.changed, 0);
    DEVMODEA mode;  // all four values must match: no display runs at 1000 Hz
    EXPECT_EQ(display.FindMode(width, height, 32, 1000, &mode), 0);
    ASSERT_EQ(display.Change(width, height), 1);
    EXPECT_EQ(static_cast<int>(display.targetMode.dmPelsHeight), height);
    EXPECT_EQ(Switches(), 1);
    EXPECT_EQ(display.Restore() + display.Restore(), 2);  // back once
    EXPECT_EQ(Switches(), 1);
    {
        CDIB full(screen);
        full.SetStageFormat(width, height, 32);
        ASSERT_EQ(full.OpenStage(1), 0);
        EXPECT_EQ(full.fullScreen, 1);
        full.CloseAll();
        EXPECT_EQ(Switches(), 1);
    }
    EXPECT_EQ(Switches(), 1);
    DestroyWindow(screen);
}
