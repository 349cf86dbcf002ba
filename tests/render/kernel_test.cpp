// Per-byte results of the blending and arithmetic routines, against plain reference formulas over
// every pair of destination and source byte values.
#include "surface_fixture.h"

namespace {

const int kLevels[] = {0, 1, 2, 64, 127, 128, 200, 254, 255};

// Destination pixel (x, y) carries d = y in blue and other permutations of y in the other bytes;
// source pixel (x, y) carries s = x likewise, so every (d, s) pair meets in every byte.
DWORD DestPixel(int, int y)
{
    return static_cast<DWORD>(y) | static_cast<DWORD>((y + 85) & 255) << 8 | static_cast<DWORD>(255 - y) << 16 |
           static_cast<DWORD>((y * 3) & 255) << 24;
}
DWORD SourcePixel(int x, int)
{
    return static_cast<DWORD>(x) | static_cast<DWORD>((x * 5 + 11) & 255) << 8 | static_cast<DWORD>(255 - x) << 16 |
           static_cast<DWORD>((x * 7) & 255) << 24;
}

class KernelTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        dst = Make(256, 256);
        src = Make(256, -256);
        Reset();
    }
    void Reset()
    {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                *dst->PixelPtr(x, y) = DestPixel(x, y);
                *src->PixelPtr(x, y) = SourcePixel(x, y);
            }
    }
    // Checks every pixel against ref(d, s, byte index) for all four bytes.
    template <class Ref>
    void Expect(Ref ref, const char* what, int level)
    {
        int failures = 0;
        for (int y = 0; y < 256 && failures < 5; ++y)
            for (int x = 0; x < 256 && failures < 5; ++x) {
                const DWORD got = *dst->PixelPtr(x, y), d = DestPixel(x, y), s = SourcePixel(x, y);
                for (int b = 0; b < 4; ++b) {
                    const int want = ref(ByteOf(d, b), ByteOf(s, b), b, ByteOf(s, 3));
                    if (ByteOf(got, b) != want && failures++ < 5)
                        ADD_FAILURE() << what << " level " << level << " byte " << b << " d " << int(ByteOf(d, b))
                                      << " s " << int(ByteOf(s, b)) << ": got " << int(ByteOf(got, b)) << " want "
                                      << want;
                }
            }
    }
    CDIBSurface* dst = nullptr;
    CDIBSurface* src = nullptr;
};

int Mix(int d, int s, int level)
{
    return d + (s - d) * level / 255;  // truncates toward zero
}
int Add(int d, int s, int level)
{
    const int v = d + level * s / 255;
    return v > 255 ? 255 : v;
}
int Subtract(int d, int s, int level)
{
    const int v = d - level * (255 - s) / 255;
    return v < 0 ? 0 : v;
}
int FloorDiv65536(long long p)
{
    return static_cast<int>(p >= 0 ? p / 65536 : -((-p + 65535) / 65536));
}
int Fade(int d, int s, int f)
{
    const int v = s + 2 * FloorDiv65536(static_cast<long long>(d - s) * f);
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

}  // namespace

TEST(KernelFormula, KnownValues)
{
    EXPECT_EQ(Mix(200, 100, 128), 150);
    EXPECT_EQ(Mix(100, 200, 128), 150);
    EXPECT_EQ(Mix(0, 255, 1), 1);
    EXPECT_EQ(Mix(255, 0, 254), 1);
    EXPECT_EQ(Add(200, 100, 128), 250);
    EXPECT_EQ(Add(200, 100, 255), 255);
    EXPECT_EQ(Subtract(200, 100, 255), 45);
    EXPECT_EQ(Subtract(200, 100, 128), 123);
    EXPECT_EQ(Subtract(50, 0, 255), 0);
    EXPECT_EQ(Fade(255, 0, 128 * 128), 126);
    EXPECT_EQ(Fade(255, 0, 255 * 128), 254);
    EXPECT_EQ(Fade(0, 255, 128 * 128), 127);
    EXPECT_EQ(Fade(0, 255, 255 * 128), 0);
    EXPECT_EQ(Fade(0, 1, 1 * 128), 0);
}

TEST_F(KernelTest, BlendFromAllBytesAllModes)
{
    for (int mode = 0; mode < 3; ++mode)
        for (int level : kLevels) {
            Reset();
            ASSERT_EQ(dst->BlendFrom(0, 0, src, 0, 0, 256, 256, mode, level), 0);
            Expect([&](int d, int s, int b, int) {
                       if (b == 3) return 0;
                       return mode == 0 ? Mix(d, s, level) : mode == 1 ? Add(d, s, level) : Subtract(d, s, level);
                   },
                   "BlendFrom", level + 1000 * mode);
        }
}

