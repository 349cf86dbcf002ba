// Helpers for the surface tests: surfaces on a hidden window, pixels painted from and compared with a formula.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/w_dib32.h"

// A hash of position and seed: all four bytes vary and neighbours differ.
inline DWORD PatternPixel(int x, int y, unsigned seed)
{
    unsigned v = static_cast<unsigned>(x) * 0x9E3779B1u ^ static_cast<unsigned>(y) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    v = (v ^ v >> 15) * 0x2C1B3C6Du;
    return v ^ v >> 12;
}

// lo <= v < hi, in 64 bits so that no edge computed from the arguments wraps around.
inline bool Inside(long long v, long long lo, long long hi) { return v >= lo && v < hi; }

template <class Value>
void Paint(CDIBSurface* s, Value value)
{
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x) *s->PixelPtr(x, y) = value(x, y);
}

// Every pixel against want(x, y) on the bits of mask; names the first that differs and what it holds.
template <class Want>
::testing::AssertionResult PixelsMatch(CDIBSurface* s, Want want, DWORD mask = 0xFFFFFFFF)
{
    GdiFlush();
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x)
            if (((*s->PixelPtr(x, y) ^ want(x, y)) & mask) != 0)
                return ::testing::AssertionFailure() << "at " << x << "," << y << " got " << std::hex
                                                     << *s->PixelPtr(x, y) << ", want " << want(x, y);
    return ::testing::AssertionSuccess();
}

class SurfaceTest : public ::testing::Test {
protected:
    ~SurfaceTest() override
    {
        owned.clear();
        DestroyWindow(window);
    }
    // A created surface owned by the test; a negative height makes a top-down one.
    CDIBSurface* Make(int width, int height)
    {
        owned.emplace_back(new CDIBSurface(window));
        EXPECT_EQ(owned.back()->Create(width, height), 0);
        return owned.back().get();
    }
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::unique_ptr<CDIBSurface>> owned;
};
