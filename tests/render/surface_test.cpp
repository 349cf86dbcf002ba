// The surface: every pixel routine from one table against a plain formula, its order within a row, its
// clipped rectangle and result; the stretches' sampling; creating, refusing and releasing.
#include "surface_fixture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <iterator>
#include <random>
#include <string>

namespace {

BYTE ByteOf(DWORD p, int i) { return static_cast<BYTE>(p >> (8 * i)); }

// Four permutations of v, one per byte: with destination rows Spread(y) and source columns Spread(x)
// every (d, s) pair meets in every byte.
DWORD Spread(int v) { return DWORD(v) | (v * 5 + 11) % 256 << 8 | (255 - v) << 16 | DWORD(v * 3 % 256) << 24; }

int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Mode 0 mixes (truncating toward zero), 1 adds, 2 subtracts.
int Blend(int mode, int d, int s, int level)
{
    return mode == kBlendMix ? d + (s - d) * level / 255 : Clamp(mode == kBlendAdd ? d + level * s / 255 : d - level * (255 - s) / 255);
}

// s + 2 x floor((d - s) x weight x 128 / 65536), clamped.
int Fade(int d, int s, int weight) { return Clamp(s + 2 * static_cast<int>(std::floor((d - s) * weight * 128 / 65536.0))); }
// Byte b of a result from the pixels it was made of, or -1 where GDI decides it (outside Mask).
using Ref = std::function<int(DWORD d, DWORD s, int b)>;
int Unchanged(DWORD d, DWORD, int b) { return ByteOf(d, b); }
DWORD Whole(const Ref& ref, DWORD d, DWORD s)
{
    return DWORD(ref(d, s, 0)) & 0xFF | (ref(d, s, 1) & 0xFF) << 8 | (ref(d, s, 2) & 0xFF) << 16 | DWORD(ref(d, s, 3) & 0xFF) << 24;
}
DWORD Mask(const Ref& ref) { return ref(0, 0, 3) < 0 ? 0xFFFFFF : 0xFFFFFFFF; }
// Copies skip the key, comparing and writing with the fourth byte cleared.
Ref Keyed(DWORD key) { return [=](DWORD d, DWORD s, int b) { return (s & 0xFFFFFF) == key ? ByteOf(d, b) : b == 3 ? 0 : ByteOf(s, b); }; }

// A routine with its arguments, run on d (and s) at dx, dy, sx, sy, w, h; its result on whole surfaces.
using Run = std::function<int(CDIBSurface* d, CDIBSurface* s, int dx, int dy, int sx, int sy, int w, int h)>;
struct Routine { std::string name; bool source; Run run; Ref ref; int result; };
#define RUN(call) [=](CDIBSurface* d, CDIBSurface* s, int dx, int dy, int sx, int sy, int w, int h) { return call; }

std::vector<Routine> Routines()
{
    std::vector<Routine> r;
    auto add = [&](std::string name, bool source, Run run, Ref ref, int result = 0) { r.push_back({name, source, run, ref, result}); };
    for (int mode : {kBlendMix, kBlendAdd, kBlendSubtract})
        for (int level : {0, 1, 2, 64, 127, 128, 200, 254, 255, -5, 400}) {
            const std::string what = " mode " + std::to_string(mode) + " level " + std::to_string(level);
            // Levels outside 0..255 act as the nearer end.
            auto blend = [=](DWORD d, DWORD s, int b) { return b == 3 ? 0 : Blend(mode, ByteOf(d, b), ByteOf(s, b), Clamp(level)); };
            add("BlendFrom" + what, true, RUN(d->BlendFrom(dx, dy, s, sx, sy, w, h, mode, level)), blend);
            for (DWORD k : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0x00807F01u})
                add("BlendColor" + what, false, RUN(d->BlendColor(dx, dy, w, h, k, mode, level)),
                    [=](DWORD d, DWORD, int b) { return blend(d, k, b); });
        }
    // Bits of the fade weight outside its low and third bytes are ignored.
    for (int weight : {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1})
        add("FadeFrom " + std::to_string(weight), true, RUN(d->FadeFrom(dx, dy, s, sx, sy, w, h, weight)),
            [=](DWORD d, DWORD s, int b) { return Fade(ByteOf(d, b), ByteOf(s, b), ByteOf(DWORD(weight), b == 3 ? 2 : 0)); });
    add("AddFrom", true, RUN(d->AddFrom(dx, dy, s, sx, sy, w, h)), [](DWORD d, DWORD s, int b) { return std::min(255, ByteOf(d, b) + ByteOf(s, b)); });
    // Mixed by the source's fourth byte; where that is 0 the pixel is left alone.
    add("AlphaFrom", true, RUN(d->AlphaFrom(dx, dy, s, sx, sy, w, h)), [](DWORD d, DWORD s, int b) {
        return ByteOf(s, 3) == 0 ? ByteOf(d, b) : b == 3 ? 0 : Blend(kBlendMix, ByteOf(d, b), ByteOf(s, b), ByteOf(s, 3));
    });
    add("AverageColor", false, RUN(d->AverageColor(dx, dy, w, h, 0x00FF8003)),
        [](DWORD d, DWORD, int b) { return b == 3 ? 0 : (ByteOf(d, b) >> 1) + (ByteOf(0x00FF8003, b) >> 1); });
    // Top seven bits added; a byte that overflows is 255 and carries into the next one's lowest bit.
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u})
        add("AddColor", false, RUN(d->AddColor(dx, dy, w, h, k)), [=](DWORD d, DWORD, int b) {
            auto sum = [&](int i) { return i < 0 ? 0 : (ByteOf(d, i) & 0xFE) + (ByteOf(k, i) & 0xFE); };
            return b == 3 ? sum(2) > 255 : sum(b) > 255 ? 255 : (sum(b) & 0xFF) | (sum(b - 1) > 255);
        });
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5})
        add("Darken " + std::to_string(level), false, RUN(d->Darken(dx, dy, w, h, level)),
            [=](DWORD d, DWORD, int b) { return b == 3 ? 0 : Clamp(level) * ByteOf(d, b) / 255; });
    for (int dc = 0; dc < 4; ++dc) {
        for (int sc = 0; sc < 4; ++sc)
            add("CopyChannel " + std::to_string(dc) + " from " + std::to_string(sc), true, RUN(d->CopyChannel(dx, dy, dc, s, sx, sy, w, h, sc)),
                [=](DWORD d, DWORD s, int b) { return b == dc ? ByteOf(s, sc) : ByteOf(d, b); });
        add("SetChannel " + std::to_string(dc), false, RUN(d->SetChannel(dc, dx, dy, w, h, 0x1A5)),
            [=](DWORD d, DWORD, int b) { return b == dc ? 0xA5 : ByteOf(d, b); });
    }
    // Refused arguments: every call returns -1 and changes nothing.
    add("refused", true, RUN(std::max({d->BlendFrom(dx, dy, s, sx, sy, w, h, 3, 128), d->BlendFrom(dx, dy, nullptr, sx, sy, w, h, 0, 128),
                                       d->CopyChannel(dx, dy, 4, s, sx, sy, w, h, 0), d->CopyChannel(dx, dy, -1, s, sx, sy, w, h, 0),
                                       d->CopyChannel(dx, dy, 0, s, sx, sy, w, h, 4), d->CopyChannel(dx, dy, 0, s, sx, sy, w, h, -1),
                                       d->BltFrom(dx, dy, nullptr, sx, sy, w, h, 0)})), Unchanged, -1);
    add("refused colour", false, RUN(std::max(d->BlendColor(dx, dy, w, h, 0, -1, 128), d->SetChannel(4, dx, dy, w, h, 9))), Unchanged, -1);
    add("Fill", false, RUN(d->Fill(dx, dy, w, h, 0x00123456)), [](DWORD, DWORD, int b) { return ByteOf(0x00123456, b); });
    add("CopyKeyed", true, RUN((d->CopyKeyed(dx, dy, s, sx, sy, w, h, 0x000102), 0)), Keyed(0x000102));
    add("BltFrom", true, RUN(d->BltFrom(dx, dy, s, sx, sy, w, h, 0)), [](DWORD, DWORD s, int b) { return b == 3 ? -1 : ByteOf(s, b); });
    add("BltFrom keyed", true, RUN(d->BltFrom(dx, dy, s, sx, sy, w, h, -1)), Keyed(0xFFFFFF));  // bit 24 keys, on white
    // Last, as the wild rounds pick them more often; the stretch with sizes swapped (one to one when square).
    add("CopyFrom", true, RUN(d->CopyFrom(dx, dy, s, sx, sy, w, h)), [](DWORD, DWORD s, int b) { return ByteOf(s, b); });
    add("StretchKeyed", true, RUN((d->StretchKeyed(dx, dy, w, h, s, sx, sy, h, w, 0xFFFFFFFF), 0)), [](DWORD, DWORD s, int b) { return ByteOf(s, b); });
    return r;
}

