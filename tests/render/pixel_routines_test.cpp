// The pixel routines against their plain formulas: every byte pair, the order within a row, and the
// clipped rectangle. FadeFrom and AddFrom run on the packed path and, forced, on the plain one.
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <iterator>
#include <random>
#include <string>

#include "render/fade_add_packed.h"
#include "surface_fixture.h"

namespace {

using S = CDIBSurface*;
struct Args {
    int dx, dy, sx, sy, w, h;
};
using A = const Args&;
using Run = std::function<int(S d, S s, A a)>;
using Ref = std::function<int(DWORD d, DWORD s, int b)>;  // byte b of the result from the pixels it is made of

struct Routine {
    std::string name;
    bool source;  // reads a source surface
    Run run;
    Ref ref;
    int result = 0;
    DWORD mask = 0xFFFFFFFF;    // the bits the formula fixes (BitBlt decides the fourth byte)
    bool plain = false;         // FadeFrom and AddFrom forced onto the plain path
    bool inRow = false;         // also checked within one row of a surface that is its own source
    bool leftward = false;      // that row is done right to left
    bool stretch = false;       // samples its source: no formula within one surface or past the source's edges
    bool viaTemporary = false;  // within one surface as if through a temporary copy
    bool noResult = false;      // returns nothing of its own (its run gives 0)
};

int ByteOf(DWORD p, int i) { return static_cast<int>((p >> (8 * i)) & 0xFF); }
// Four permutations of v, one per byte: with destination rows Spread(y) and source columns Spread(x)
// every (d, s) pair meets in every byte.
DWORD Spread(int v) { return DWORD(v) | DWORD((v * 5 + 11) % 256) << 8 | DWORD(255 - v) << 16 | DWORD(v * 3) << 24; }
int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
int Blend(int mode, int d, int s, int level)
{
    if (mode == kBlendMix) return d + (s - d) * level / 255;  // truncating toward zero
    return Clamp(mode == kBlendAdd ? d + level * s / 255 : d - level * (255 - s) / 255);
}
int Fade(int d, int s, int w) { return Clamp(s + 2 * static_cast<int>(std::floor((d - s) * w * 128 / 65536.0))); }
int FromSource(DWORD, DWORD s, int b) { return ByteOf(s, b); }
int Unchanged(DWORD d, DWORD, int b) { return ByteOf(d, b); }
// Keyed copies skip the key, comparing and writing with the fourth byte cleared.
Ref Keyed(DWORD key)
{
    return [key](DWORD d, DWORD s, int b) { return (s & 0xFFFFFF) == key ? ByteOf(d, b) : b == 3 ? 0 : ByteOf(s, b); };
}
// Top seven bits added; a byte that overflows is 255 and carries into the lowest bit of the next one up.
int AddColour(DWORD d, DWORD k, int b)
{
    auto sum = [&](int i) { return (ByteOf(d, i) & 0xFE) + (ByteOf(k, i) & 0xFE); };
    if (b == 3) return sum(2) > 255;
    return sum(b) > 255 ? 255 : sum(b) | (b > 0 && sum(b - 1) > 255);
}

DWORD Whole(const Ref& ref, DWORD d, DWORD s)
{
    DWORD v = 0;
    for (int b = 0; b < 4; ++b) v |= DWORD(ref(d, s, b) & 0xFF) << (8 * b);
    return v;
}

std::vector<Routine> Routines()
{
    std::vector<Routine> r;
    auto add = [&](std::string name, bool source, Run run, Ref ref) -> Routine& {
        r.push_back({name, source, run, ref});
        return r.back();
    };
    for (int mode : {kBlendMix, kBlendAdd, kBlendSubtract})
        for (int level : {0, 1, 2, 64, 127, 128, 200, 254, 255, -5, 400}) {
            const std::string what = "Mode" + std::to_string(mode) + "Level" + std::to_string(level);
            // Levels outside 0..255 act as the nearer end.
            Ref blend = [=](DWORD d, DWORD s, int b) {
                return b == 3 ? 0 : Blend(mode, ByteOf(d, b), ByteOf(s, b), Clamp(level));
            };
            add("BlendFrom" + what, true, [=](S d, S s, A a) {
                return d->BlendFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, mode, level);
            }, blend).inRow = mode == kBlendMix && level == 64;
            for (DWORD k : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0x00807F01u})
                add("BlendColor" + what + "Colour" + std::to_string(k), false, [=](S d, S, A a) {
                    return d->BlendColor(a.dx, a.dy, a.w, a.h, k, mode, level);
                }, [=](DWORD d, DWORD, int b) { return blend(d, k, b); });
        }
    for (bool plain : {false, true}) {
        const std::string path = plain ? "Plain" : "Packed";
        // Bits of the fade weight outside its low and third bytes are ignored.
        for (int w : {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1}) {
            Routine& fade = add("FadeFrom" + path + "Weight" + std::to_string(unsigned(w)), true, [=](S d, S s, A a) {
                return d->FadeFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, w);
            }, [=](DWORD d, DWORD s, int b) { return Fade(ByteOf(d, b), ByteOf(s, b), ByteOf(w, b == 3 ? 2 : 0)); });
            fade.plain = plain;
            fade.inRow = fade.leftward = w == 0x00FF0080;
        }
        add("AddFrom" + path, true, [](S d, S s, A a) { return d->AddFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h); },
            [](DWORD d, DWORD s, int b) { return std::min(255, ByteOf(d, b) + ByteOf(s, b)); }).plain = plain;
    }
    add("AverageColor", false, [](S d, S, A a) { return d->AverageColor(a.dx, a.dy, a.w, a.h, 0xFF8003); },
        [](DWORD d, DWORD, int b) { return b == 3 ? 0 : (ByteOf(d, b) >> 1) + (ByteOf(0xFF8003, b) >> 1); });
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u})
        add("AddColor" + std::to_string(k), false, [=](S d, S, A a) { return d->AddColor(a.dx, a.dy, a.w, a.h, k); },
            [=](DWORD d, DWORD, int b) { return AddColour(d, k, b); });
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5})
        add("Darken" + std::to_string(level), false, [=](S d, S, A a) {
            return d->Darken(a.dx, a.dy, a.w, a.h, level);
        },
            [=](DWORD d, DWORD, int b) { return b == 3 ? 0 : Clamp(level) * ByteOf(d, b) / 255; });
    add("Fill", false, [](S d, S, A a) { return d->Fill(a.dx, a.dy, a.w, a.h, 0x00123456); },
        [](DWORD, DWORD, int b) { return ByteOf(0x00123456, b); });
    for (int c = 0; c < 4; ++c) {
        add("SetChannel" + std::to_string(c), false, [=](S d, S, A a) {
            return d->SetChannel(c, a.dx, a.dy, a.w, a.h, 0x1A5);
        },
            [=](DWORD d, DWORD, int b) { return b == c ? 0xA5 : ByteOf(d, b); });
        for (int from = 0; from < 4; ++from)
            add("CopyChannel" + std::to_string(c) + "From" + std::to_string(from), true, [=](S d, S s, A a) {
                return d->CopyChannel(a.dx, a.dy, c, s, a.sx, a.sy, a.w, a.h, from);
            }, [=](DWORD d, DWORD s, int b) { return b == c ? ByteOf(s, from) : ByteOf(d, b); });
    }
    // Mixed by the source's fourth byte; where that is 0 the pixel is left alone.
    add("AlphaFrom", true, [](S d, S s, A a) { return d->AlphaFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h); },
        [](DWORD d, DWORD s, int b) {
            if (ByteOf(s, 3) == 0) return ByteOf(d, b);
            return b == 3 ? 0 : Blend(kBlendMix, ByteOf(d, b), ByteOf(s, b), ByteOf(s, 3));
        }).inRow = true;
    Routine& keyed = add("CopyKeyed", true, [](S d, S s, A a) {
        d->CopyKeyed(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, 0x000102);
        return 0;
    }, Keyed(0x000102));
    keyed.inRow = keyed.noResult = true;
    add("BltFrom", true, [](S d, S s, A a) { return d->BltFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, 0); },
        FromSource).mask = 0xFFFFFF;
    // Bit 24 of the flags selects the keyed copy, so -1 keys on white.
    add("BltFromKeyed", true, [](S d, S s, A a) { return d->BltFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, -1); },
        Keyed(0xFFFFFF)).inRow = true;
    // Refused arguments: -1 and nothing changed.
    const std::pair<const char*, Run> refusals[] = {
        {"BlendFromMode3", [](S d, S s, A a) { return d->BlendFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, 3, 9); }},
        {"BlendFromNull", [](S d, S, A a) { return d->BlendFrom(a.dx, a.dy, nullptr, a.sx, a.sy, a.w, a.h, 0, 9); }},
        {"BltFromNoSource", [](S d, S, A a) { return d->BltFrom(a.dx, a.dy, nullptr, a.sx, a.sy, a.w, a.h, 0); }},
        {"CopyChannelTo4", [](S d, S s, A a) { return d->CopyChannel(a.dx, a.dy, 4, s, a.sx, a.sy, a.w, a.h, 0); }},
        {"CopyChannelToM1", [](S d, S s, A a) { return d->CopyChannel(a.dx, a.dy, -1, s, a.sx, a.sy, a.w, a.h, 0); }},
        {"CopyChannelFrom4", [](S d, S s, A a) { return d->CopyChannel(a.dx, a.dy, 0, s, a.sx, a.sy, a.w, a.h, 4); }},
        {"CopyChannelFromM1", [](S d, S s, A a) { return d->CopyChannel(a.dx, a.dy, 0, s, a.sx, a.sy, a.w, a.h, -1); }},
        {"BlendColorModeM1", [](S d, S, A a) { return d->BlendColor(a.dx, a.dy, a.w, a.h, 0, -1, 128); }},
        {"SetChannel4", [](S d, S, A a) { return d->SetChannel(4, a.dx, a.dy, a.w, a.h, 9); }},
    };
    for (const auto& [name, run] : refusals) add(std::string("Refused") + name, true, run, Unchanged).result = -1;
    // Last, as the wild rounds pick them more often; the stretch with its sizes swapped, one to one when square.
    add("CopyFrom", true, [](S d, S s, A a) { return d->CopyFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h); },
        FromSource).viaTemporary = true;
    Routine& stretch = add("StretchKeyed", true, [](S d, S s, A a) {
        d->StretchKeyed(a.dx, a.dy, a.w, a.h, s, a.sx, a.sy, a.h, a.w, 0xFFFFFFFF);
        return 0;
    }, FromSource);
    stretch.stretch = stretch.noResult = true;
    return r;
}

