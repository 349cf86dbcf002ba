// The stretches: the keyed one in software, and StretchFrom's GDI path and keyed variant.
#include "surface_fixture.h"

namespace {

const DWORD kKey = 0xDEADBEEF, kAbc = 0x00ABCDEF;

}  // namespace

TEST_F(SurfaceTest, StretchesSampleMirrorClipAndKey)
{
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, [](int x, int y) { return static_cast<DWORD>(x | y << 12); });
    *s->PixelPtr(5, 6) = kKey;  // keyed out of StretchKeyed, also where rows repeat
    *s->PixelPtr(3, 4) = kAbc;  // keyed out of StretchFrom with bit 24, which compares all 32 bits...
    *s->PixelPtr(5, 4) = 0x7FABCDEF;  // ...so that this one is drawn
    // Arguments; the rectangle drawn and the source pixel each of its pixels shows; StretchFrom's flags
    // or 0 for StretchKeyed.
    struct Case { int dx, dy, dw, dh, sx, sy, sw, sh, left, top, right, bottom; POINT (*at)(int x, int y); int flags; };
    const Case cases[] = {
        {0, 0, 8, 1, 2, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return POINT{2 + x / 2, 0}; }, 0},
        // A negative source width walks back from its column, a negative destination width as well.
        {0, 0, 8, 1, 5, 0, -4, 1, 0, 0, 8, 1, [](int x, int) { return POINT{5 - x / 2, 0}; }, 0},
        {0, 0, -8, 1, 6, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return POINT{6 - (x + 1) / 2, 0}; }, 0},
        {-3, 0, 8, 1, 2, 0, 4, 1, 0, 0, 5, 1, [](int x, int) { return POINT{2 + (x + 3) / 2, 0}; }, 0},
        {0, 0, 4, 4, 0, 0, 8, 8, 0, 0, 4, 4, [](int x, int y) { return POINT{2 * x, 2 * y}; }, 0},
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return POINT{x / 2, y / 2}; }, 0},
        // Upside down with the lower half below the destination.
        {0, 12, 8, 8, 0, 7, 8, -8, 0, 12, 8, 16, [](int x, int y) { return POINT{x, 19 - y}; }, 0},
        // The source rectangle half outside on every side: samples that fall outside are not drawn.
        {0, 0, 16, 16, -4, -4, 16, 16, 4, 4, 12, 12, [](int x, int y) { return POINT{x - 4, y - 4}; }, 0},
        // A zero source size spreads one pixel.
        {0, 0, 10, 10, 0, 0, 0, 0, 0, 0, 10, 10, [](int, int) { return POINT{0, 0}; }, 0},
        // StretchBlt for -1 (the fourth byte is GDI's); with bit 24 the low three bytes are the key.
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return POINT{x / 2, y / 2}; }, -1},
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return POINT{x / 2, y / 2}; }, 0x01ABCDEF},
    };
    for (const Case& c : cases) {
        Paint(d, [](int x, int y) { return PatternPixel(x, y, 1); });
        const RECT to = {c.dx, c.dy, c.dx + c.dw, c.dy + c.dh}, from = {c.sx, c.sy, c.sx + c.sw, c.sy + c.sh};
        if (c.flags)
            ASSERT_EQ(d->StretchFrom(&to, s, &from, c.flags), 0);
        else
            d->StretchKeyed(c.dx, c.dy, c.dw, c.dh, s, c.sx, c.sy, c.sw, c.sh, kKey);
        GdiFlush();
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            const POINT p = Inside(x, c.left, c.right) && Inside(y, c.top, c.bottom) ? c.at(x, y) : POINT{-1, -1};
            const DWORD* v = s->PixelPtr(p.x, p.y);
            return !v || *v == (c.flags ? kAbc : kKey) && c.flags != -1 ? PatternPixel(x, y, 1) : *v;
        }, c.flags == -1 ? 0xFFFFFF : 0xFFFFFFFF)) << "case " << &c - cases;
    }
    const RECT to = {0, 0, 4, 4};
    EXPECT_EQ(d->StretchFrom(&to, nullptr, &to, 0) + d->StretchFrom(nullptr, s, &to, 0) + d->StretchFrom(&to, s, nullptr, 0), -3);
}
