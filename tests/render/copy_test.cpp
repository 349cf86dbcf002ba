// Copies: plain and overlapping, the GDI paths with their keyed variants, and the nearest-neighbour
// keyed stretch.
#include "surface_fixture.h"

namespace {

// A pixel value naming its own position: x in the low 12 bits, y above.
DWORD Position(int x, int y) { return static_cast<DWORD>(x) | static_cast<DWORD>(y) << 12; }

const DWORD kUnused = 0xDEADBEEF;

}  // namespace

TEST_F(SurfaceTest, CopyFromMovesTheRectangle)
{
    // From a surface of the other row order, and within one surface by less than the rectangle in
    // every direction, so that source and destination overlap.
    CDIBSurface* s = Make(64, 48);
    CDIBSurface* other = Make(64, -48);
    for (POINT m : {POINT{0, 3}, POINT{0, -3}, POINT{5, 0}, POINT{-5, 0}, POINT{4, 2}, POINT{-4, -2}})
        for (CDIBSurface* from : {s, other}) {
            FillPattern(s, 3);
            FillPattern(other, 4);
            ASSERT_EQ(s->CopyFrom(10 + m.x, 10 + m.y, from, 10, 10, 30, 20), 0);
            EXPECT_TRUE(Pixels(s, [&](int x, int y) {
                const bool moved = InRect(x, y, 10 + m.x, 10 + m.y, 40 + m.x, 30 + m.y);
                return moved ? PatternPixel(x - m.x, y - m.y, from == s ? 3 : 4) : PatternPixel(x, y, 3);
            })) << "by " << m.x << "," << m.y << (from == s ? " within" : " between");
        }
    EXPECT_EQ(s->CopyFrom(0, 0, nullptr, 0, 0, 5, 5), -1);
    EXPECT_EQ(s->CopyFrom(64, 0, other, 0, 0, 5, 5), -1);
}

TEST_F(SurfaceTest, BltFromCopiesWhatBitBltCopiesOrKeys)
{
    CDIBSurface* d = Make(16, 16);
    CDIBSurface* s = Make(16, -16);
    FillPattern(s, 5);
    // The plain path goes through BitBlt after clipping (negative destination x).
    d->Fill(0, 0, 16, 16, kUnused);
    ASSERT_EQ(d->BltFrom(-2, 3, s, 0, 0, 10, 10, 0), 0);
    GdiFlush();
    auto copied = [](int x, int y) { return InRect(x, y, 0, 3, 8, 13) ? PatternPixel(x + 2, y - 3, 5) : kUnused; };
    EXPECT_TRUE(Pixels(d, copied, 0xFFFFFF));
    // Bit 24 selects the keyed copy, which compares and writes colours with the fourth byte cleared;
    // so -1 keys on white.
    *s->PixelPtr(2, 2) = 0x00FFFFFF;
    *s->PixelPtr(3, 2) = 0xAAFFFFFF;
    d->Fill(0, 0, 16, 16, kUnused);
    ASSERT_EQ(d->BltFrom(0, 0, s, 0, 0, 16, 16, -1), 0);
    auto keyed = [&](int x, int y) { return InRect(x, y, 2, 2, 4, 3) ? kUnused : *s->PixelPtr(x, y) & 0xFFFFFF; };
    EXPECT_TRUE(Pixels(d, keyed));
    EXPECT_EQ(d->BltFrom(0, 0, nullptr, 0, 0, 4, 4, 0), -1);
    EXPECT_EQ(d->BltFrom(16, 0, s, 0, 0, 4, 4, 0), -1);
}

