// The surface itself: creating, refusing and releasing, and where its pixels end.
#include <climits>

#include "surface_fixture.h"

TEST_F(SurfaceTest, PixelPtrIsNullJustOutsideEachEdge)
{
    CDIBSurface* s = Make(7, 5);
    for (POINT p : {POINT{7, 0}, POINT{0, 5}, POINT{-1, 0}, POINT{0, -1}})
        EXPECT_EQ(s->PixelPtr(p.x, p.y), nullptr) << p.x << "," << p.y;
    EXPECT_NE(s->PixelPtr(6, 4), nullptr);
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