std::vector<Routine> RowRoutines()
{
    std::vector<Routine> all = Routines(), inRow;
    std::copy_if(all.begin(), all.end(), std::back_inserter(inRow), [](const Routine& r) { return r.inRow; });
    return inRow;
}

class PixelRoutine : public SurfaceTest, public ::testing::WithParamInterface<Routine> {
protected:
    void SetUp() override { AllowPackedFadeAdd(!GetParam().plain); }
    void TearDown() override { AllowPackedFadeAdd(true); }
};
class OwnRow : public PixelRoutine {};

void PrintTo(const Routine& r, std::ostream* out) { *out << r.name; }
std::string NameOf(const ::testing::TestParamInfo<Routine>& info)
{
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', 'm');
    return name;
}

}  // namespace

TEST_P(PixelRoutine, EveryBytePairGivesTheFormula)
{
    const Routine& r = GetParam();
    CDIBSurface* dst = Make(256, 256);
    CDIBSurface* src = Make(256, -256);  // the other row order
    Paint(dst, [](int, int y) { return Spread(y); });
    Paint(src, [](int x, int) { return Spread(x); });
    ASSERT_EQ(r.run(dst, src, {0, 0, 0, 0, 256, 256}), r.result);
    EXPECT_TRUE(Pixels(dst, [&](int x, int y) { return Whole(r.ref, Spread(y), Spread(x)); }, r.mask));
}