// Half the time a value near the surfaces, otherwise one at the edges of the surfaces or of int.
int Pick(std::mt19937& rng)
{
    static const int values[] = {INT_MIN, -0x7FFFFFF0, -100000, -40, -37, -23, -5, -1, 0, 1, 2, 3, 5, 11, 22, 23, 36, 37, 38, 100000, 0x7FFFFFF0, INT_MAX};
    return rng() % 2 ? static_cast<int>(rng() % 60) - 15 : values[rng() % 22];
}

}  // namespace

TEST_F(SurfaceTest, EveryByteOfEveryRoutineAgainstItsFormula)
{
    // Every (d, s) byte pair; then, for some, within a row of a surface that is also the source, as if done
    // one pixel at a time reading what memory holds then: the fade right to left, the others left to right.
    CDIBSurface* dst = Make(256, 256);
    CDIBSurface* src = Make(256, -256);  // the other row order
    CDIBSurface* row = Make(24, 1);
    for (const Routine& r : Routines()) {
        Paint(dst, [](int, int y) { return Spread(y); });
        Paint(src, [](int x, int) { return Spread(x); });
        ASSERT_EQ(r.run(dst, src, 0, 0, 0, 0, 256, 256), r.result) << r.name;
        EXPECT_TRUE(Pixels(dst, [&](int x, int y) { return Whole(r.ref, Spread(y), Spread(x)); }, Mask(r.ref))) << r.name;
        const bool leftward = r.name == "FadeFrom 16711808";
        if (std::string("|BlendFrom mode 0 level 64|CopyKeyed|BltFrom keyed|AlphaFrom|FadeFrom 16711808|").find("|" + r.name + "|") == std::string::npos)
            continue;
        for (int shift : {1, -1, 2, -2, 0}) {
            DWORD ref[24];
            for (int x = 0; x < 24; ++x)  // keys among them, with and without a fourth byte
                ref[x] = PatternPixel(x, 0, 9) % 5 ? PatternPixel(x, 0, 9) : (x % 2 ? 0x000102 : 0xFFFFFF) | (x % 3) << 24;
            Paint(row, [&](int x, int) { return ref[x]; });
            for (int i = 0, x = leftward ? 16 : 4; i < 13; ++i, x += leftward ? -1 : 1)
                ref[x] = Whole(r.ref, ref[x], ref[x + shift]);
            r.run(row, row, 4, 0, 4 + shift, 0, 13, 1);
            EXPECT_TRUE(Pixels(row, [&](int x, int) { return ref[x]; })) << r.name << " shift " << shift;
        }
    }
}

