// The surface itself: creation in both row orders, release of what it holds, pixel addressing,
// the two clipping rules, and the shared tables following the number of live surfaces.
#include "surface_fixture.h"

#include "render/scale_tables.h"

TEST_F(SurfaceTest, BottomUpAndTopDownRowOrder)
{
    CDIBSurface* up = Make(640, 480);
    EXPECT_EQ(up->GetStride(), 2560);
    EXPECT_EQ(up->GetPitch(), -2560);
    EXPECT_EQ(up->GetHeight(), 480);
    EXPECT_EQ(up->GetWidth(), 640);
    EXPECT_EQ(up->GetBitCount(), 32);
    EXPECT_EQ(up->GetBitmapInfo()->bmiHeader.biHeight, 480);
    EXPECT_EQ(up->GetBitmapInfo()->bmiHeader.biSizeImage, 2560u * 480);
    EXPECT_EQ(up->GetBitmapInfo()->bmiHeader.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(reinterpret_cast<BYTE*>(up->PixelPtr(0, 0)), static_cast<BYTE*>(up->GetBits()) + 479 * 2560);
    EXPECT_EQ(static_cast<void*>(up->PixelPtr(0, 479)), up->GetBits());
    EXPECT_EQ(reinterpret_cast<BYTE*>(up->PixelPtr(3, 1)) - reinterpret_cast<BYTE*>(up->PixelPtr(3, 0)), -2560);
    EXPECT_EQ(up->GetRowTable()[5], up->PixelPtr(0, 5));

    CDIBSurface* down = Make(640, -480);
    EXPECT_EQ(down->GetPitch(), 2560);
    EXPECT_EQ(down->GetHeight(), 480);
    EXPECT_EQ(down->GetBitmapInfo()->bmiHeader.biHeight, -480);
    EXPECT_EQ(static_cast<void*>(down->PixelPtr(0, 0)), down->GetBits());
    EXPECT_EQ(reinterpret_cast<BYTE*>(down->PixelPtr(1, 2)), static_cast<BYTE*>(down->GetBits()) + 2 * 2560 + 4);
}

TEST_F(SurfaceTest, ColourTableLiesBehindTheHeader)
{
    CDIBSurface s(window);
    EXPECT_EQ(reinterpret_cast<BYTE*>(s.GetColorTable()), reinterpret_cast<BYTE*>(s.GetBitmapInfo()) + 40);
    EXPECT_EQ(static_cast<void*>(s.GetColorTable()), static_cast<void*>(s.GetBitmapInfo()->bmiColors));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(*reinterpret_cast<DWORD*>(&s.GetColorTable()[i]), 0u);
}

TEST_F(SurfaceTest, PixelPtrOutsideIsNull)
{
    CDIBSurface* s = Make(7, 5);
    EXPECT_EQ(s->PixelPtr(7, 0), nullptr);
    EXPECT_EQ(s->PixelPtr(0, 5), nullptr);
    EXPECT_EQ(s->PixelPtr(-1, 0), nullptr);
    EXPECT_EQ(s->PixelPtr(0, -1), nullptr);
    EXPECT_NE(s->PixelPtr(6, 4), nullptr);
    s->Destroy();
    EXPECT_EQ(s->PixelPtr(0, 0), nullptr);
    EXPECT_EQ(s->GetWidth(), 0);
    EXPECT_EQ(s->GetMemDC(), nullptr);
    EXPECT_EQ(s->GetRowTable(), nullptr);
    EXPECT_EQ(s->GetWnd(), window);  // kept, so it can be created again
    EXPECT_EQ(s->Create(3, 3), 0);
    EXPECT_NE(s->PixelPtr(2, 2), nullptr);
}

TEST_F(SurfaceTest, RefusedCreateLeavesSurfaceEmpty)
{
    CDIBSurface none(nullptr);
    EXPECT_EQ(none.Create(10, 10), -1);
    EXPECT_EQ(none.GetMemDC(), nullptr);
    EXPECT_EQ(none.PixelPtr(0, 0), nullptr);

    CDIBSurface s(window);
    EXPECT_EQ(s.Create(0, 10), -1);
    EXPECT_EQ(s.Create(10, 0), -1);
    EXPECT_EQ(s.Create(-4, 10), -1);
    EXPECT_EQ(s.Create(0x7FFFFFFF, 2), -1);   // pixel bytes would not fit 32 bits
    EXPECT_EQ(s.Create(100000, -100000), -1);
    EXPECT_EQ(s.Create(10, static_cast<int>(0x80000000u)), -1);
    EXPECT_EQ(s.PixelPtr(0, 0), nullptr);
    EXPECT_EQ(s.GetWidth(), 0);
    EXPECT_EQ(s.GetHeight(), 0);
}

TEST_F(SurfaceTest, RecreateReleasesTheFirstDibSection)
{
    CDIBSurface* s = Make(32, 32);
    HDC firstDC = s->GetMemDC();
    HGDIOBJ firstBitmap = GetCurrentObject(firstDC, OBJ_BITMAP);
    ASSERT_EQ(GetObjectType(firstBitmap), static_cast<DWORD>(OBJ_BITMAP));
    ASSERT_EQ(s->Create(16, -8), 0);
    EXPECT_EQ(GetObjectType(firstBitmap), 0u);
    EXPECT_EQ(s->GetWidth(), 16);
    EXPECT_EQ(s->GetHeight(), 8);
    // The new DIB section is selected into the current memory DC.
    HGDIOBJ bitmap = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    DIBSECTION info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.dsBm.bmBits, s->GetBits());
    s->Destroy();
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST_F(SurfaceTest, ClipCopyAdjustsInPlace)
{
    CDIBSurface* a = Make(640, 480);
    CDIBSurface* b = Make(640, 480);
    int dx = -10, dy = -20, sx = 0, sy = 0, w = 100, h = 100;
    EXPECT_EQ(a->ClipCopy(&dx, &dy, b, &sx, &sy, &w, &h), 0);
    EXPECT_EQ(dx, 0); EXPECT_EQ(dy, 0); EXPECT_EQ(sx, 10); EXPECT_EQ(sy, 20); EXPECT_EQ(w, 90); EXPECT_EQ(h, 80);

    // Source negative: the destination moves along.
    dx = 5; dy = 5; sx = -3; sy = -4; w = 10; h = 10;
    EXPECT_EQ(a->ClipCopy(&dx, &dy, b, &sx, &sy, &w, &h), 0);
    EXPECT_EQ(dx, 8); EXPECT_EQ(dy, 9); EXPECT_EQ(sx, 0); EXPECT_EQ(sy, 0); EXPECT_EQ(w, 7); EXPECT_EQ(h, 6);

    // Against the smaller of the two surfaces.
    CDIBSurface* small = Make(50, 40);
    dx = 600; dy = 0; sx = 45; sy = 35; w = 100; h = 100;
    EXPECT_EQ(a->ClipCopy(&dx, &dy, small, &sx, &sy, &w, &h), 0);
    EXPECT_EQ(w, 5); EXPECT_EQ(h, 5);

    dx = 640; dy = 0; sx = 0; sy = 0; w = 10; h = 10;
    EXPECT_EQ(a->ClipCopy(&dx, &dy, b, &sx, &sy, &w, &h), -1);
    dx = 0; w = 0; h = 10;
    EXPECT_EQ(a->ClipCopy(&dx, &dy, b, &sx, &sy, &w, &h), -1);
    dx = 0; dy = 0; sx = 0; sy = 0; w = 10; h = 10;
    EXPECT_EQ(a->ClipCopy(&dx, &dy, nullptr, &sx, &sy, &w, &h), -1);
}

TEST_F(SurfaceTest, ClipCopyNeverWrapsAround)
{
    CDIBSurface* a = Make(64, 64);
    const int big = 0x7FFFFFF0, small = -0x7FFFFFF0;
    const int values[] = {small, -65, -1, 0, 1, 63, 64, big};
    for (int dx : values)
        for (int sx : values)
            for (int w : values) {
                int x = dx, y = 0, s = sx, t = 0, ww = w, hh = 8;
                if (a->ClipCopy(&x, &y, a, &s, &t, &ww, &hh) == 0) {
                    ASSERT_GE(x, 0); ASSERT_GE(s, 0); ASSERT_GE(ww, 1);
                    ASSERT_LE(x + ww, 64); ASSERT_LE(s + ww, 64);
                }
            }
}

TEST_F(SurfaceTest, ClipRectAcceptsEmptyAndRefusesNegative)
{
    CDIBSurface* s = Make(640, 480);
    int x = 630, y = 470, w = 20, h = 20;
    EXPECT_EQ(s->ClipRect(&x, &y, &w, &h), 0);
    EXPECT_EQ(x, 630); EXPECT_EQ(y, 470); EXPECT_EQ(w, 10); EXPECT_EQ(h, 10);
    x = 640; y = 0; w = 5; h = 5;
    EXPECT_EQ(s->ClipRect(&x, &y, &w, &h), 0);
    EXPECT_EQ(w, 0);
    x = 650; y = 0; w = 5; h = 5;
    EXPECT_EQ(s->ClipRect(&x, &y, &w, &h), -1);
    x = -10; y = -10; w = 0x7FFFFFFF; h = 0x7FFFFFFF;
    EXPECT_EQ(s->ClipRect(&x, &y, &w, &h), 0);
    EXPECT_EQ(x, 0); EXPECT_EQ(y, 0); EXPECT_EQ(w, 640); EXPECT_EQ(h, 480);
}

TEST_F(SurfaceTest, ScaleTablesLiveWithTheSurfaces)
{
    ASSERT_EQ(CDIBSurface::InstanceCount(), 0);
    EXPECT_EQ(ScaleTable(), nullptr);
    {
        CDIBSurface first(window);
        EXPECT_EQ(CDIBSurface::InstanceCount(), 1);
        ASSERT_NE(ScaleTable(), nullptr);
        ASSERT_NE(SignedScaleTable(), nullptr);
        {
            CDIBSurface second(window);
            EXPECT_EQ(CDIBSurface::InstanceCount(), 2);
        }
        EXPECT_NE(ScaleTable(), nullptr);
        // Spot values: floor(level x v / 255) and its signed counterpart.
        EXPECT_EQ(ScaleTable()[128 * 256 + 100], 50);
        EXPECT_EQ(ScaleTable()[255 * 256 + 77], 77);
        EXPECT_EQ(SignedScaleTable()[128 * 512 + 256 - 100], static_cast<BYTE>(-50));
    }
    EXPECT_EQ(CDIBSurface::InstanceCount(), 0);
    EXPECT_EQ(ScaleTable(), nullptr);
    EXPECT_EQ(SignedScaleTable(), nullptr);
    CDIBSurface again(window);
    EXPECT_NE(ScaleTable(), nullptr);
}

TEST_F(SurfaceTest, TableOperationsRebuildMissingTables)
{
    CDIBSurface* s = Make(4, 4);
    ReleaseScaleTables();  // as if the first build had failed
    s->Fill(0, 0, 4, 4, 0x00646464);
    EXPECT_EQ(s->Darken(0, 0, 4, 4, 128), 0);
    EXPECT_EQ(*s->PixelPtr(3, 3), 0x00323232u);
    EXPECT_NE(ScaleTable(), nullptr);
}

TEST_F(SurfaceTest, OperationsOnSurfaceNotCreated)
{
    CDIBSurface empty(window);
    CDIBSurface* real = Make(8, 8);
    EXPECT_EQ(empty.CopyFrom(0, 0, real, 0, 0, 8, 8), -1);
    EXPECT_EQ(real->CopyFrom(0, 0, &empty, 0, 0, 8, 8), -1);
    EXPECT_EQ(empty.Fill(0, 0, 8, 8, 1), 0);  // clipped to nothing
    empty.StretchKeyed(0, 0, 8, 8, real, 0, 0, 8, 8, 0);
    real->StretchKeyed(0, 0, 8, 8, &empty, 0, 0, 8, 8, 0);
    empty.CopyKeyed(0, 0, real, 0, 0, 8, 8, 0);
    EXPECT_EQ(empty.Darken(0, 0, 8, 8, 3), 0);
}
