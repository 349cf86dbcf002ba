// Per-byte results of the blending and arithmetic routines against plain reference formulas, over
// every pair of destination and source byte values.
#include "surface_fixture.h"

#include <algorithm>
#include <functional>
#include <string>

namespace {

BYTE ByteOf(DWORD p, int i) { return static_cast<BYTE>(p >> (8 * i)); }

// Four permutations of v, one per byte: destination pixel (x, y) is Spread(y) and source pixel (x, y)
// Spread(x), so every (d, s) pair meets in every byte.
DWORD Spread(int v)
{
    const DWORD u = static_cast<DWORD>(v);
    return u | (u * 5 + 11) % 256 << 8 | (255 - u) << 16 | u * 3 % 256 << 24;
}

int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Mode 0 mixes (truncating toward zero), 1 adds, 2 subtracts; levels outside 0..255 act as the nearer end.
int Blend(int mode, int d, int s, int level)
{
    level = Clamp(level);
    if (mode == kBlendMix)
        return d + (s - d) * level / 255;
    return Clamp(mode == kBlendAdd ? d + level * s / 255 : d - level * (255 - s) / 255);
}

// s + 2 x floor((d - s) x weight x 128 / 65536), clamped.
int Fade(int d, int s, int weight)
{
    const long long p = static_cast<long long>(d - s) * weight * 128;
    return Clamp(s + 2 * static_cast<int>(p >= 0 ? p / 65536 : -((-p + 65535) / 65536)));
}
// A whole pixel: the low byte of the weight for the colour bytes, its third byte for the fourth.
DWORD FadePixel(DWORD d, DWORD s, int weight)
{
    DWORD out = 0;
    for (int b = 0; b < 4; ++b)
        out |= static_cast<DWORD>(Fade(ByteOf(d, b), ByteOf(s, b), ByteOf(static_cast<DWORD>(weight), b == 3 ? 2 : 0)))
               << (8 * b);
    return out;
}

// Each colour byte adds its top seven bits to the colour's; a byte that overflowed becomes 255 and its
// carry lands in the lowest bit of the next byte up (red's in the fourth byte).
DWORD AddColorRef(DWORD d, DWORD k)
{
    DWORD out = 0;
    int carry = 0;
    for (int b = 0; b < 3; ++b) {
        const int sum = (ByteOf(d, b) & 0xFE) + (ByteOf(k, b) & 0xFE);
        out |= static_cast<DWORD>(sum > 255 ? 255 : (sum & 0xFF) | carry) << (8 * b);
        carry = sum > 255;
    }
    return out | static_cast<DWORD>(carry) << 24;
}

// Expected byte b of a result from the destination and source pixels it was made of.
using Ref = std::function<int(DWORD d, DWORD s, int b)>;
int Unchanged(DWORD d, DWORD, int b) { return ByteOf(d, b); }

class KernelTest : public SurfaceTest {
protected:
    // Runs op on fresh pixels, expects its result code, then checks every byte of every pixel.
    void Check(const std::string& what, const std::function<int()>& op, const Ref& ref, int result = 0)
    {
        Paint(dst, [](int, int y) { return Spread(y); });
        Paint(src, [](int x, int) { return Spread(x); });
        ASSERT_EQ(op(), result) << what;
        int failures = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const DWORD got = *dst->PixelPtr(x, y), d = Spread(y), s = Spread(x);
                for (int b = 0; b < 4; ++b)
                    if (ByteOf(got, b) != ref(d, s, b) && failures++ < 5)
                        ADD_FAILURE() << what << ": byte " << b << " of d " << std::hex << d << " s " << s
                                      << " is " << int(ByteOf(got, b)) << ", not " << ref(d, s, b);
            }
    }
    CDIBSurface* dst = Make(256, 256);
    CDIBSurface* src = Make(256, -256);  // the other row order
};

}  // namespace

TEST(KernelFormula, KnownValues)
{
    // The reference formulas themselves, on values worked out by hand.
    EXPECT_EQ(Blend(kBlendMix, 200, 100, 1), 200);  // the mix truncates toward zero
    EXPECT_EQ(Blend(kBlendMix, 100, 200, 128), 150);
    EXPECT_EQ(Blend(kBlendSubtract, 200, 100, 128), 123);
    EXPECT_EQ(Fade(0, 255, 128), 127);  // the fade rounds down
    EXPECT_EQ(AddColorRef(0x00FF0101, 0x00010101), 0x00FE0000u);
    EXPECT_EQ(AddColorRef(0x00808080, 0x00808080), 0x01FFFFFFu);
}