TEST_F(SurfaceTest, EveryRoutineHoldsToItsClippedRectangle)
{
    // Widths 1 to 9 (remainders after steps of two or four pixels), then wild arguments, the source at times
    // the receiver or never created: the formula inside the clipped rectangle (a copy within one surface as
    // through a temporary; not for the stretch), nothing touched outside, refused if clipped to nothing.
    const std::vector<Routine> routines = Routines();
    const int kW = 37, kH = 23, kCount = static_cast<int>(routines.size()), kSmall = kCount * 9;
    CDIBSurface* d = Make(kW, kH);
    CDIBSurface* other = Make(kH + 4, -(kW - 5));  // another shape and row order
    CDIBSurface none(window);
    std::mt19937 rng(12345);
    for (int round = 0; round < kSmall + 3000; ++round) {
        const bool small = round < kSmall;
        Paint(d, [&](int x, int y) { return PatternPixel(x, y, round); });
        Paint(other, [&](int x, int y) { return PatternPixel(x, y, ~round); });
        CDIBSurface* s = small ? other : std::vector<CDIBSurface*>{&none, d, d, other, other, other, other, other}[rng() % 8];
        const Routine& r = routines[small ? round % kCount : round % 3 ? rng() % kCount : kCount - 1 - round % 2];
        const bool stretch = r.name == "StretchKeyed";
        long long dx = Pick(rng), dy = Pick(rng), sx = Pick(rng), sy = Pick(rng), w = Pick(rng), h = Pick(rng);
        if (small)
            dx = sx = 3, dy = sy = 1, w = round / kCount + 1, h = 4;
        r.run(&none, s, int(dx), int(dy), int(sx), int(sy), int(w), int(h));
        const int result = r.run(d, s, int(dx), int(dy), int(sx), int(sy), int(w), int(h));
        GdiFlush();
        const long long cols = stretch && w < 0 ? -w : w;  // a mirrored stretch, still right of dx
        const Ref ref = stretch || (s == d && r.name != "CopyFrom") ? nullptr : r.ref;
        bool any = false;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const long long u = x - dx + sx, v = y - dy + sy;
                bool inside = Inside(x, dx, dx + cols) && Inside(y, dy, dy + h);
                inside &= !r.source || stretch || (Inside(u, 0, s->GetWidth()) && Inside(v, 0, s->GetHeight()));
                any |= inside;
                const DWORD was = PatternPixel(x, y, round), got = *d->PixelPtr(x, y);
                const DWORD want = inside && ref ? Whole(ref, was, PatternPixel(int(u), int(v), s == d ? round : ~round)) : was;
                if ((!inside || ref) && ((got ^ want) & (inside ? Mask(ref) : 0xFFFFFFFF)) != 0)
                    FAIL() << "round " << round << " " << r.name << " at " << x << "," << y;
            }
        // A receiver's rectangle alone may end up empty, not negative; the keyed copies return nothing.
        const bool empty = r.source ? !any : std::min<long long>(dx + w, kW) < std::max(dx, 0LL) || std::min<long long>(dy + h, kH) < std::max(dy, 0LL);
        EXPECT_EQ(result, stretch || r.name == "CopyKeyed" ? 0 : empty ? -1 : r.result) << "round " << round << " " << r.name;
    }
}

