// Shared helpers for the surface tests: a hidden window to create surfaces on, patterned pixels,
// and per-byte reference formulas written the plain way.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "render/w_dib32.h"

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A created surface owned by the test; negative height makes a top-down one.
    CDIBSurface* Make(int width, int height);
    HWND window = nullptr;

private:
    std::unique_ptr<CDIBSurface> owned[8];
    int count = 0;
};

// Every pixel of the surface set from a hash of its position and a seed (all four bytes vary).
void FillPattern(CDIBSurface* s, unsigned seed);
DWORD PatternPixel(int x, int y, unsigned seed);
// Copy of all pixels in (x, y) order.
std::unique_ptr<DWORD[]> Snapshot(CDIBSurface* s);

inline BYTE ByteOf(DWORD p, int i) { return static_cast<BYTE>(p >> (8 * i)); }