// Within a row that is its own source, shifted by up to two pixels either way, as if done one pixel at
// a time reading what memory holds then.
TEST_P(OwnRow, ActsPixelByPixel)
{
    const Routine& r = GetParam();
    CDIBSurface* row = Make(24, 1);
    for (int shift : {1, -1, 2, -2, 0}) {
        DWORD want[24];
        for (int x = 0; x < 24; ++x) {  // keys among them, with and without a fourth byte
            const DWORD p = PatternPixel(x, 0, 9);
            want[x] = p % 5 ? p : (x % 2 ? 0x000102 : 0xFFFFFF) | DWORD(x % 3) << 24;
        }
        Paint(row, [&](int x, int) { return want[x]; });
        for (int i = 0; i < 13; ++i) {
            const int x = r.leftward ? 16 - i : 4 + i;
            want[x] = Whole(r.ref, want[x], want[x + shift]);
        }
        r.run(row, row, {4, 0, 4 + shift, 0, 13, 1});
        EXPECT_TRUE(Pixels(row, [&](int x, int) { return want[x]; })) << "shift " << shift;
    }
}

// The plain path can be forced anywhere; on x86-64 the processor always has MMX.
TEST(FadeAddPath, PlainWhenPackedIsNotAllowed)
{
    AllowPackedFadeAdd(false);
    EXPECT_FALSE(UsePackedFadeAdd());
    AllowPackedFadeAdd(true);
}