TEST_F(SurfaceTest, StretchesSampleMirrorClipAndKey)
{
    const DWORD kWhite = 0x00FFFFFF, kAbcdef = 0x00ABCDEF;
    CDIBSurface* s = Make(8, -8);
    CDIBSurface* d = Make(16, 16);
    Paint(s, [](int x, int y) { return static_cast<DWORD>(x | y << 12); });
    *s->PixelPtr(5, 6) = kWhite;  // keyed out of StretchKeyed, also where rows repeat, but not of StretchBlt
    *s->PixelPtr(3, 4) = kAbcdef;  // keyed out of StretchFrom with bit 24, which compares all 32 bits...
    *s->PixelPtr(5, 4) = 0x7FABCDEF;  // ...so that this one is drawn
    // Arguments; the rectangle drawn and the source pixel each shows; StretchFrom's flags, 0 for StretchKeyed.
    struct Case { int dx, dy, dw, dh, sx, sy, sw, sh, left, top, right, bottom; POINT (*at)(int x, int y); int flags; };
    const Case cases[] = {
        {0, 0, 8, 1, 2, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return POINT{2 + x / 2, 0}; }, 0},
        // A negative source width walks back from its column, a negative destination width as well.
        {0, 0, 8, 1, 5, 0, -4, 1, 0, 0, 8, 1, [](int x, int) { return POINT{5 - x / 2, 0}; }, 0},
        {0, 0, -8, 1, 6, 0, 4, 1, 0, 0, 8, 1, [](int x, int) { return POINT{6 - (x + 1) / 2, 0}; }, 0},
        {-3, 0, 8, 1, 2, 0, 4, 1, 0, 0, 5, 1, [](int x, int) { return POINT{2 + (x + 3) / 2, 0}; }, 0},
        {0, 0, 4, 4, 0, 0, 8, 8, 0, 0, 4, 4, [](int x, int y) { return POINT{2 * x, 2 * y}; }, 0},
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return POINT{x / 2, y / 2}; }, 0},
        // Upside down with the lower half below the destination.
        {0, 12, 8, 8, 0, 7, 8, -8, 0, 12, 8, 16, [](int x, int y) { return POINT{x, 19 - y}; }, 0},
        // The source rectangle half outside on every side: samples that fall outside are not drawn.
        {0, 0, 16, 16, -4, -4, 16, 16, 4, 4, 12, 12, [](int x, int y) { return POINT{x - 4, y - 4}; }, 0},
        // A zero source size spreads one pixel.
        {0, 0, 10, 10, 0, 0, 0, 0, 0, 0, 10, 10, [](int, int) { return POINT{0, 0}; }, 0},
        // StretchBlt for -1 (the fourth byte is GDI's); with bit 24 the low three bytes are the key.
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return POINT{x / 2, y / 2}; }, -1},
        {0, 0, 16, 16, 0, 0, 8, 8, 0, 0, 16, 16, [](int x, int y) { return POINT{x / 2, y / 2}; }, 0x01ABCDEF},
    };
    for (const Case& c : cases) {
        Paint(d, [](int x, int y) { return PatternPixel(x, y, 1); });
        const RECT to = {c.dx, c.dy, c.dx + c.dw, c.dy + c.dh}, from = {c.sx, c.sy, c.sx + c.sw, c.sy + c.sh};
        if (c.flags)
            ASSERT_EQ(d->StretchFrom(&to, s, &from, c.flags), 0);
        else
            d->StretchKeyed(c.dx, c.dy, c.dw, c.dh, s, c.sx, c.sy, c.sw, c.sh, kWhite);
        EXPECT_TRUE(Pixels(d, [&](int x, int y) {
            const POINT p = Inside(x, c.left, c.right) && Inside(y, c.top, c.bottom) ? c.at(x, y) : POINT{-1, -1};
            const DWORD* v = s->PixelPtr(p.x, p.y);
            return !v || *v == (c.flags ? kAbcdef : kWhite) && c.flags != -1 ? PatternPixel(x, y, 1) : *v;
        }, c.flags == -1 ? 0xFFFFFF : 0xFFFFFFFF)) << "case " << &c - cases;
    }
    const RECT to = {0, 0, 4, 4};
    EXPECT_EQ(d->StretchFrom(&to, nullptr, &to, 0) + d->StretchFrom(nullptr, s, &to, 0) + d->StretchFrom(&to, s, nullptr, 0), -3);
}

