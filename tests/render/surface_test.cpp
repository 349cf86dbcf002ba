// The surface itself: creating, refusing and releasing, where its rows lie, and the sampling of the two
// stretches.
#include <climits>

#include "surface_fixture.h"

TEST_F(SurfaceTest, PixelPtrIsNullJustOutsideEachEdge)
{
    CDIBSurface* s = Make(7, 5);
    for (POINT p : {POINT{7, 0}, POINT{0, 5}, POINT{-1, 0}, POINT{0, -1}})
        EXPECT_EQ(s->PixelPtr(p.x, p.y), nullptr) << p.x << "," << p.y;
    EXPECT_NE(s->PixelPtr(6, 4), nullptr);
}

TEST_F(SurfaceTest, BottomUpSurfaceHoldsItsTopRowLastInMemory)
{
    CDIBSurface* s = Make(640, 480);
    EXPECT_EQ(s->GetPitch(), -2560);
    EXPECT_EQ(s->PixelPtr(0, 479), s->GetBits());
    EXPECT_EQ(s->GetBitmapInfo()->bmiHeader.biHeight, 480);
}

// Creating again, or destroying, releases the section; a destroyed surface can be created again.
TEST_F(SurfaceTest, CreateAndDestroyReleaseTheSection)
{
    CDIBSurface* s = Make(7, 5);
    HGDIOBJ first = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    ASSERT_EQ(s->Create(16, -8), 0);
    EXPECT_EQ(GetObjectType(first), 0u);
    HGDIOBJ second = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    s->Destroy();
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(s->PixelPtr(0, 0), nullptr);
    EXPECT_EQ(s->Create(3, 3), 0);
}

// No window, no pixels, or more bytes than 32 bits count: the surface stays empty.
TEST_F(SurfaceTest, CreateRefusesSizesWithoutPixelsOrPast32Bits)
{
    for (POINT size : {POINT{0, 10}, POINT{10, 0}, POINT{-4, 10}, POINT{INT_MAX, 2}, POINT{100000, -100000},
                       POINT{10, INT_MIN}}) {
        CDIBSurface t(window);
        EXPECT_EQ(t.Create(size.x, size.y), -1) << size.x << " by " << size.y;
        EXPECT_EQ(t.PixelPtr(0, 0), nullptr) << size.x << " by " << size.y;
        EXPECT_EQ(t.GetWidth(), 0) << size.x << " by " << size.y;
    }
    CDIBSurface none(nullptr);
    EXPECT_EQ(none.Create(10, 10), -1);
}

// Each case: the arguments, the rectangle drawn, the source pixel each destination pixel shows, and
// StretchFrom's flags (0: StretchKeyed itself, keyed on white).
struct StretchCase {
    const char* what;
    RECT to, from, drawn;
    POINT (*at)(int x, int y);
    int flags;
};

TEST_F(SurfaceTest, StretchesSampleMirrorClipAndKey)
{
    const DWORD kWhite = 0x00FFFFFF, kAbcdef = 0x00ABCDEF;
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, [](int x, int y) { return static_cast<DWORD>(x | y << 12); });
    *s->PixelPtr(5, 6) = kWhite;      // keyed out of StretchKeyed, but not of StretchBlt
    *s->PixelPtr(3, 4) = kAbcdef;     // keyed out of StretchFrom with bit 24, which compares all 32 bits...
    *s->PixelPtr(5, 4) = 0x7FABCDEF;  // ...so that this one is drawn
    auto half = [](int x, int y) { return POINT{x / 2, y / 2}; };
    const StretchCase cases[] = {
        {"doubled", {0, 0, 8, 1}, {2, 0, 6, 1}, {0, 0, 8, 1}, [](int x, int) { return POINT{2 + x / 2, 0}; }, 0},
        {"source mirrored", {0, 0, 8, 1}, {5, 0, 1, 1}, {0, 0, 8, 1}, [](int x, int) { return POINT{5 - x / 2, 0}; },
         0},
        {"target mirrored", {0, 0, -8, 1}, {6, 0, 10, 1}, {0, 0, 8, 1},
         [](int x, int) { return POINT{6 - (x + 1) / 2, 0}; }, 0},
        {"left of the target", {-3, 0, 5, 1}, {2, 0, 6, 1}, {0, 0, 5, 1},
         [](int x, int) { return POINT{2 + (x + 3) / 2, 0}; }, 0},
        {"halved", {0, 0, 4, 4}, {0, 0, 8, 8}, {0, 0, 4, 4}, [](int x, int y) { return POINT{2 * x, 2 * y}; }, 0},
        {"doubled both ways", {0, 0, 16, 16}, {0, 0, 8, 8}, {0, 0, 16, 16}, half, 0},
        {"upside down, half below", {0, 12, 8, 20}, {0, 7, 8, -1}, {0, 12, 8, 16},
         [](int x, int y) { return POINT{x, 19 - y}; }, 0},
        {"source half outside", {0, 0, 16, 16}, {-4, -4, 12, 12}, {4, 4, 12, 12},
         [](int x, int y) { return POINT{x - 4, y - 4}; }, 0},
        {"one pixel spread", {0, 0, 10, 10}, {0, 0, 0, 0}, {0, 0, 10, 10}, [](int, int) { return POINT{0, 0}; }, 0},
        {"StretchBlt for -1", {0, 0, 16, 16}, {0, 0, 8, 8}, {0, 0, 16, 16}, half, -1},
        {"keyed by bit 24", {0, 0, 16, 16}, {0, 0, 8, 8}, {0, 0, 16, 16}, half, 0x01ABCDEF},
    };
    for (const StretchCase& c : cases) {
        SCOPED_TRACE(c.what);
        Paint(d, [](int x, int y) { return PatternPixel(x, y, 1); });
        if (c.flags != 0) {
            ASSERT_EQ(d->StretchFrom(&c.to, s, &c.from, c.flags), 0);
        } else {
            d->StretchKeyed(c.to.left, c.to.top, c.to.right - c.to.left, c.to.bottom - c.to.top, s, c.from.left,
                            c.from.top, c.from.right - c.from.left, c.from.bottom - c.from.top, kWhite);
        }
        const DWORD key = c.flags == -1 ? 0xFFFFFFFF : c.flags != 0 ? kAbcdef : kWhite;  // -1: nothing keyed
        EXPECT_TRUE(PixelsMatch(d, [&](int x, int y) {
            const bool drawn = Inside(x, c.drawn.left, c.drawn.right) && Inside(y, c.drawn.top, c.drawn.bottom);
            const DWORD* v = drawn ? s->PixelPtr(c.at(x, y).x, c.at(x, y).y) : nullptr;
            return v == nullptr || *v == key ? PatternPixel(x, y, 1) : *v;
        }, c.flags == -1 ? 0xFFFFFF : 0xFFFFFFFF));  // GDI's StretchBlt decides the fourth byte
    }
}

TEST_F(SurfaceTest, StretchFromRefusesAMissingArgument)
{
    CDIBSurface* s = Make(4, 4);
    const RECT r = {0, 0, 4, 4};
    EXPECT_EQ(s->StretchFrom(&r, nullptr, &r, 0), -1);
    EXPECT_EQ(s->StretchFrom(nullptr, s, &r, 0), -1);
    EXPECT_EQ(s->StretchFrom(&r, s, nullptr, 0), -1);
}