TEST_F(KernelTest, BlendColorMatchesBlendFromOfThatColour)
{
    const DWORD colours[] = {0x00000000, 0x00FFFFFF, 0x12345678, 0x00807F01};
    for (DWORD k : colours)
        for (int mode = 0; mode < 3; ++mode)
            for (int level : {0, 1, 128, 254, 255}) {
                Reset();
                ASSERT_EQ(dst->BlendColor(0, 0, 256, 256, k, mode, level), 0);
                for (int y = 0; y < 256; ++y) {
                    const DWORD got = *dst->PixelPtr(7, y), d = DestPixel(7, y);
                    for (int b = 0; b < 3; ++b) {
                        const int s = ByteOf(k, b), dd = ByteOf(d, b);
                        const int want = mode == 0 ? Mix(dd, s, level) : mode == 1 ? Add(dd, s, level)
                                                                                   : Subtract(dd, s, level);
                        ASSERT_EQ(ByteOf(got, b), want) << mode << " " << level << " " << y;
                    }
                    ASSERT_EQ(ByteOf(got, 3), 0);
                }
            }
}

TEST_F(KernelTest, BlendRefusesBadModeAfterClipping)
{
    EXPECT_EQ(dst->BlendFrom(0, 0, src, 0, 0, 256, 256, 3, 128), -1);
    EXPECT_EQ(dst->BlendColor(0, 0, 256, 256, 0, -1, 128), -1);
    EXPECT_EQ(dst->BlendFrom(0, 0, nullptr, 0, 0, 256, 256, 0, 128), -1);
    Expect([](int d, int, int, int) { return d; }, "refused", 0);
    // Levels outside 0..255 act as the nearest end.
    ASSERT_EQ(dst->BlendFrom(0, 0, src, 0, 0, 256, 256, 0, 400), 0);
    Expect([](int, int s, int b, int) { return b == 3 ? 0 : s; }, "mix 400", 400);
}

TEST_F(KernelTest, FadeFromAllBytes)
{
    const int weights[] = {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1};
    for (int weight : weights) {
        Reset();
        ASSERT_EQ(dst->FadeFrom(0, 0, src, 0, 0, 256, 256, weight), 0);
        Expect([&](int d, int s, int b, int) {
                   return Fade(d, s, b == 3 ? ((weight >> 16) & 0xFF) * 128 : (weight & 0xFF) * 128);
               },
               "FadeFrom", weight);
    }
}

TEST_F(KernelTest, AddFromAllBytes)
{
    ASSERT_EQ(dst->AddFrom(0, 0, src, 0, 0, 256, 256), 0);
    Expect([](int d, int s, int, int) { return d + s > 255 ? 255 : d + s; }, "AddFrom", 0);
}

TEST_F(KernelTest, AlphaFromBySourceFourthByte)
{
    ASSERT_EQ(dst->AlphaFrom(0, 0, src, 0, 0, 256, 256), 0);
    Expect([](int d, int s, int b, int a) {
               if (a == 0) return d;
               return b == 3 ? 0 : Mix(d, s, a);
           },
           "AlphaFrom", 0);
}

TEST_F(KernelTest, DarkenAllBytesAndClampedLevels)
{
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5}) {
        Reset();
        ASSERT_EQ(dst->Darken(0, 0, 256, 256, level), 0);
        const int l = level < 0 ? 0 : level > 255 ? 255 : level;
        Expect([&](int d, int, int b, int) { return b == 3 ? 0 : l * d / 255; }, "Darken", level);
    }
}

