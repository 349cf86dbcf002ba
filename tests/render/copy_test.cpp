// Copies: plain and overlapping, colour-keyed, the nearest-neighbour keyed stretch, and the GDI paths.
#include "surface_fixture.h"

namespace {

// Source pixel value naming its own position: x in the low 12 bits, y above.
DWORD Position(int x, int y)
{
    return static_cast<DWORD>(x) | static_cast<DWORD>(y) << 12;
}

void FillPositions(CDIBSurface* s)
{
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x)
            *s->PixelPtr(x, y) = Position(x, y);
}

const DWORD kUnused = 0xDEADBEEF;

}  // namespace

TEST_F(SurfaceTest, CopyFromBetweenSurfacesOfBothRowOrders)
{
    CDIBSurface* a = Make(40, 30);
    CDIBSurface* b = Make(50, -20);
    FillPattern(a, 1);
    FillPattern(b, 2);
    ASSERT_EQ(a->CopyFrom(5, 6, b, 7, 8, 20, 10), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool in = x >= 5 && x < 25 && y >= 6 && y < 16;
            ASSERT_EQ(*a->PixelPtr(x, y), in ? PatternPixel(x + 2, y + 2, 2) : PatternPixel(x, y, 1)) << x << "," << y;
        }
    EXPECT_EQ(a->CopyFrom(0, 0, nullptr, 0, 0, 5, 5), -1);
    EXPECT_EQ(a->CopyFrom(40, 0, b, 0, 0, 5, 5), -1);
}

TEST_F(SurfaceTest, CopyFromOverlappingWithinOneSurface)
{
    // Down, up, right and left by less than the rectangle: the result is the original rectangle moved.
    const int moves[][2] = {{0, 3}, {0, -3}, {5, 0}, {-5, 0}, {4, 2}, {-4, -2}};
    for (auto& m : moves) {
        CDIBSurface* s = Make(64, 48);
        FillPattern(s, 3);
        ASSERT_EQ(s->CopyFrom(10 + m[0], 10 + m[1], s, 10, 10, 30, 20), 0);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(*s->PixelPtr(10 + m[0] + x, 10 + m[1] + y), PatternPixel(10 + x, 10 + y, 3))
                    << m[0] << "," << m[1] << " at " << x << "," << y;
        s->Destroy();
    }
}

TEST_F(SurfaceTest, SmearRowDownwards)
{
    // The smear transition copies one row onto every row above it, one call per row.
    CDIBSurface* s = Make(640, 480);
    FillPattern(s, 4);
    for (int y = 6; y >= 0; --y)
        ASSERT_EQ(s->CopyFrom(0, y, s, 0, 6, 640, 1), 0);
    for (int y = 0; y <= 6; ++y)
        for (int x = 0; x < 640; x += 37)
            ASSERT_EQ(*s->PixelPtr(x, y), PatternPixel(x, 6, 4));
    EXPECT_EQ(*s->PixelPtr(3, 7), PatternPixel(3, 7, 4));
}

TEST_F(SurfaceTest, CopyKeyedClearsFourthByteBeforeComparing)
{
    CDIBSurface* d = Make(4, 1);
    CDIBSurface* s = Make(4, 1);
    const DWORD src[4] = {0x00000000, 0x7F000000, 0x11223344, 0xFF010203};
    for (int i = 0; i < 4; ++i) {
        *s->PixelPtr(i, 0) = src[i];
        *d->PixelPtr(i, 0) = kUnused;
    }
    d->CopyKeyed(0, 0, s, 0, 0, 4, 1, 0);
    EXPECT_EQ(*d->PixelPtr(0, 0), kUnused);
    EXPECT_EQ(*d->PixelPtr(1, 0), kUnused);  // black whatever its fourth byte
    EXPECT_EQ(*d->PixelPtr(2, 0), 0x00223344u);
    EXPECT_EQ(*d->PixelPtr(3, 0), 0x00010203u);

    // The stretch compares all 32 bits: only a pixel that is 0 in all four bytes is skipped.
    for (int i = 0; i < 4; ++i)
        *d->PixelPtr(i, 0) = kUnused;
    d->StretchKeyed(0, 0, 4, 1, s, 0, 0, 4, 1, 0);
    EXPECT_EQ(*d->PixelPtr(0, 0), kUnused);
    EXPECT_EQ(*d->PixelPtr(1, 0), 0x7F000000u);
    EXPECT_EQ(*d->PixelPtr(3, 0), 0xFF010203u);
}

TEST_F(SurfaceTest, BltFromPlainAndKeyed)
{
    CDIBSurface* d = Make(16, 16);
    CDIBSurface* s = Make(16, -16);
    FillPattern(s, 5);
    *s->PixelPtr(2, 2) = 0x00FFFFFF;
    *s->PixelPtr(3, 2) = 0xAAFFFFFF;
    d->Fill(0, 0, 16, 16, kUnused);
    ASSERT_EQ(d->BltFrom(0, 0, s, 0, 0, 16, 16, -1), 0);  // bit 24 set: keyed on white
    EXPECT_EQ(*d->PixelPtr(2, 2), kUnused);
    EXPECT_EQ(*d->PixelPtr(3, 2), kUnused);
    EXPECT_EQ(*d->PixelPtr(4, 2), PatternPixel(4, 2, 5) & 0xFFFFFF);

    // The plain path goes through BitBlt; clipping happens first (negative destination).
    d->Fill(0, 0, 16, 16, kUnused);
    ASSERT_EQ(d->BltFrom(-2, 3, s, 0, 0, 10, 10, 0), 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool in = x < 8 && y >= 3 && y < 13;
            ASSERT_EQ(*d->PixelPtr(x, y) & 0xFFFFFF, in ? *s->PixelPtr(x + 2, y - 3) & 0xFFFFFF : kUnused & 0xFFFFFF)
                << x << "," << y;
        }
    EXPECT_EQ(d->BltFrom(0, 0, nullptr, 0, 0, 4, 4, 0), -1);
    EXPECT_EQ(d->BltFrom(16, 0, s, 0, 0, 4, 4, 0), -1);
}