// The plain stretch copies rows where it can; every bit must still be what StretchBlt draws, there and
// where it is left to StretchBlt (a rectangle reaching outside, a mirror).
TEST_F(SurfaceTest, PlainStretchDrawsWhatStretchBltDraws)
{
    CDIBSurface* s = Make(37, -23);
    CDIBSurface* d = Make(64, 48);
    CDIBSurface* gdi = Make(64, 48);
    Paint(s, [](int x, int y) { return PatternPixel(x, y, 2); });
    // Target and source rectangles: enlarged, 1:1, shrunk, one pixel into a row, at the source's far edges;
    // then one pixel outside the target, or the source, past each edge in turn, mirrored either way, and
    // within one surface (the last case).
    const RECT cases[][2] = {
        {{0, 0, 64, 48}, {0, 0, 37, 23}},    {{3, 5, 40, 28}, {0, 0, 37, 23}},   {{1, 2, 6, 9}, {2, 3, 37, 23}},
        {{0, 47, 64, 48}, {36, 22, 37, 23}}, {{0, 0, 17, 48}, {5, 0, 9, 23}},    {{-1, 0, 63, 48}, {0, 0, 37, 23}},
        {{0, -1, 64, 47}, {0, 0, 37, 23}},   {{59, 0, 65, 48}, {0, 0, 37, 23}},  {{0, 40, 64, 49}, {0, 0, 37, 23}},
        {{0, 0, 64, 48}, {-1, 0, 36, 23}},   {{0, 0, 64, 48}, {0, -1, 37, 22}},  {{0, 0, 64, 48}, {1, 0, 38, 23}},
        {{0, 0, 64, 48}, {0, 1, 37, 24}},    {{0, 0, 64, 48}, {37, 0, 0, 23}},   {{64, 0, 0, 48}, {0, 0, 37, 23}},
        {{0, 0, 64, 48}, {0, 0, 32, 24}},
    };
    for (const auto& c : cases) {
        const RECT &to = c[0], &from = c[1];
        const bool itself = &c == &cases[std::size(cases) - 1];
        Paint(d, [](int x, int y) { return PatternPixel(x, y, 3); });
        Paint(gdi, [](int x, int y) { return PatternPixel(x, y, 3); });
        ASSERT_EQ(d->StretchFrom(&to, itself ? d : s, &from, 0), 0);
        SetStretchBltMode(gdi->GetMemDC(), COLORONCOLOR);
        StretchBlt(gdi->GetMemDC(), to.left, to.top, to.right - to.left, to.bottom - to.top, (itself ? gdi : s)->GetMemDC(), from.left,
                   from.top, from.right - from.left, from.bottom - from.top, SRCCOPY);
        EXPECT_TRUE(Pixels(d, [&](int x, int y) { return *gdi->PixelPtr(x, y); })) << "case " << &c - cases;
    }
}

