// The surface itself: both row orders, creating, refusing and releasing, and the two clipping rules.
#include "surface_fixture.h"

#include <climits>

TEST_F(SurfaceTest, RowOrdersCreatingAgainAndDestroying)
{
    // Bottom-up rows: row 0 comes last in memory. (That GDI sees the same pixels as PixelPtr, in both
    // row orders, is shown by the copies through GDI.)
    CDIBSurface* s = Make(7, 5);
    EXPECT_EQ(s->GetPitch() * 100 + s->GetBitmapInfo()->bmiHeader.biHeight, -2795);
    EXPECT_EQ(reinterpret_cast<BYTE*>(s->PixelPtr(1, 0)), static_cast<BYTE*>(s->GetBits()) + 4 * 28 + 4);
    EXPECT_EQ(s->GetRowTable()[3], s->PixelPtr(0, 3));
    for (POINT p : {POINT{7, 0}, POINT{0, 5}, POINT{-1, 0}, POINT{0, -1}})
        EXPECT_EQ(s->PixelPtr(p.x, p.y), nullptr) << p.x << "," << p.y;
    EXPECT_NE(s->PixelPtr(6, 4), nullptr);
    // Creating again, top-down, releases the first DIB section; destroying releases the second.
    HGDIOBJ first = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    ASSERT_EQ(s->Create(16, -8), 0);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(s->GetPitch() * 100 + s->GetHeight(), 6408);
    EXPECT_EQ(reinterpret_cast<BYTE*>(s->PixelPtr(1, 2)), static_cast<BYTE*>(s->GetBits()) + 2 * 64 + 4);
    HGDIOBJ second = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    s->Destroy();
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(s->PixelPtr(0, 0), nullptr);
    EXPECT_EQ(s->Create(3, 3), 0);  // the window was kept
    // Bad sizes, sizes whose bytes do not fit 32 bits, and a missing window leave a surface empty.
    for (POINT size : {POINT{0, 10}, POINT{10, 0}, POINT{-4, 10}, POINT{INT_MAX, 2}, POINT{100000, -100000},
                       POINT{10, INT_MIN}}) {
        CDIBSurface t(window);
        EXPECT_EQ(t.Create(size.x, size.y), -1) << size.x << " x " << size.y;
        EXPECT_EQ(t.PixelPtr(0, 0), nullptr);
        EXPECT_EQ(t.GetWidth() | t.GetHeight(), 0);
    }
    CDIBSurface none(nullptr);
    EXPECT_EQ(none.Create(10, 10), -1);
}

TEST_F(SurfaceTest, ClipCopyAndClipRect)
{
    CDIBSurface* a = Make(64, 48);
    CDIBSurface* b = Make(40, 30);
    const int copies[][13] = {  // dx dy sx sy w h, result, dx dy sx sy w h afterwards
        {-10, -20, 0, 0, 100, 100, 0, 0, 0, 10, 20, 30, 10},  // limited by both surfaces
        {5, 5, -3, -4, 10, 10, 0, 8, 9, 0, 0, 7, 6},          // the destination moves along
        {63, 47, 39, 29, 1, 1, 0, 63, 47, 39, 29, 1, 1},      // the last pixel of both
        {60, 40, 0, 0, 10, 10, 0, 60, 40, 0, 0, 4, 8},        // limited by the destination
        {64, 0, 0, 0, 10, 10, -1}, {0, 0, 40, 0, 10, 10, -1}, {0, 0, 0, 0, 0, 10, -1},
    };
    for (auto& c : copies) {
        std::vector<int> v(c, c + 6);
        EXPECT_EQ(a->ClipCopy(&v[0], &v[1], b, &v[2], &v[3], &v[4], &v[5]), c[6]) << c[0] << " " << c[1];
        EXPECT_TRUE(c[6] != 0 || v == std::vector<int>(c + 7, c + 13)) << ::testing::PrintToString(v);
    }
    int zero = 0, ten = 10;
    EXPECT_EQ(a->ClipCopy(&zero, &zero, nullptr, &zero, &zero, &ten, &ten), -1);
    const int rects[][9] = {  // x y w h, result, x y w h afterwards
        {60, 40, 20, 20, 0, 60, 40, 4, 8},
        {64, 0, 5, 5, 0, 64, 0, 0, 5},  // empty is accepted
        {65, 0, 5, 5, -1},              // negative is not
        {-10, -10, INT_MAX, INT_MAX, 0, 0, 0, 64, 48},
    };
    for (auto& c : rects) {
        std::vector<int> v(c, c + 4);
        EXPECT_EQ(a->ClipRect(&v[0], &v[1], &v[2], &v[3]), c[4]) << c[0] << " " << c[1];
        EXPECT_TRUE(c[4] != 0 || v == std::vector<int>(c + 5, c + 9)) << ::testing::PrintToString(v);
    }
}
