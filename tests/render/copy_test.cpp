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
                const bool moved = x >= 10 + m.x && x < 40 + m.x && y >= 10 + m.y && y < 30 + m.y;
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
    EXPECT_TRUE(Pixels(d, [](int x, int y) {
        return x < 8 && y >= 3 && y < 13 ? PatternPixel(x + 2, y - 3, 5) : kUnused;
    }, 0xFFFFFF));
    // Bit 24 selects the keyed copy, which compares and writes colours with the fourth byte cleared;
    // so -1 keys on white.
    *s->PixelPtr(2, 2) = 0x00FFFFFF;
    *s->PixelPtr(3, 2) = 0xAAFFFFFF;
    d->Fill(0, 0, 16, 16, kUnused);
    ASSERT_EQ(d->BltFrom(0, 0, s, 0, 0, 16, 16, -1), 0);
    EXPECT_TRUE(Pixels(d, [&](int x, int y) {
        return y == 2 && (x == 2 || x == 3) ? kUnused : *s->PixelPtr(x, y) & 0xFFFFFF;
    }));
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
    EXPECT_TRUE(Pixels(d, [&](int x, int y) { return x / 2 == 3 && y / 2 == 4 ? kUnused : *s->PixelPtr(x / 2, y / 2); }));
}

TEST_F(SurfaceTest, StretchKeyedSamplingAndMirroring)
{
    CDIBSurface* s = Make(64, 48);
    CDIBSurface* d = Make(64, 48);
    Paint(s, Position);
    // The source columns drawn into the first ten of row 0, -1 where nothing was drawn.
    auto row = [&](int dx, int dw, int sx, int sw) {
        d->Fill(0, 0, 64, 48, kUnused);
        d->StretchKeyed(dx, 0, dw, 1, s, sx, 0, sw, 1, kUnused);
        std::vector<int> cols;
        for (int x = 0; x < 10; ++x)
            cols.push_back(*d->PixelPtr(x, 0) == kUnused ? -1 : static_cast<int>(*d->PixelPtr(x, 0) & 0xFFF));
        return cols;
    };
    EXPECT_EQ(row(0, 8, 10, 4), (std::vector<int>{10, 10, 11, 11, 12, 12, 13, 13, -1, -1}));
    EXPECT_EQ(row(0, 8, 13, -4), (std::vector<int>{13, 13, 12, 12, 11, 11, 10, 10, -1, -1}));
    EXPECT_EQ(row(-3, 8, 10, 4), (std::vector<int>{11, 12, 12, 13, 13, -1, -1, -1, -1, -1}));
    EXPECT_EQ(row(0, -8, 10, 4), (std::vector<int>{10, 9, 9, 8, 8, 7, 7, 6, -1, -1}));
    d->Fill(0, 0, 64, 48, kUnused);
    d->StretchKeyed(0, 0, 32, 24, s, 0, 0, 64, 48, kUnused);
    EXPECT_TRUE(Pixels(d, [](int x, int y) { return x < 32 && y < 24 ? Position(2 * x, 2 * y) : kUnused; }));

    // A zero or negative destination height draws nothing, a zero width neither (and does not divide
    // by 0); a zero source size spreads one pixel.
    d->Fill(0, 0, 64, 48, kUnused);
    d->StretchKeyed(0, 0, 10, 0, s, 0, 0, 10, 10, kUnused);
    d->StretchKeyed(0, 5, 10, -5, s, 0, 0, 10, 10, kUnused);
    d->StretchKeyed(0, 0, 0, 5, s, 0, 0, 10, 10, kUnused);
    EXPECT_TRUE(Pixels(d, [](int, int) { return kUnused; }));
    d->StretchKeyed(0, 0, 10, 10, s, 0, 0, 0, 0, kUnused);
    EXPECT_TRUE(Pixels(d, [](int x, int y) { return x < 10 && y < 10 ? Position(0, 0) : kUnused; }));
}

TEST_F(SurfaceTest, StretchKeyedClipsToBothSurfaces)
{
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, Position);
    // Upside down, the lower half below the destination.
    d->Fill(0, 0, 16, 16, kUnused);
    d->StretchKeyed(0, 12, 8, 8, s, 0, 7, 8, -8, kUnused);
    EXPECT_TRUE(Pixels(d, [](int x, int y) { return x < 8 && y >= 12 ? Position(x, 19 - y) : kUnused; }));
    // The source rectangle half outside on every side: samples that fall outside are not drawn.
    d->Fill(0, 0, 16, 16, kUnused);
    d->StretchKeyed(0, 0, 16, 16, s, -4, -4, 16, 16, kUnused);
    EXPECT_TRUE(Pixels(d, [](int x, int y) {
        return x >= 4 && x < 12 && y >= 4 && y < 12 ? Position(x - 4, y - 4) : kUnused;
    }));
}
