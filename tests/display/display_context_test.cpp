// CDIB: slots and their bounds, the stage, and what lands on a real window when presenting.
#include "../render/surface_fixture.h"
#include "e2e.h"
#include "render/display_context.h"

namespace {

const DWORD kWhite = 0x00FFFFFF, kRed = 0x00FF0000, kGreen = 0x0000FF00;

// A context with a black stage on a white window at the top-left of the screen, and that window's pixels.
struct Screen : SurfaceTest {
    void Open(int w, int h)
    {
        screen = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, w, h, 0, 0, 0, 0);
        dib.reset(new CDIB(screen));
        dib->SetStageFormat(640, 480, 32);
        shot = Make(w, -h);
        Put(shot, kWhite);
        ASSERT_EQ(dib->OpenStage(0), 0);
        stage = dib->GetSurface(CDIB::kStageIndex);
        stage->Fill(0, 0, 640, 480, 0);
    }
    ~Screen() override { DestroyWindow(screen); }
    void Put(CDIBSurface* from, DWORD colour) { Transfer(from, colour); }
    CDIBSurface* Shot() { return Transfer(nullptr, 0); }
    // Fills from with colour and shows it, or (from null) reads the window into shot.
    CDIBSurface* Transfer(CDIBSurface* from, DWORD colour)
    {
        HDC dc = GetDC(screen);
        const int w = shot->GetWidth(), h = shot->GetHeight();
        if (from && from->Fill(0, 0, w, h, colour) == 0)
            BitBlt(dc, 0, 0, w, h, from->GetMemDC(), 0, 0, SRCCOPY);
        else
            BitBlt(shot->GetMemDC(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
        ReleaseDC(screen, dc);
        GdiFlush();
        return shot;
    }
    DWORD At(int x, int y) { return *Shot()->PixelPtr(x, y) & 0xFFFFFF; }
    HWND screen = nullptr;
    std::unique_ptr<CDIB> dib;
    CDIBSurface* shot = nullptr;
    CDIBSurface* stage = nullptr;
};

}  // namespace

TEST(DisplayContext, SlotsAndTheirBounds)
{
    e2e::TempFolder folder;
    const std::string missing = folder.File("slide_01.qjx");
    CDIB dib(nullptr);
    EXPECT_EQ(dib.CreateSlot(0), -1);  // no table yet
    ASSERT_EQ(dib.SetSlotCount(4), 0);
    EXPECT_EQ(dib.LoadFile(4, missing.c_str(), nullptr), -1);
    EXPECT_EQ(dib.LoadFile(-1, missing.c_str(), nullptr), -1);
    EXPECT_EQ(dib.LoadFile(3, missing.c_str(), nullptr), -1);  // the slot gets a surface; the file fails
    CDIBSurface* kept = dib.GetSurface(3);
    ASSERT_NE(kept, nullptr);
    kept->GetColorTable()->rgbRed = 7;  // a new surface would have it 0, even at the same address
    EXPECT_EQ(dib.LoadFile(3, missing.c_str(), nullptr), -1);
    EXPECT_EQ(dib.GetSurface(3)->GetColorTable()->rgbRed, 7);
    EXPECT_EQ(dib.SetSlotCount(129), -1);
    EXPECT_EQ(dib.SetSlotCount(-1), -1);
    EXPECT_EQ(dib.GetSurface(3), kept);  // the same object, untouched by the refused counts
    for (int index : {-3, 4, int(CDIB::kSpareIndex), int(CDIB::kStageIndex), 2})
        EXPECT_EQ(dib.GetSurface(index), nullptr) << index;
    EXPECT_EQ(dib.CreateSlot(4) + dib.CreateSlot(-1), -2);
    ASSERT_EQ(dib.SetSlotCount(128), 0);
    EXPECT_EQ(dib.GetSurface(3), nullptr);  // a new table starts empty
    EXPECT_EQ(dib.CreateSlot(127), 0);
}

TEST_F(Screen, StageAndOneToOnePresents)
{
    CDIB none(nullptr);  // no stage: nothing drawn, nothing crashes
    TRect32 at = {30, 20, 640, 480}, part = {100, 50, 10, 20}, there = {0, 0, 10, 20};
    none.Present(&at, nullptr);
    none.PresentScaled(&at, &part);
    Open(700, 500);
    EXPECT_EQ(dib->fullScreen, 0);
    EXPECT_EQ(stage->GetWidth() * 1000 + stage->GetHeight(), 640480);
    stage->Fill(100, 50, 10, 20, kRed);
    dib->Present(&at, nullptr);
    EXPECT_EQ(At(130, 70), kRed);
    EXPECT_EQ(At(139, 89), kRed);
    EXPECT_EQ(At(140, 89) | At(129, 70), 0u);
    EXPECT_EQ(At(29, 20), kWhite);  // outside the destination
    stage->Fill(100, 50, 10, 20, kGreen);
    dib->Present(&there, &part);  // only a stage rectangle
    dib->Present(nullptr, &part);
    EXPECT_EQ(At(9, 19), kGreen);
    EXPECT_EQ(At(10, 19), kWhite);
    // A stage that cannot be made leaves none behind; closing releases stage and slots.
    const int live = CDIBSurface::InstanceCount();
    EXPECT_EQ(dib->CreateStage(320, 240), 0);  // in place of the old one
    EXPECT_EQ(CDIBSurface::InstanceCount(), live);
    EXPECT_EQ(dib->CreateStage(0, 480), -1);
    EXPECT_EQ(dib->GetSurface(CDIB::kStageIndex), nullptr);
    dib->SetSlotCount(2);
    dib->CreateSlot(1);
    dib->CloseAll();
    EXPECT_EQ(dib->slotCount, 0);
}

TEST_F(Screen, FitScreenStripsTileTheScreenAsStretchBltDraws)
{
    // The stage stretched over screens of these sizes, seen through a 1024 x 768 window at opposite
    // corners: after the 32 strips of a wipe no pixel is left white, and every strip, a smear's
    // rectangle and the whole stage show exactly what StretchBlt shows (into `expected`).
    Open(1024, 768);
    Paint(stage, [](int x, int y) { return (x * 0x10307u ^ y * 0x3010Bu) & 0x7F7F7F; });  // never white
    CDIBSurface* expected = Make(1024, -768);
    SetStretchBltMode(expected->GetMemDC(), COLORONCOLOR);
    auto same = [&] { return Pixels(Shot(), [&](int x, int y) { return *expected->PixelPtr(x, y); }, kWhite); };
    for (POINT size : {POINT{1366, 768}, POINT{1360, 768}, POINT{1680, 1050}, POINT{1280, 1024}, POINT{800, 600}})
        for (int corner : {0, 1}) {
            const TRect32 view = {corner * std::min(0, 1024 - int(size.x)), corner * std::min(0, 768 - int(size.y)),
                                  size.x, size.y};
            Put(expected, kWhite);
            auto present = [&](TRect32 s) {
                const TRect32 t = ScaledTarget(view, s, 640, 480);
                StretchBlt(expected->GetMemDC(), t.x, t.y, t.width, t.height, stage->GetMemDC(), s.x, s.y, s.width,
                           s.height, SRCCOPY);
                dib->PresentScaled(&view, &s);
            };
            for (int i = 31; i >= 0; --i)
                present(TRect32{20 * i, 0, 20, 480});
            EXPECT_TRUE(same()) << size.x << "x" << size.y;
            EXPECT_TRUE(Pixels(shot, [&](int x, int y) {
                return InRect(x, y, view.x, view.y, view.x + view.width, view.y + view.height) ? 0u : kWhite;
            }, 0x808080));
            present(TRect32{0, 0, 640, 301});
            present(TRect32{0, 0, 640, 480});
            EXPECT_TRUE(same());
        }
    const TRect32 cases[][3] = {  // the whole stage on the window, a stage rectangle, where it lands
        {{0, 0, 1280, 960}, {20, 0, 20, 480}, {40, 0, 40, 960}},
        {{0, 0, 800, 600}, {20, 0, 3, 480}, {25, 0, 3, 600}},  // 3.75 wide, truncated
        {{10, 5, 800, 600}, {3, 3, 1, 1}, {13, 8, 2, 2}},     // 3.75 to 5: each edge truncated
    };
    for (auto& c : cases) {
        const TRect32 t = ScaledTarget(c[0], c[1], 640, 480);
        EXPECT_TRUE(t.x == c[2].x && t.y == c[2].y && t.width == c[2].width && t.height == c[2].height) << t.x;
    }
}

TEST_F(Screen, PreviewDropsColumnsInsteadOfMixingThem)
{
    // A red and green chequerboard shrunk into the preview: each pixel shows one of the two, as
    // StretchBlt draws in COLORONCOLOR mode (other modes AND or average them), through GDI for a tiny
    // preview and through row copies for a larger one.
    for (POINT size : {POINT{80, 60}, POINT{300, 225}}) {
        Open(size.x, size.y);
        Paint(stage, [](int x, int y) { return (x + y) % 2 ? kRed : kGreen; });
        CDIBSurface* expected = Make(size.x, -size.y);
        SetStretchBltMode(expected->GetMemDC(), COLORONCOLOR);
        StretchBlt(expected->GetMemDC(), 0, 0, size.x, size.y, stage->GetMemDC(), 0, 0, 640, 480, SRCCOPY);
        const TRect32 view = {0, 0, size.x, size.y};
        dib->Present(&view, nullptr);
        EXPECT_TRUE(Pixels(Shot(), [&](int x, int y) {
            const DWORD p = *expected->PixelPtr(x, y) & 0xFFFFFF;
            return p == kRed || p == kGreen ? p : ~p;
        }, 0xFFFFFF)) << size.x;
        DestroyWindow(screen);
    }
}