TEST_F(SurfaceTest, StretchFromCopiesWhatStretchBltCopiesOrKeys)
{
    CDIBSurface* s = Make(20, 15);
    CDIBSurface* d = Make(40, -30);
    CDIBSurface* direct = Make(40, 30);
    FillPattern(s, 6);
    const RECT to = {0, 0, 40, 30}, from = {0, 0, 20, 15};
    ASSERT_EQ(d->StretchFrom(&to, s, &from, -1), 0);  // -1 takes the plain path
    SetStretchBltMode(direct->GetMemDC(), COLORONCOLOR);
    StretchBlt(direct->GetMemDC(), 0, 0, 40, 30, s->GetMemDC(), 0, 0, 20, 15, SRCCOPY);
    GdiFlush();
    EXPECT_TRUE(Pixels(d, [&](int x, int y) { return *direct->PixelPtr(x, y); }, 0xFFFFFF));
    EXPECT_TRUE(Pixels(d, [](int x, int y) { return PatternPixel(x / 2, y / 2, 6); }, 0xFFFFFF));
    EXPECT_EQ(d->StretchFrom(&to, nullptr, &from, 0), -1);
    EXPECT_EQ(d->StretchFrom(nullptr, s, &from, 0), -1);
    // With bit 24 set the low three bytes are the key of a keyed stretch, which compares all 32 bits.
    *s->PixelPtr(3, 4) = 0x00ABCDEF;
    *s->PixelPtr(5, 4) = 0x7FABCDEF;
    d->Fill(0, 0, 40, 30, kUnused);
    ASSERT_EQ(d->StretchFrom(&to, s, &from, 0x01ABCDEF), 0);
    auto keyed = [&](int x, int y) { return x / 2 == 3 && y / 2 == 4 ? kUnused : *s->PixelPtr(x / 2, y / 2); };
    EXPECT_TRUE(Pixels(d, keyed));
}

TEST_F(SurfaceTest, StretchKeyedSamplingMirroringAndClipping)
{
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, Position);
    // Arguments, then the rectangle drawn and the source pixel each of its pixels shows.
    struct Case { int dx, dy, dw, dh, sx, sy, sw, sh, left, top, right, bottom; DWORD (*at)(int x, int y); };
    const Case cases[] = {
        {0, 0, 8, 1, 2, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return Position(2 + x / 2, 0); }},
        // A negative source width walks back from its column, a negative destination width as well.
        {0, 0, 8, 1, 5, 0, -4, 1, 0, 0, 8, 1, [](int x, int) { return Position(5 - x / 2, 0); }},
        {0, 0, -8, 1, 6, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return Position(6 - (x + 1) / 2, 0); }},
        {-3, 0, 8, 1, 2, 0, 4, 1, 0, 0, 5, 1, [](int x, int) { return Position(2 + (x + 3) / 2, 0); }},
        {0, 0, 4, 4, 0, 0, 8, 8, 0, 0, 4, 4, [](int x, int y) { return Position(2 * x, 2 * y); }},
        // Upside down with the lower half below the destination.
        {0, 12, 8, 8, 0, 7, 8, -8, 0, 12, 8, 16, [](int x, int y) { return Position(x, 19 - y); }},
        // The source rectangle half outside on every side: samples that fall outside are not drawn.
        {0, 0, 16, 16, -4, -4, 16, 16, 4, 4, 12, 12, [](int x, int y) { return Position(x - 4, y - 4); }},
        // A zero source size spreads one pixel; a zero or negative destination size draws nothing
        // (and a zero one does not divide by 0).
        {0, 0, 10, 10, 0, 0, 0, 0, 0, 0, 10, 10, [](int, int) { return Position(0, 0); }},
        {0, 0, 10, 0, 0, 0, 8, 8, 0, 0, 0, 0, nullptr},
        {0, 5, 10, -5, 0, 0, 8, 8, 0, 0, 0, 0, nullptr},
        {0, 0, 0, 5, 0, 0, 8, 8, 0, 0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        d->Fill(0, 0, 16, 16, kUnused);
        d->StretchKeyed(c.dx, c.dy, c.dw, c.dh, s, c.sx, c.sy, c.sw, c.sh, kUnused);
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            return InRect(x, y, c.left, c.top, c.right, c.bottom) ? c.at(x, y) : kUnused;
        })) << "case " << &c - cases;
    }
}
