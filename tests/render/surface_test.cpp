// The surface: every pixel routine from one table against a plain formula, its order within a row, its
// clipped rectangle and result; the stretches' sampling; creating, refusing and releasing.
#include "surface_fixture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <iterator>
#include <random>
#include <string>

TEST_F(SurfaceTest, StretchesSampleMirrorClipAndKey)
{
    const DWORD kWhite = 0x00FFFFFF, kAbcdef = 0x00ABCDEF;
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, [](int x, int y) { return static_cast<DWORD>(x | y << 12); });
    *s->PixelPtr(5, 6) = kWhite;  // keyed out of StretchKeyed, also where rows repeat, but not of StretchBlt
    *s->PixelPtr(3, 4) = kAbcdef;  // keyed out of StretchFrom with bit 24, which compares all 32 bits...
    *s->PixelPtr(5, 4) = 0x7FABCDEF;  // ...so that this one is drawn
    // Arguments; the rectangle drawn and the source pixel each shows; StretchFrom's flags, 0 for StretchKeyed.
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
            d->StretchKeyed(c.dx, c.dy, c.dw, c.dh, s, c.sx, c.sy, c.sw, c.sh, kWhite);
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            const POINT p = Inside(x, c.left, c.right) && Inside(y, c.top, c.bottom) ? c.at(x, y) : POINT{-1, -1};
            const DWORD* v = s->PixelPtr(p.x, p.y);
            return !v || *v == (c.flags ? kAbcdef : kWhite) && c.flags != -1 ? PatternPixel(x, y, 1) : *v;
        }, c.flags == -1 ? 0xFFFFFF : 0xFFFFFFFF)) << "case " << &c - cases;
    }
    const RECT to = {0, 0, 4, 4};
    EXPECT_EQ(d->StretchFrom(&to, nullptr, &to, 0) + d->StretchFrom(nullptr, s, &to, 0) + d->StretchFrom(&to, s, nullptr, 0), -3);
}

// The plain stretch copies rows where it can; every bit must still be what StretchBlt draws, there and
// where it is left to StretchBlt (a rectangle reaching outside, a mirror).
TEST_F(SurfaceTest, PlainStretchDrawsWhatStretchBltDraws)
{
    CDIBSurface* s = Make(37, -23);
    CDIBSurface* d = Make(64, 48);
    CDIBSurface* gdi = Make(64, 48);
    Paint(s, [](int x, int y) { return PatternPixel(x, y, 2); });
    // Target and source rectangles: enlarged, 1:1, shrunk, one pixel into a row, at the source's far edges;
    // then one pixel outside the target, or the source, past each edge in turn, mirrored either way, and
    // within one surface (the last case).
    const RECT cases[][2] = {
        {{0, 0, 64, 48}, {0, 0, 37, 23}},    {{3, 5, 40, 28}, {0, 0, 37, 23}},   {{1, 2, 6, 9}, {2, 3, 37, 23}},
        {{0, 47, 64, 48}, {36, 22, 37, 23}}, {{0, 0, 17, 48}, {5, 0, 9, 23}},    {{-1, 0, 63, 48}, {0, 0, 37, 23}},
        {{0, -1, 64, 47}, {0, 0, 37, 23}},   {{59, 0, 65, 48}, {0, 0, 37, 23}},  {{0, 40, 64, 49}, {0, 0, 37, 23}},
        {{0, 0, 64, 48}, {-1, 0, 36, 23}},   {{0, 0, 64, 48}, {0, -1, 37, 22}},  {{0, 0, 64, 48}, {1, 0, 38, 23}},
        {{0, 0, 64, 48}, {0, 1, 37, 24}},    {{0, 0, 64, 48}, {37, 0, 0, 23}},   {{64, 0, 0, 48}, {0, 0, 37, 23}},
        {{0, 0, 64, 48}, {0, 0, 32, 24}},
    };
    for (const auto& c : cases) {
        const RECT &to = c[0], &from = c[1];
        const bool itself = &c == &cases[std::size(cases) - 1];
        Paint(d, [](int x, int y) { return PatternPixel(x, y, 3); });
        Paint(gdi, [](int x, int y) { return PatternPixel(x, y, 3); });
        ASSERT_EQ(d->StretchFrom(&to, itself ? d : s, &from, 0), 0);
        SetStretchBltMode(gdi->GetMemDC(), COLORONCOLOR);
        StretchBlt(gdi->GetMemDC(), to.left, to.top, to.right - to.left, to.bottom - to.top, (itself ? gdi : s)->GetMemDC(), from.left,
                   from.top, from.right - from.left, from.bottom - from.top, SRCCOPY);
        EXPECT_TRUE(Pixels(d, [&](int x, int y) { return *gdi->PixelPtr(x, y); })) << "case " << &c - cases;
    }
}

TEST_F(SurfaceTest, CreatingAgainRefusingAndDestroying)
{
    // (That GDI and PixelPtr see the same pixels, in both row orders, is shown by the copies through GDI.)
    CDIBSurface* s = Make(7, 5);
    for (POINT p : {POINT{7, 0}, POINT{0, 5}, POINT{-1, 0}, POINT{0, -1}})
        EXPECT_EQ(s->PixelPtr(p.x, p.y), nullptr) << p.x << "," << p.y;
    EXPECT_NE(s->PixelPtr(6, 4), nullptr);
    // Creating again, top-down, releases the first DIB section; destroying releases the second.
    HGDIOBJ first = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    ASSERT_EQ(s->Create(16, -8), 0);
    EXPECT_EQ(GetObjectType(first), 0u);
    HGDIOBJ second = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    s->Destroy();
    EXPECT_EQ(GetObjectType(second) + (s->PixelPtr(0, 0) != nullptr), 0u);
    EXPECT_EQ(s->Create(3, 3), 0);  // the window was kept
    // Bad sizes, sizes whose bytes do not fit 32 bits, and a missing window leave a surface empty.
    for (POINT size : {POINT{0, 10}, POINT{10, 0}, POINT{-4, 10}, POINT{INT_MAX, 2}, POINT{100000, -100000}, POINT{10, INT_MIN}}) {
        CDIBSurface t(window);
        EXPECT_EQ(t.Create(size.x, size.y) * 10 + (t.PixelPtr(0, 0) != nullptr) + t.GetWidth() + t.GetHeight(), -10) << size.x;
    }
    CDIBSurface none(nullptr);
    EXPECT_EQ(none.Create(10, 10), -1);
}
