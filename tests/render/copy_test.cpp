// Copies: plain and overlapping, the GDI paths with their keyed variants, and the keyed stretch.
#include "surface_fixture.h"

namespace {

// A pixel value naming its own position: x in the low 12 bits, y above.
DWORD Position(int x, int y) { return static_cast<DWORD>(x) | static_cast<DWORD>(y) << 12; }

const DWORD kUnused = 0xDEADBEEF;

}  // namespace

TEST_F(SurfaceTest, CopyFromMovesTheRectangle)
{
    // Within one surface by less than the rectangle in every direction, so that source and destination
    // overlap, and from one of the other row order.
    CDIBSurface* s = Make(64, 48);
    CDIBSurface* other = Make(64, -48);
    for (POINT m : {POINT{0, 3}, POINT{0, -3}, POINT{5, 0}, POINT{-5, 0}, POINT{4, 2}, POINT{-4, -2}})
        for (CDIBSurface* from : {s, other}) {
            Paint(s, [](int x, int y) { return PatternPixel(x, y, 3); });
            Paint(other, [](int x, int y) { return PatternPixel(x, y, 4); });
            ASSERT_EQ(s->CopyFrom(10 + m.x, 10 + m.y, from, 10, 10, 30, 20), 0);
            EXPECT_TRUE(Pixels(s, [&](int x, int y) {
                const bool moved = InRect(x, y, 10 + m.x, 10 + m.y, 40 + m.x, 30 + m.y);
                return moved ? PatternPixel(x - m.x, y - m.y, from == s ? 3 : 4) : PatternPixel(x, y, 3);
            })) << m.x << "," << m.y << (from == s ? " within" : " between");
        }
    EXPECT_EQ(s->CopyFrom(0, 0, nullptr, 0, 0, 5, 5) + s->CopyFrom(64, 0, other, 0, 0, 5, 5), -2);
}

TEST_F(SurfaceTest, GdiPathsAndTheirKeyedVariants)
{
    CDIBSurface* s = Make(20, -15);
    CDIBSurface* d = Make(40, 30);
    Paint(s, [](int x, int y) { return PatternPixel(x, y, 6); });
    *s->PixelPtr(2, 2) = 0x00FFFFFF;
    *s->PixelPtr(3, 2) = 0xAAFFFFFF;
    // BitBlt after clipping (a negative destination x); bit 24 keys instead, on the colour with the
    // fourth byte cleared, so -1 skips white whatever the fourth byte.
    for (int flags : {0, -1}) {
        d->Fill(0, 0, 40, 30, kUnused);
        ASSERT_EQ(d->BltFrom(-2, 3, s, 0, 0, 10, 10, flags), 0);
        GdiFlush();
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            const DWORD p = InRect(x, y, 0, 3, 8, 13) ? *s->PixelPtr(x + 2, y - 3) & 0xFFFFFF : kUnused;
            return flags && p == 0xFFFFFF ? kUnused : p;
        }, 0xFFFFFF)) << flags;
    }
    // StretchBlt for -1; with bit 24 the low three bytes key a stretch that compares all 32 bits.
    const RECT to = {0, 0, 40, 30}, from = {0, 0, 20, 15};
    *s->PixelPtr(3, 4) = 0x00ABCDEF;
    *s->PixelPtr(5, 4) = 0x7FABCDEF;
    for (int flags : {-1, 0x01ABCDEF}) {
        d->Fill(0, 0, 40, 30, kUnused);
        ASSERT_EQ(d->StretchFrom(&to, s, &from, flags), 0);
        GdiFlush();
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            return flags > 0 && x / 2 == 3 && y / 2 == 4 ? kUnused : *s->PixelPtr(x / 2, y / 2);
        }, flags > 0 ? 0xFFFFFFFF : 0xFFFFFF)) << flags;
    }
    EXPECT_EQ(d->StretchFrom(&to, nullptr, &from, 0) + d->StretchFrom(nullptr, s, &from, 0), -2);
    EXPECT_EQ(d->BltFrom(0, 0, nullptr, 0, 0, 4, 4, 0) + d->BltFrom(40, 0, s, 0, 0, 4, 4, 0), -2);
}

TEST_F(SurfaceTest, StretchKeyedSamplingMirroringAndClipping)
{
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, Position);
    *s->PixelPtr(5, 6) = kUnused;  // keyed out, also where rows repeat
    // Arguments, then the rectangle drawn and the source pixel each of its pixels shows.
    struct Case { int dx, dy, dw, dh, sx, sy, sw, sh, left, top, right, bottom; DWORD (*at)(int x, int y); };
    const Case cases[] = {
        {0, 0, 8, 1, 2, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return Position(2 + x / 2, 0); }},
        // A negative source width walks back from its column, a negative destination width as well.
        {0, 0, 8, 1, 5, 0, -4, 1, 0, 0, 8, 1, [](int x, int) { return Position(5 - x / 2, 0); }},
        {0, 0, -8, 1, 6, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return Position(6 - (x + 1) / 2, 0); }},
        {-3, 0, 8, 1, 2, 0, 4, 1, 0, 0, 5, 1, [](int x, int) { return Position(2 + (x + 3) / 2, 0); }},
        {0, 0, 4, 4, 0, 0, 8, 8, 0, 0, 4, 4, [](int x, int y) { return Position(2 * x, 2 * y); }},
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return Position(x / 2, y / 2); }},
        // Upside down with the lower half below the destination.
        {0, 12, 8, 8, 0, 7, 8, -8, 0, 12, 8, 16, [](int x, int y) { return Position(x, 19 - y); }},
        // The source rectangle half outside on every side: samples that fall outside are not drawn.
        {0, 0, 16, 16, -4, -4, 16, 16, 4, 4, 12, 12, [](int x, int y) { return Position(x - 4, y - 4); }},
        // A zero source size spreads one pixel; a zero or negative destination size draws nothing.
        {0, 0, 10, 10, 0, 0, 0, 0, 0, 0, 10, 10, [](int, int) { return Position(0, 0); }},
        {0, 0, 10, 0, 0, 0, 8, 8, 0, 0, 0, 0, nullptr},
        {0, 5, 10, -5, 0, 0, 8, 8, 0, 0, 0, 0, nullptr},
        {0, 0, 0, 5, 0, 0, 8, 8, 0, 0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        Paint(d, [](int x, int y) { return PatternPixel(x, y, 1); });
        d->StretchKeyed(c.dx, c.dy, c.dw, c.dh, s, c.sx, c.sy, c.sw, c.sh, kUnused);
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            const DWORD p = InRect(x, y, c.left, c.top, c.right, c.bottom) ? c.at(x, y) : kUnused;
            return p == kUnused || p == Position(5, 6) ? PatternPixel(x, y, 1) : p;
        })) << "case " << &c - cases;
    }
}
