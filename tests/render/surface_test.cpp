// The surface itself: creating, refusing and releasing.
#include "surface_fixture.h"

#include <climits>

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
