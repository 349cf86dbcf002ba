// CDIB: a slot's surface kept across loads, and what lands on a real window when presenting.
#include "../render/surface_fixture.h"
#include "render/display_context.h"

namespace {

const DWORD kWhite = 0x00FFFFFF;
const char* const kMissing = "no such folder\\slide_01.qjx";

// A 1024 x 768 window; what it shows is read into shot and compared with expected.
class DisplayTest : public SurfaceTest {
protected:
    DisplayTest()
    {
        screen = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr,
                                 nullptr, nullptr);
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