TEST_F(KernelTest, ChannelOperations)
{
    for (int dc = 0; dc < 4; ++dc)
        for (int sc = 0; sc < 4; ++sc) {
            Reset();
            ASSERT_EQ(dst->CopyChannel(0, 0, dc, src, 0, 0, 256, 256, sc), 0);
            for (int y = 0; y < 256; y += 5)
                for (int x = 0; x < 256; x += 3) {
                    DWORD want = DestPixel(x, y);
                    want = (want & ~(0xFFu << (8 * dc))) | static_cast<DWORD>(ByteOf(SourcePixel(x, y), sc)) << (8 * dc);
                    ASSERT_EQ(*dst->PixelPtr(x, y), want) << dc << sc << x << "," << y;
                }
        }
    Reset();
    EXPECT_EQ(dst->CopyChannel(0, 0, 4, src, 0, 0, 256, 256, 0), -1);
    EXPECT_EQ(dst->CopyChannel(0, 0, 0, src, 0, 0, 256, 256, -1), -1);
    EXPECT_EQ(dst->SetChannel(4, 0, 0, 256, 256, 9), -1);
    Expect([](int d, int, int, int) { return d; }, "refused channel", 0);
    for (int c = 0; c < 4; ++c) {
        Reset();
        ASSERT_EQ(dst->SetChannel(c, 0, 0, 256, 256, 0x1A5), 0);
        Expect([&](int d, int, int b, int) { return b == c ? 0xA5 : d; }, "SetChannel", c);
    }
}

TEST_F(KernelTest, AddColorCarries)
{
    auto one = [&](DWORD pixel, DWORD colour) {
        *dst->PixelPtr(0, 0) = pixel;
        EXPECT_EQ(dst->AddColor(0, 0, 1, 1, colour), 0);
        return *dst->PixelPtr(0, 0);
    };
    EXPECT_EQ(one(0x00808080, 0x00808080), 0x01FFFFFFu);
    EXPECT_EQ(one(0x0000F000, 0x00002000), 0x0001FF00u);
    EXPECT_EQ(one(0x00FF0101, 0x00010101), 0x00FE0000u);
    EXPECT_EQ(one(0xAB000000, 0x00000000), 0x00000000u);  // fourth byte dropped

    // Every destination against a few colours, by the one-addition rule written out per byte.
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u}) {
        Reset();
        ASSERT_EQ(dst->AddColor(0, 0, 256, 256, k), 0);
        for (int y = 0; y < 256; ++y) {
            const DWORD d = DestPixel(0, y);
            DWORD want = 0;
            int carry = 0;
            for (int b = 0; b < 3; ++b) {
                const int sum = (ByteOf(d, b) & 0xFE) + (ByteOf(k, b) & 0xFE);
                int byte = (sum & 0xFF) | carry;
                if (sum > 255) byte = 255;
                carry = sum > 255;
                want |= static_cast<DWORD>(byte) << (8 * b);
            }
            want |= static_cast<DWORD>(carry) << 24;
            ASSERT_EQ(*dst->PixelPtr(9, y), want) << std::hex << d << " + " << k;
        }
    }
}

TEST_F(KernelTest, AverageColorHalvesBoth)
{
    *dst->PixelPtr(0, 0) = 0xFFFFFFFF;
    ASSERT_EQ(dst->AverageColor(0, 0, 1, 1, 0), 0);
    EXPECT_EQ(*dst->PixelPtr(0, 0), 0x007F7F7Fu);
    Reset();
    ASSERT_EQ(dst->AverageColor(0, 0, 256, 256, 0x00FF8003), 0);
    Expect([](int d, int, int b, int) {
               const int k[] = {0x03, 0x80, 0xFF};
               return b == 3 ? 0 : (d >> 1) + (k[b] >> 1);
           },
           "AverageColor", 0);
}

TEST_F(SurfaceTest, FadeWithinOneRowMatchesPixelByPixelFromTheRight)
{
    // Right to left, one pixel after another, each reading what is in memory at that moment.
    for (int shift : {1, -1, 2, 0}) {
        CDIBSurface* s = Make(24, 1);
        FillPattern(s, 9);
        DWORD ref[24];
        for (int x = 0; x < 24; ++x)
            ref[x] = *s->PixelPtr(x, 0);
        const int dx = 4, sx = 4 + shift, w = 13, weight = 0x00C00077;
        for (int i = w - 1; i >= 0; --i) {
            const DWORD d = ref[dx + i], v = ref[sx + i];
            DWORD out = 0;
            for (int b = 0; b < 4; ++b) {
                const int f = (b == 3 ? (weight >> 16) & 0xFF : weight & 0xFF) * 128;
                out |= static_cast<DWORD>(Fade(ByteOf(d, b), ByteOf(v, b), f)) << (8 * b);
            }
            ref[dx + i] = out;
        }
        ASSERT_EQ(s->FadeFrom(dx, 0, s, sx, 0, w, 1, weight), 0);
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(*s->PixelPtr(x, 0), ref[x]) << "shift " << shift << " x " << x;
        s->Destroy();
    }
}
