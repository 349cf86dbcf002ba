// Every pixel routine, from one table: each byte of its results against a plain reference formula over
// every pair of destination and source byte values, in its own order within one row, and never outside
// its rectangle (clipped to the surfaces) whatever the arguments.
#include "surface_fixture.h"

#include <algorithm>
#include <functional>
#include <random>
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

using Ref = std::function<int(DWORD d, DWORD s, int b)>;  // byte b of a result from the pixels it was made of
int Unchanged(DWORD d, DWORD, int b) { return ByteOf(d, b); }

// A routine with its arguments, run on d (and source s) at dx, dy, sx, sy, w, h; whether it reads a source
// rectangle; its reference (none where GDI decides the bytes); its result on whole surfaces.
using Run = std::function<int(CDIBSurface* d, CDIBSurface* s, int dx, int dy, int sx, int sy, int w, int h)>;
struct Routine {
    std::string name;
    bool source;
    Run run;
    Ref ref;
    int result;
};
#define RUN(call) [=](CDIBSurface* d, CDIBSurface* s, int dx, int dy, int sx, int sy, int w, int h) { return call; }

std::vector<Routine> Routines()
{
    std::vector<Routine> r;
    auto add = [&](std::string name, bool source, Run run, Ref ref, int result = 0) {
        r.push_back({name, source, run, ref, result});
    };
    for (int mode : {kBlendMix, kBlendAdd, kBlendSubtract})
        for (int level : {0, 1, 2, 64, 127, 128, 200, 254, 255, -5, 400}) {
            const std::string what = " mode " + std::to_string(mode) + " level " + std::to_string(level);
            auto blend = [=](DWORD d, DWORD s, int b) { return b == 3 ? 0 : Blend(mode, ByteOf(d, b), ByteOf(s, b), level); };
            add("BlendFrom" + what, true, RUN(d->BlendFrom(dx, dy, s, sx, sy, w, h, mode, level)), blend);
            for (DWORD k : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0x00807F01u})
                add("BlendColor" + what, false, RUN(d->BlendColor(dx, dy, w, h, k, mode, level)),
                    [=](DWORD d, DWORD, int b) { return blend(d, k, b); });
        }
    // Bits of the fade weight outside its low and third bytes are ignored.
    for (int weight : {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1})
        add("FadeFrom " + std::to_string(weight), true, RUN(d->FadeFrom(dx, dy, s, sx, sy, w, h, weight)),
            [=](DWORD d, DWORD s, int b) { return ByteOf(FadePixel(d, s, weight), b); });
    add("AddFrom", true, RUN(d->AddFrom(dx, dy, s, sx, sy, w, h)),
        [](DWORD d, DWORD s, int b) { return std::min(255, ByteOf(d, b) + ByteOf(s, b)); });
    // Mixed by the source's fourth byte; where that is 0 the pixel is left alone.
    add("AlphaFrom", true, RUN(d->AlphaFrom(dx, dy, s, sx, sy, w, h)), [](DWORD d, DWORD s, int b) {
        const int a = ByteOf(s, 3);
        return a == 0 ? ByteOf(d, b) : b == 3 ? 0 : Blend(kBlendMix, ByteOf(d, b), ByteOf(s, b), a);
    });
    add("AverageColor", false, RUN(d->AverageColor(dx, dy, w, h, 0x00FF8003)),
        [](DWORD d, DWORD, int b) { return b == 3 ? 0 : (ByteOf(d, b) >> 1) + (ByteOf(0x00FF8003, b) >> 1); });
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u})
        add("AddColor", false, RUN(d->AddColor(dx, dy, w, h, k)),
            [=](DWORD d, DWORD, int b) { return ByteOf(AddColorRef(d, k), b); });
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5})
        add("Darken " + std::to_string(level), false, RUN(d->Darken(dx, dy, w, h, level)),
            [=](DWORD d, DWORD, int b) { return b == 3 ? 0 : Clamp(level) * ByteOf(d, b) / 255; });
    for (int dc = 0; dc < 4; ++dc) {
        for (int sc = 0; sc < 4; ++sc)
            add("CopyChannel " + std::to_string(dc) + " from " + std::to_string(sc), true,
                RUN(d->CopyChannel(dx, dy, dc, s, sx, sy, w, h, sc)),
                [=](DWORD d, DWORD s, int b) { return b == dc ? ByteOf(s, sc) : ByteOf(d, b); });
        add("SetChannel " + std::to_string(dc), false, RUN(d->SetChannel(dc, dx, dy, w, h, 0x1A5)),
            [=](DWORD d, DWORD, int b) { return b == dc ? 0xA5 : ByteOf(d, b); });
    }
    add("mode 3", true, RUN(d->BlendFrom(dx, dy, s, sx, sy, w, h, 3, 128)), Unchanged, -1);
    add("mode -1", false, RUN(d->BlendColor(dx, dy, w, h, 0, -1, 128)), Unchanged, -1);
    add("no source", true, RUN(d->BlendFrom(dx, dy, nullptr, sx, sy, w, h, 0, 128)), Unchanged, -1);
    add("channel 4", true, RUN(d->CopyChannel(dx, dy, 4, s, sx, sy, w, h, 0)), Unchanged, -1);
    add("channel -1", true, RUN(d->CopyChannel(dx, dy, 0, s, sx, sy, w, h, -1)), Unchanged, -1);
    add("set channel 4", false, RUN(d->SetChannel(4, dx, dy, w, h, 9)), Unchanged, -1);
    add("CopyFrom", true, RUN(d->CopyFrom(dx, dy, s, sx, sy, w, h)), [](DWORD, DWORD s, int b) { return ByteOf(s, b); });
    add("Fill", false, RUN(d->Fill(dx, dy, w, h, 0x00123456)), [](DWORD, DWORD, int b) { return ByteOf(0x00123456, b); });
    // Compared and written with the fourth byte cleared.
    add("CopyKeyed", true, RUN((d->CopyKeyed(dx, dy, s, sx, sy, w, h, 0x000102), 0)), [](DWORD d, DWORD s, int b) {
        return (s & 0xFFFFFF) == 0x000102 ? ByteOf(d, b) : b == 3 ? 0 : ByteOf(s, b);
    });
    add("BltFrom", true, RUN(d->BltFrom(dx, dy, s, sx, sy, w, h, 0)), nullptr);
    add("BltFrom keyed", true, RUN(d->BltFrom(dx, dy, s, sx, sy, w, h, 0x1000001)), nullptr);
    return r;
}

