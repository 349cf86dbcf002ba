// The pixel routines against their plain formulas: every byte pair, and the clipped rectangle. FadeFrom and
// AddFrom run on the packed path and, forced, on the plain one.
#include <algorithm>
#include <cmath>
#include <functional>
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
// A routine's call on receiver d with source s, one that returns nothing run as giving 0, and a byte's formula.
#define RUN(call) [=](S d, [[maybe_unused]] S s, A a) { return d->call; }
#define RUN_VOID(call) [=](S d, S s, A a) { d->call; return 0; }
#define REF(byte) [=]([[maybe_unused]] DWORD d, [[maybe_unused]] DWORD s, int b) { return byte; }
// The arguments every routine takes: the receiver's rectangle and, for those that read one, the source's.
#define RECT_ARGS a.dx, a.dy, a.w, a.h
#define FROM_ARGS a.dx, a.dy, s, a.sx, a.sy, a.w, a.h

// What sets a routine apart from the plain case (reads a source, gives 0, changes all four bytes).
enum {
    kNoSource = 1, kRefused = 2, kThreeBytes = 4,  // no source read; -1 and nothing changed; BitBlt has byte 3
    kPlain = 8,                                      // FadeFrom and AddFrom forced onto the plain path
    kStretch = 16,                                   // samples its source: no formula past the source's edges
};
struct Routine {
    std::string name;
    Run run;
    Ref ref;
    int kind;
    bool Is(int k) const { return (kind & k) != 0; }
    DWORD Mask() const { return Is(kThreeBytes) ? 0xFFFFFF : 0xFFFFFFFF; }
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
// Keyed copies skip the key, comparing and writing with the fourth byte cleared.
Ref Keyed(DWORD key) { return REF((s & 0xFFFFFF) == key ? ByteOf(d, b) : b == 3 ? 0 : ByteOf(s, b)); }
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

// Every routine and case, each with the formula of its bytes.
std::vector<Routine> Routines()
{
    std::vector<Routine> r;
    const Ref fromSource = REF(ByteOf(s, b));
    for (int mode : {kBlendMix, kBlendAdd, kBlendSubtract})
        for (int level : {0, 1, 2, 64, 127, 128, 200, 254, 255, -5, 400}) {  // outside 0..255: the nearer end
            const std::string what = "Mode" + std::to_string(mode) + "Level" + std::to_string(level);
            const Ref blend = REF(b == 3 ? 0 : Blend(mode, ByteOf(d, b), ByteOf(s, b), Clamp(level)));
            r.push_back({"BlendFrom" + what, RUN(BlendFrom(FROM_ARGS, mode, level)), blend, 0});
            for (DWORD k : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0x00807F01u})
                r.push_back({"BlendColor" + what + "Colour" + std::to_string(k),
                             RUN(BlendColor(RECT_ARGS, k, mode, level)), REF(blend(d, k, b)), kNoSource});
        }
    for (int path : {0, int(kPlain)}) {
        const std::string name = path ? "Plain" : "Packed";
        // Bits of the fade weight outside its low and third bytes are ignored.
        for (int w : {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1})
            r.push_back({"FadeFrom" + name + "Weight" + std::to_string(unsigned(w)), RUN(FadeFrom(FROM_ARGS, w)),
                         REF(Fade(ByteOf(d, b), ByteOf(s, b), ByteOf(w, b / 3 * 2))),
                         path});
        r.push_back({"AddFrom" + name, RUN(AddFrom(FROM_ARGS)), REF(std::min(255, ByteOf(d, b) + ByteOf(s, b))), path});
    }
    r.push_back({"AverageColor", RUN(AverageColor(RECT_ARGS, 0xFF8003)),
                 REF(b == 3 ? 0 : (ByteOf(d, b) >> 1) + (ByteOf(0xFF8003, b) >> 1)), kNoSource});
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u})
        r.push_back({"AddColor" + std::to_string(k), RUN(AddColor(RECT_ARGS, k)), REF(AddColour(d, k, b)), kNoSource});
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5})
        r.push_back({"Darken" + std::to_string(level), RUN(Darken(RECT_ARGS, level)),
                     REF(b == 3 ? 0 : Clamp(level) * ByteOf(d, b) / 255), kNoSource});
    r.push_back({"Fill", RUN(Fill(RECT_ARGS, 0x00123456)), REF(ByteOf(0x00123456, b)), kNoSource});
    for (int c = 0; c < 4; ++c) {
        r.push_back({"SetChannel" + std::to_string(c), RUN(SetChannel(c, RECT_ARGS, 0x1A5)),
                     REF(b == c ? 0xA5 : ByteOf(d, b)), kNoSource});
        for (int from = 0; from < 4; ++from)
            r.push_back({"CopyChannel" + std::to_string(c) + "From" + std::to_string(from),
                         RUN(CopyChannel(a.dx, a.dy, c, s, a.sx, a.sy, a.w, a.h, from)),
                         REF(b == c ? ByteOf(s, from) : ByteOf(d, b)), 0});
    }
    // Mixed by the source's fourth byte; where that is 0 the pixel is left alone.
    const Ref alpha = REF(b == 3 ? 0 : Blend(kBlendMix, ByteOf(d, b), ByteOf(s, b), ByteOf(s, 3)));
    r.push_back({"AlphaFrom", RUN(AlphaFrom(FROM_ARGS)), REF(ByteOf(s, 3) ? alpha(d, s, b) : ByteOf(d, b)), 0});
    r.push_back({"CopyKeyed", RUN_VOID(CopyKeyed(FROM_ARGS, 0x000102)), Keyed(0x000102), 0});
    r.push_back({"BltFrom", RUN(BltFrom(FROM_ARGS, 0)), fromSource, kThreeBytes});
    // Bit 24 of the flags selects the keyed copy, so -1 keys on white.
    r.push_back({"BltFromKeyed", RUN(BltFrom(FROM_ARGS, -1)), Keyed(0xFFFFFF), 0});
    const std::pair<const char*, Run> refusals[] = {
        {"BlendFromMode3", RUN(BlendFrom(FROM_ARGS, 3, 9))},
        {"BlendFromNull", RUN(BlendFrom(a.dx, a.dy, nullptr, a.sx, a.sy, a.w, a.h, 0, 9))},
        {"BltFromNoSource", RUN(BltFrom(a.dx, a.dy, nullptr, a.sx, a.sy, a.w, a.h, 0))},
        {"CopyChannelTo4", RUN(CopyChannel(a.dx, a.dy, 4, s, a.sx, a.sy, a.w, a.h, 0))},
        {"CopyChannelToM1", RUN(CopyChannel(a.dx, a.dy, -1, s, a.sx, a.sy, a.w, a.h, 0))},
        {"CopyChannelFrom4", RUN(CopyChannel(a.dx, a.dy, 0, s, a.sx, a.sy, a.w, a.h, 4))},
        {"CopyChannelFromM1", RUN(CopyChannel(a.dx, a.dy, 0, s, a.sx, a.sy, a.w, a.h, -1))},
        {"BlendColorModeM1", RUN(BlendColor(RECT_ARGS, 0, -1, 128))},
        {"SetChannel4", RUN(SetChannel(4, RECT_ARGS, 9))},
    };
    for (const auto& [name, run] : refusals)
        r.push_back({std::string("Refused") + name, run, REF(ByteOf(d, b)), kRefused});
    // The stretch with its sizes swapped, so that it samples.
    r.push_back({"CopyFrom", RUN(CopyFrom(FROM_ARGS)), fromSource, 0});
    r.push_back({"StretchKeyed", RUN_VOID(StretchKeyed(a.dx, a.dy, a.w, a.h, s, a.sx, a.sy, a.h, a.w, ~0u)), fromSource,
                 kStretch});
    return r;
}

