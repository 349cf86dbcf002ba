// Shared helpers for the surface tests: a hidden window to create surfaces on, painting every pixel
// from a formula and comparing every pixel with one.
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
    v ^= v >> 15;
    v *= 0x2C1B3C6Du;
    return v ^ v >> 12;
}

// (x, y) lies from (left, top) up to but not including (right, bottom).
inline bool InRect(int x, int y, int left, int top, int right, int bottom)
{
    return x >= left && x < right && y >= top && y < bottom;
}

template <class Value>
void Paint(CDIBSurface* s, Value value)
{
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x)
            *s->PixelPtr(x, y) = value(x, y);
}

inline void FillPattern(CDIBSurface* s, unsigned seed)
{
    Paint(s, [=](int x, int y) { return PatternPixel(x, y, seed); });
}

// Every pixel against want(x, y) on the bits of mask; names the first that differs.
template <class Want>
::testing::AssertionResult Pixels(CDIBSurface* s, Want want, DWORD mask = 0xFFFFFFFF)
{
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x) {
            const DWORD got = *s->PixelPtr(x, y) & mask, expected = want(x, y) & mask;
            if (got != expected)
                return ::testing::AssertionFailure() << x << "," << y << ": " << std::hex << got << " not " << expected;
        }
    return ::testing::AssertionSuccess();
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(window, nullptr); }
    void TearDown() override
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
    // Made first, so that derived fixtures can create surfaces as they are constructed.
    HWND window = CreateWindowA("STATIC", "render test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::unique_ptr<CDIBSurface>> owned;
};