// Half the time a value near the surfaces, otherwise one at the edges of the surfaces or of int.
int Pick(std::mt19937& rng)
{
    static const int values[] = {-0x7FFFFFFF - 1, -0x7FFFFFF0, -100000, -40, -37, -23, -5, -1, 0, 1, 2, 3,
                                 5, 11, 22, 23, 36, 37, 38, 100000, 0x7FFFFFF0, 0x7FFFFFFF};
    return rng() % 2 ? static_cast<int>(rng() % 60) - 15 : values[rng() % (sizeof values / sizeof values[0])];
}

bool Inside(long long v, long long lo, long long hi) { return v >= lo && v < hi; }

}  // namespace

TEST_F(SurfaceTest, EveryByteOfEveryRoutineAgainstItsFormula)
{
    CDIBSurface* dst = Make(256, 256);
    CDIBSurface* src = Make(256, -256);  // the other row order
    for (const Routine& r : Routines()) {
        if (!r.ref)
            continue;
        Paint(dst, [](int, int y) { return Spread(y); });
        Paint(src, [](int x, int) { return Spread(x); });
        ASSERT_EQ(r.run(dst, src, 0, 0, 0, 0, 256, 256), r.result) << r.name;
        int failures = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const DWORD got = *dst->PixelPtr(x, y), d = Spread(y), s = Spread(x);
                for (int b = 0; b < 4; ++b)
                    if (ByteOf(got, b) != r.ref(d, s, b) && failures++ < 5)
                        ADD_FAILURE() << r.name << ": byte " << b << " of d " << std::hex << d << " s " << s << " is "
                                      << int(ByteOf(got, b)) << ", not " << r.ref(d, s, b);
            }
    }
}