TEST(FadeAddPath, PackedWhenAllowedOnX86_64)
{
#if !defined(__x86_64__)
    GTEST_SKIP() << "only an x86-64 processor is sure to have MMX";
#endif
    AllowPackedFadeAdd(true);
    EXPECT_TRUE(UsePackedFadeAdd());
}

INSTANTIATE_TEST_SUITE_P(Surface, PixelRoutine, ::testing::ValuesIn(Routines()), NameOf);
// One case of each routine that reads its own row, the fade right to left, the others left to right.
INSTANTIATE_TEST_SUITE_P(Surface, OwnRow, ::testing::ValuesIn(RowRoutines()), NameOf);

// Half the time a value near the surfaces, otherwise one at the edges of the surfaces or of int.
int Pick(std::mt19937& rng)
{
    static const int edges[] = {INT_MIN, -0x7FFFFFF0, -100000, -40, -37, -23, -5, -1, 0, 1, 2, 3, 5, 11, 22, 23,
                                36, 37, 38, 100000, 0x7FFFFFF0, INT_MAX};
    return rng() % 2 ? static_cast<int>(rng() % 60) - 15 : edges[rng() % 22];
}

// Widths 1 to 9 (the remainders of steps of two or four pixels), then wild arguments, the source at times
// the receiver itself or never created: the formula inside the clipped rectangle, nothing touched
// outside, -1 when clipped to nothing.
TEST_F(SurfaceTest, EveryRoutineKeepsToItsClippedRectangle)
{
    const std::vector<Routine> routines = Routines();
    const int kW = 37, kH = 23, kCount = static_cast<int>(routines.size()), kSmall = kCount * 9;
    CDIBSurface* d = Make(kW, kH);
    CDIBSurface* other = Make(kH + 4, -(kW - 5));  // another shape and row order
    CDIBSurface none(window);
    CDIBSurface* sources[] = {&none, d, d, other, other, other, other, other};
    std::mt19937 rng(12345);
    for (int round = 0; round < kSmall + 3000; ++round) {
        const bool small = round < kSmall;
        Paint(d, [&](int x, int y) { return PatternPixel(x, y, round); });
        Paint(other, [&](int x, int y) { return PatternPixel(x, y, ~round); });
        CDIBSurface* s = small ? other : sources[rng() % 8];
        const Routine& r = routines[small ? round % kCount : round % 3 ? rng() % kCount : kCount - 1 - round % 2];
        SCOPED_TRACE("round " + std::to_string(round) + " " + r.name);
        AllowPackedFadeAdd(!r.plain);
        Args a = {3, 1, 3, 1, round / kCount + 1, 4};
        if (!small) a = {Pick(rng), Pick(rng), Pick(rng), Pick(rng), Pick(rng), Pick(rng)};
        r.run(&none, s, a);
        const int result = r.run(d, s, a);
        GdiFlush();
        const bool formula = !r.stretch && (s != d || r.viaTemporary);
        const long long dx = a.dx, dy = a.dy, cols = r.stretch && a.w < 0 ? -static_cast<long long>(a.w) : a.w;
        bool any = false;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const long long u = x - dx + a.sx, v = y - dy + a.sy;
                bool inside = Inside(x, dx, dx + cols) && Inside(y, dy, dy + a.h);
                if (r.source && !r.stretch) inside &= Inside(u, 0, s->GetWidth()) && Inside(v, 0, s->GetHeight());
                any = any || inside;
                const DWORD was = PatternPixel(x, y, round), got = *d->PixelPtr(x, y);
                const DWORD from = inside ? PatternPixel(int(u), int(v), s == d ? round : ~round) : 0;
                if (!inside) {
                    ASSERT_EQ(got, was) << "outside, at " << x << "," << y;
                } else if (formula) {
                    ASSERT_EQ(got & r.mask, Whole(r.ref, was, from) & r.mask) << "at " << x << "," << y;
                }
            }
        // A receiver's rectangle alone may end up empty, but not negative.
        const bool negative = std::min<long long>(dx + a.w, kW) < std::max(dx, 0LL) ||
                              std::min<long long>(dy + a.h, kH) < std::max(dy, 0LL);
        EXPECT_EQ(result, r.noResult || !(r.source ? !any : negative) ? r.result : -1);
    }
    AllowPackedFadeAdd(true);
}