TEST_F(SurfaceTest, CreatingAgainRefusingAndDestroying)
{
    // (That GDI and PixelPtr see the same pixels, in both row orders, is shown by the copies through GDI.)
    CDIBSurface* s = Make(7, 5);
    for (POINT p : {POINT{7, 0}, POINT{0, 5}, POINT{-1, 0}, POINT{0, -1}})
        EXPECT_EQ(s->PixelPtr(p.x, p.y), nullptr) << p.x << "," << p.y;
    EXPECT_NE(s->PixelPtr(6, 4), nullptr);
    // Creating again, top-down, releases the first DIB section; destroying releases the second.
    HGDIOBJ first = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    ASSERT_EQ(s->Create(16, -8), 0);
    EXPECT_EQ(GetObjectType(first), 0u);
    HGDIOBJ second = GetCurrentObject(s->GetMemDC(), OBJ_BITMAP);
    s->Destroy();
    EXPECT_EQ(GetObjectType(second) + (s->PixelPtr(0, 0) != nullptr), 0u);
    EXPECT_EQ(s->Create(3, 3), 0);  // the window was kept
    // Bad sizes, sizes whose bytes do not fit 32 bits, and a missing window leave a surface empty.
    for (POINT size : {POINT{0, 10}, POINT{10, 0}, POINT{-4, 10}, POINT{INT_MAX, 2}, POINT{100000, -100000}, POINT{10, INT_MIN}}) {
        CDIBSurface t(window);
        EXPECT_EQ(t.Create(size.x, size.y) * 10 + (t.PixelPtr(0, 0) != nullptr) + t.GetWidth() + t.GetHeight(), -10) << size.x;
    }
    CDIBSurface none(nullptr);
    EXPECT_EQ(none.Create(10, 10), -1);
}