TEST_F(SurfaceTest, WithinOneRowPixelsGoOneAtATimeInTheirOrder)
{
    // As if done one pixel at a time, each reading what memory holds then: the fade right to left, the
    // others left to right.
    for (const Routine& r : Routines()) {
        const bool leftward = r.name == "FadeFrom 16711808";
        if (!leftward && r.name != "BlendFrom mode 0 level 64" && r.name != "CopyKeyed" && r.name != "AlphaFrom")
            continue;
        for (int shift : {1, -1, 2, -2, 0}) {
            CDIBSurface* s = Make(24, 1);
            Paint(s, [](int x, int) { return PatternPixel(x, 0, 9) % 5 ? PatternPixel(x, 0, 9) : 0x000102; });
            DWORD ref[24];
            for (int x = 0; x < 24; ++x)
                ref[x] = *s->PixelPtr(x, 0);
            for (int i = 0; i < 13; ++i) {
                const int x = leftward ? 16 - i : 4 + i;
                const DWORD d = ref[x], sp = ref[x + shift];
                ref[x] = 0;
                for (int b = 0; b < 4; ++b)
                    ref[x] |= static_cast<DWORD>(r.ref(d, sp, b)) << 8 * b;
            }
            r.run(s, s, 4, 0, 4 + shift, 0, 13, 1);
            EXPECT_TRUE(Pixels(s, [&](int x, int) { return ref[x]; })) << r.name << " shift " << shift;
        }
    }
}

TEST_F(SurfaceTest, NoRoutineWritesOutsideItsRectangle)
{
    // First every routine (and the keyed stretch, last) on interior rectangles of widths 1 to 9, which
    // must hold its result (odd widths leave a remainder after the steps of two or four pixels); then
    // wild arguments on patterned surfaces, one also the source and one never created.
    const std::vector<Routine> routines = Routines();
    const int kW = 37, kH = 23, kStretch = static_cast<int>(routines.size()), kGuarded = (kStretch + 1) * 9;
    const DWORD kD = 0x00404040, kS = 0x40101010;
    CDIBSurface* d = Make(kW, kH);
    CDIBSurface* other = Make(kH + 4, -(kW - 5));  // another shape and row order
    CDIBSurface none(window);
    std::mt19937 rng(12345);
    for (int round = 0; round < kGuarded + 3000; ++round) {
        const bool guarded = round < kGuarded;
        Paint(d, [&](int x, int y) { return guarded ? kD : PatternPixel(x, y, round); });
        Paint(other, [&](int x, int y) { return guarded ? kS : PatternPixel(x, y, round + 7); });
        const unsigned from = rng() % 8;
        CDIBSurface* s = guarded ? other : from == 0 ? &none : from < 3 ? d : other;
        const int op = guarded ? round / 9 : round % 3 == 2 ? kStretch : static_cast<int>(rng() % kStretch);
        long long dx = Pick(rng), dy = Pick(rng), sx = Pick(rng), sy = Pick(rng), w = Pick(rng), h = Pick(rng);
        const int sw = guarded ? round % 9 + 1 : Pick(rng), sh = guarded ? 4 : Pick(rng);
        if (guarded)
            dx = sx = 3, dy = sy = 1, w = sw, h = sh;
        for (CDIBSurface* target : {&none, d})
            if (op == kStretch)
                target->StretchKeyed(int(dx), int(dy), int(w), int(h), s, int(sx), int(sy), sw, sh, 0xFFFFFFFF);
            else
                routines[op].run(target, s, int(dx), int(dy), int(sx), int(sy), int(w), int(h));
        GdiFlush();
        const long long cols = op == kStretch && w < 0 ? -w : w;  // a mirrored stretch, still right of dx
        const bool source = op == kStretch || routines[op].source;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                bool inside = Inside(x, dx, dx + cols) && Inside(y, dy, dy + h);
                if (source && op != kStretch)
                    inside &= Inside(x - dx + sx, 0, s->GetWidth()) && Inside(y - dy + sy, 0, s->GetHeight());
                DWORD want = guarded ? kD : PatternPixel(x, y, round);
                const Ref& ref = op == kStretch ? Ref([](DWORD, DWORD s, int b) { return ByteOf(s, b); }) : routines[op].ref;
                for (int b = 0; guarded && inside && ref && b < 4; ++b)
                    want = (want & ~(0xFFu << 8 * b)) | static_cast<DWORD>(ref(kD, kS, b)) << 8 * b;
                const DWORD got = *d->PixelPtr(x, y);
                if (!inside ? got != want : guarded && (ref ? got != want : got == kD))
                    FAIL() << "round " << round << " " << (op == kStretch ? "StretchKeyed" : routines[op].name) << " at "
                           << x << "," << y << " for " << dx << " " << dy << " " << sx << " " << sy << " " << w << " " << h;
            }
    }
}