TEST_F(SurfaceTest, StretchFromPlainCopiesWhatStretchBltCopies)
{
    CDIBSurface* s = Make(20, 15);
    CDIBSurface* d = Make(40, -30);
    CDIBSurface* direct = Make(40, 30);
    FillPattern(s, 6);
    const RECT to = {0, 0, 40, 30}, from = {0, 0, 20, 15};
    ASSERT_EQ(d->StretchFrom(&to, s, &from, -1), 0);  // -1 is the plain path
    SetStretchBltMode(direct->GetMemDC(), COLORONCOLOR);
    StretchBlt(direct->GetMemDC(), 0, 0, 40, 30, s->GetMemDC(), 0, 0, 20, 15, SRCCOPY);
    GdiFlush();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(*d->PixelPtr(x, y) & 0xFFFFFF, *direct->PixelPtr(x, y) & 0xFFFFFF);
            ASSERT_EQ(*d->PixelPtr(x, y) & 0xFFFFFF, PatternPixel(x / 2, y / 2, 6) & 0xFFFFFF) << x << "," << y;
        }
    EXPECT_EQ(d->StretchFrom(&to, nullptr, &from, 0), -1);
    EXPECT_EQ(d->StretchFrom(nullptr, s, &from, 0), -1);
}

TEST_F(SurfaceTest, StretchFromKeyedGoesToStretchKeyed)
{
    CDIBSurface* s = Make(4, 1);
    CDIBSurface* d = Make(8, 1);
    FillPositions(s);
    *s->PixelPtr(1, 0) = 0x00ABCDEF;
    d->Fill(0, 0, 8, 1, kUnused);
    const RECT to = {0, 0, 8, 1}, from = {0, 0, 4, 1};
    ASSERT_EQ(d->StretchFrom(&to, s, &from, 0x01ABCDEF), 0);
    const DWORD want[8] = {0, 0, kUnused, kUnused, 2, 2, 3, 3};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(*d->PixelPtr(x, 0), want[x]) << x;
}

TEST_F(SurfaceTest, StretchKeyedSampling)
{
    CDIBSurface* s = Make(640, 480);
    CDIBSurface* d = Make(640, 480);
    FillPositions(s);
    auto row = [&](int dx, int dw, int sx, int sw) {
        d->Fill(0, 0, 640, 480, kUnused);
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

    d->Fill(0, 0, 640, 480, kUnused);
    d->StretchKeyed(0, 0, 320, 240, s, 0, 0, 640, 480, kUnused);
    for (int y = 0; y < 240; y += 7)
        for (int x = 0; x < 320; x += 3)
            ASSERT_EQ(*d->PixelPtr(x, y), Position(2 * x, 2 * y));
    EXPECT_EQ(*d->PixelPtr(320, 0), kUnused);

    // Zero or negative destination height draws nothing; a zero width neither (and does not divide by 0).
    d->Fill(0, 0, 640, 480, kUnused);
    d->StretchKeyed(0, 0, 10, 0, s, 0, 0, 10, 10, kUnused);
    d->StretchKeyed(0, 5, 10, -5, s, 0, 0, 10, 10, kUnused);
    d->StretchKeyed(0, 0, 0, 5, s, 0, 0, 10, 10, kUnused);
    d->StretchKeyed(0, 0, 10, 10, s, 0, 0, 0, 0, kUnused);  // one source pixel spread out
    EXPECT_EQ(*d->PixelPtr(9, 9), Position(0, 0));
    EXPECT_EQ(*d->PixelPtr(10, 0), kUnused);
    EXPECT_EQ(*d->PixelPtr(0, 10), kUnused);
}

TEST_F(SurfaceTest, StretchKeyedBottomClipAndMirroredRows)
{
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(8, 8);
    FillPositions(s);
    d->Fill(0, 0, 8, 8, kUnused);
    d->StretchKeyed(0, 4, 8, 8, s, 0, 7, 8, -8, kUnused);  // upside down, lower half off the surface
    for (int y = 4; y < 8; ++y)
        EXPECT_EQ(*d->PixelPtr(2, y), Position(2, 7 - (y - 4)));
    EXPECT_EQ(*d->PixelPtr(2, 3), kUnused);
}

TEST_F(SurfaceTest, StretchKeyedSamplesOnlyInsideTheSource)
{
    CDIBSurface* s = Make(8, 8);
    CDIBSurface* d = Make(16, 16);
    FillPositions(s);
    d->Fill(0, 0, 16, 16, kUnused);
    // Source rectangle half outside on every side: the samples that fall outside are not drawn.
    d->StretchKeyed(0, 0, 16, 16, s, -4, -4, 16, 16, kUnused);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool in = x >= 4 && x < 12 && y >= 4 && y < 12;
            ASSERT_EQ(*d->PixelPtr(x, y), in ? Position(x - 4, y - 4) : kUnused) << x << "," << y;
        }
}
