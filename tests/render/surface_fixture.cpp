// Hidden window and pixel helpers for the surface tests.
#include "surface_fixture.h"

void SurfaceTest::SetUp()
{
    window = CreateWindowA("STATIC", "render test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
}

void SurfaceTest::TearDown()
{
    for (auto& s : owned)
        s.reset();
    DestroyWindow(window);
}

CDIBSurface* SurfaceTest::Make(int width, int height)
{
    owned[count].reset(new CDIBSurface(window));
    CDIBSurface* s = owned[count++].get();
    EXPECT_EQ(s->Create(width, height), 0);
    return s;
}

DWORD PatternPixel(int x, int y, unsigned seed)
{
    unsigned v = static_cast<unsigned>(x) * 0x9E3779B1u ^ static_cast<unsigned>(y) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    v ^= v >> 15;
    v *= 0x2C1B3C6Du;
    v ^= v >> 12;
    return v;
}

void FillPattern(CDIBSurface* s, unsigned seed)
{
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x)
            *s->PixelPtr(x, y) = PatternPixel(x, y, seed);
}

std::unique_ptr<DWORD[]> Snapshot(CDIBSurface* s)
{
    const int w = s->GetWidth(), h = s->GetHeight();
    std::unique_ptr<DWORD[]> copy(new DWORD[static_cast<size_t>(w) * h]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            copy[static_cast<size_t>(y) * w + x] = *s->PixelPtr(x, y);
    return copy;
}