TEST_F(KernelTest, BlendFromAndBlendColor)
{
    for (int mode : {kBlendMix, kBlendAdd, kBlendSubtract})
        for (int level : {0, 1, 2, 64, 127, 128, 200, 254, 255, -5, 400}) {
            const std::string what = " mode " + std::to_string(mode) + " level " + std::to_string(level);
            auto blend = [&](DWORD d, DWORD s, int b) {
                return b == 3 ? 0 : Blend(mode, ByteOf(d, b), ByteOf(s, b), level);
            };
            Check("BlendFrom" + what, [&] { return dst->BlendFrom(0, 0, src, 0, 0, 256, 256, mode, level); }, blend);
            for (DWORD k : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0x00807F01u})
                Check("BlendColor" + what, [&] { return dst->BlendColor(0, 0, 256, 256, k, mode, level); },
                      [&](DWORD d, DWORD, int b) { return blend(d, k, b); });
        }
    Check("mode 3", [&] { return dst->BlendFrom(0, 0, src, 0, 0, 256, 256, 3, 128); }, Unchanged, -1);
    Check("mode -1", [&] { return dst->BlendColor(0, 0, 256, 256, 0, -1, 128); }, Unchanged, -1);
    Check("no source", [&] { return dst->BlendFrom(0, 0, nullptr, 0, 0, 256, 256, 0, 128); }, Unchanged, -1);
}

TEST_F(KernelTest, ArithmeticAndChannelKernels)
{
    // Bits of the fade weight outside its low and third bytes are ignored.
    for (int weight : {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1})
        Check("FadeFrom " + std::to_string(weight), [&] { return dst->FadeFrom(0, 0, src, 0, 0, 256, 256, weight); },
              [&](DWORD d, DWORD s, int b) { return ByteOf(FadePixel(d, s, weight), b); });
    Check("AddFrom", [&] { return dst->AddFrom(0, 0, src, 0, 0, 256, 256); },
          [](DWORD d, DWORD s, int b) { return std::min(255, ByteOf(d, b) + ByteOf(s, b)); });
    // Mixed by the source's fourth byte; where that is 0 the pixel is left alone.
    Check("AlphaFrom", [&] { return dst->AlphaFrom(0, 0, src, 0, 0, 256, 256); }, [](DWORD d, DWORD s, int b) {
        const int a = ByteOf(s, 3);
        return a == 0 ? ByteOf(d, b) : b == 3 ? 0 : Blend(kBlendMix, ByteOf(d, b), ByteOf(s, b), a);
    });
    Check("AverageColor", [&] { return dst->AverageColor(0, 0, 256, 256, 0x00FF8003); },
          [](DWORD d, DWORD, int b) { return b == 3 ? 0 : (ByteOf(d, b) >> 1) + (ByteOf(0x00FF8003, b) >> 1); });
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u})
        Check("AddColor", [&] { return dst->AddColor(0, 0, 256, 256, k); },
              [&](DWORD d, DWORD, int b) { return ByteOf(AddColorRef(d, k), b); });
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5})
        Check("Darken " + std::to_string(level), [&] { return dst->Darken(0, 0, 256, 256, level); },
              [&](DWORD d, DWORD, int b) { return b == 3 ? 0 : Clamp(level) * ByteOf(d, b) / 255; });
    for (int dc = 0; dc < 4; ++dc) {
        for (int sc = 0; sc < 4; ++sc)
            Check("CopyChannel " + std::to_string(dc) + " from " + std::to_string(sc),
                  [&] { return dst->CopyChannel(0, 0, dc, src, 0, 0, 256, 256, sc); },
                  [&](DWORD d, DWORD s, int b) { return b == dc ? ByteOf(s, sc) : ByteOf(d, b); });
        Check("SetChannel " + std::to_string(dc), [&] { return dst->SetChannel(dc, 0, 0, 256, 256, 0x1A5); },
              [&](DWORD d, DWORD, int b) { return b == dc ? 0xA5 : ByteOf(d, b); });
    }
    Check("channel 4", [&] { return dst->CopyChannel(0, 0, 4, src, 0, 0, 256, 256, 0); }, Unchanged, -1);
    Check("channel -1", [&] { return dst->CopyChannel(0, 0, 0, src, 0, 0, 256, 256, -1); }, Unchanged, -1);
    Check("set channel 4", [&] { return dst->SetChannel(4, 0, 0, 256, 256, 9); }, Unchanged, -1);
}

TEST_F(SurfaceTest, FadeWithinOneRowGoesRightToLeft)
{
    // As if done right to left one pixel at a time, each reading what memory holds at that moment.
    const int dx = 4, w = 13, weight = 0x00C00077;
    for (int shift : {1, -1, 2, 0}) {
        CDIBSurface* s = Make(24, 1);
        FillPattern(s, 9);
        DWORD ref[24];
        for (int x = 0; x < 24; ++x)
            ref[x] = PatternPixel(x, 0, 9);
        for (int x = dx + w - 1; x >= dx; --x)
            ref[x] = FadePixel(ref[x], ref[x + shift], weight);
        ASSERT_EQ(s->FadeFrom(dx, 0, s, dx + shift, 0, w, 1, weight), 0);
        EXPECT_TRUE(Pixels(s, [&](int x, int) { return ref[x]; })) << "shift " << shift;
    }
}