// Runs each routine as the packed or the plain path its case names.
class PixelRoutines : public SurfaceTest {
protected:
    void TearDown() override { AllowPackedFadeAdd(true); }
    const std::vector<Routine> routines = Routines();
};

}  // namespace

TEST_F(PixelRoutines, EveryRoutineGivesItsFormulaForEveryBytePair)
{
    CDIBSurface* dst = Make(256, 256);
    CDIBSurface* src = Make(256, -256);  // the other row order
    Paint(src, [](int x, int) { return Spread(x); });
    for (const Routine& r : routines) {
        AllowPackedFadeAdd(!r.Is(kPlain));
        Paint(dst, [](int, int y) { return Spread(y); });
        EXPECT_EQ(r.run(dst, src, {0, 0, 0, 0, 256, 256}), r.Is(kRefused) ? -1 : 0) << r.name;
        const auto formula = [&](int x, int y) { return Whole(r.ref, Spread(y), Spread(x)); };
        EXPECT_TRUE(PixelsMatch(dst, formula, r.Mask())) << r.name;
    }
}

// The plain path can be forced anywhere; an x86-64 processor always has MMX.
TEST(FadeAddPath, PackedOnlyWhenAllowed)
{
    AllowPackedFadeAdd(false);
    EXPECT_FALSE(UsePackedFadeAdd());
    AllowPackedFadeAdd(true);
#if defined(__x86_64__)
    EXPECT_TRUE(UsePackedFadeAdd());
#endif
}

// Widths 1 to 9 (the remainders of steps of two or four pixels) once clipped by one column and one row
// reaching past the source's right and bottom edges: the formula inside the clipped rectangle, nothing
// touched outside.
TEST_F(PixelRoutines, EveryRoutineKeepsToItsClippedRectangle)
{
    const int kW = 37, kH = 23;
    CDIBSurface* d = Make(kW, kH);
    CDIBSurface* s = Make(kH + 4, -(kW - 5));  // another shape and row order
    for (int width = 2; width <= 10; ++width)
        for (const Routine& r : routines) {
            SCOPED_TRACE(r.name + " width " + std::to_string(width - 1));
            Paint(d, [&](int x, int y) { return PatternPixel(x, y, width); });
            Paint(s, [&](int x, int y) { return PatternPixel(x, y, ~width); });
            AllowPackedFadeAdd(!r.Is(kPlain));
            const Args a = {3, 1, kH + 5 - width, kW - 8, width, 4};
            EXPECT_EQ(r.run(d, s, a), r.Is(kRefused) ? -1 : 0);
            GdiFlush();
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const int u = x - a.dx + a.sx, v = y - a.dy + a.sy;
                    bool inside = Inside(x, a.dx, a.dx + a.w) && Inside(y, a.dy, a.dy + a.h);
                    if (!r.Is(kNoSource | kStretch))
                        inside &= Inside(u, 0, s->GetWidth()) && Inside(v, 0, s->GetHeight());
                    const DWORD was = PatternPixel(x, y, width), got = *d->PixelPtr(x, y);
                    if (!inside) {
                        ASSERT_EQ(got, was) << "outside, at " << x << "," << y;
                    } else if (!r.Is(kStretch)) {
                        const DWORD from = PatternPixel(u, v, ~width);
                        ASSERT_EQ(got & r.Mask(), Whole(r.ref, was, from) & r.Mask()) << "at " << x << "," << y;
                    }
                }
        }
}
