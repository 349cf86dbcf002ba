// The pixel routines against their plain formulas: every byte pair, the order within a row, and the
// clipped rectangle. FadeFrom and AddFrom run on the packed path and, forced, on the plain one.
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "render/fade_add_packed.h"
#include "surface_fixture.h"

namespace {

int ByteOf(DWORD p, int i) { return static_cast<int>((p >> (8 * i)) & 0xFF); }
int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Four permutations of v, one per byte: with destination rows Spread(y) and source columns Spread(x)
// every (d, s) pair meets in every byte.
DWORD Spread(int v)
{
    return DWORD(v) | DWORD((v * 5 + 11) % 256) << 8 | DWORD(255 - v) << 16 | DWORD(v * 3 % 256) << 24;
}

int Blend(int mode, int d, int s, int level)
{
    if (mode == kBlendMix) return d + (s - d) * level / 255;  // truncating toward zero
    return Clamp(mode == kBlendAdd ? d + level * s / 255 : d - level * (255 - s) / 255);
}

int Fade(int d, int s, int weight)
{
    return Clamp(s + 2 * static_cast<int>(std::floor((d - s) * weight * 128 / 65536.0)));
}

struct Args {
    int dx, dy, sx, sy, w, h;
};
using Run = std::function<int(CDIBSurface* d, CDIBSurface* s, const Args& a)>;
// Byte b of a result from the destination and source pixels it was made of.
using Ref = std::function<int(DWORD d, DWORD s, int b)>;

struct Routine {
    std::string name;
    bool source;  // reads a source surface
    Run run;
    Ref ref;
    DWORD mask = 0xFFFFFFFF;  // the bits the formula fixes (GDI's BitBlt decides the fourth byte)
    int result = 0;
    bool plain = false;       // FadeFrom and AddFrom forced onto the plain path
    bool inRow = false;       // also checked within one row of a surface that is its own source
    bool leftward = false;    // that row is done right to left
    bool stretch = false;     // samples its source: no formula within one surface or past the source's edges
    bool viaTemporary = false;  // within one surface as if through a temporary copy
    bool noResult = false;    // returns nothing of its own (the test's run gives 0)
};

DWORD Whole(const Ref& ref, DWORD d, DWORD s)
{
    DWORD v = 0;
    for (int b = 0; b < 4; ++b) v |= DWORD(ref(d, s, b) & 0xFF) << (8 * b);
    return v;
}

// Copies skip the key, comparing and writing with the fourth byte cleared.
Ref Keyed(DWORD key)
{
    return [key](DWORD d, DWORD s, int b) { return (s & 0xFFFFFF) == key ? ByteOf(d, b) : b == 3 ? 0 : ByteOf(s, b); };
}

void AddBlends(std::vector<Routine>& r)
{
    for (int mode : {kBlendMix, kBlendAdd, kBlendSubtract})
        for (int level : {0, 1, 2, 64, 127, 128, 200, 254, 255, -5, 400}) {
            const std::string what = "Mode" + std::to_string(mode) + "Level" + std::to_string(level);
            // Levels outside 0..255 act as the nearer end.
            auto blend = [=](DWORD d, DWORD s, int b) {
                return b == 3 ? 0 : Blend(mode, ByteOf(d, b), ByteOf(s, b), Clamp(level));
            };
            Routine from = {"BlendFrom" + what, true, [=](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                                return d->BlendFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, mode, level);
                            }, blend};
            from.inRow = mode == kBlendMix && level == 64;
            r.push_back(from);
            for (DWORD k : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0x00807F01u})
                r.push_back({"BlendColor" + what + "Colour" + std::to_string(k), false,
                             [=](CDIBSurface* d, CDIBSurface*, const Args& a) {
                                 return d->BlendColor(a.dx, a.dy, a.w, a.h, k, mode, level);
                             },
                             [=](DWORD d, DWORD, int b) { return blend(d, k, b); }});
        }
}

void AddFadesAndAdds(std::vector<Routine>& r)
{
    for (bool plain : {false, true}) {
        const std::string path = plain ? "Plain" : "Packed";
        // Bits of the fade weight outside its low and third bytes are ignored.
        for (int weight : {0, 1, 2, 127, 128, 200, 254, 255, 0x00FF0080, 0x00010000, 0x7FFF00FF, -1}) {
            Routine fade = {"FadeFrom" + path + "Weight" + std::to_string(static_cast<unsigned>(weight)), true,
                            [=](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                                return d->FadeFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, weight);
                            },
                            [=](DWORD d, DWORD s, int b) {
                                return Fade(ByteOf(d, b), ByteOf(s, b), ByteOf(DWORD(weight), b == 3 ? 2 : 0));
                            }};
            fade.plain = plain;
            fade.inRow = fade.leftward = weight == 0x00FF0080;
            r.push_back(fade);
        }
        Routine add = {"AddFrom" + path, true, [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                           return d->AddFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h);
                       },
                       [](DWORD d, DWORD s, int b) { return std::min(255, ByteOf(d, b) + ByteOf(s, b)); }};
        add.plain = plain;
        r.push_back(add);
    }
}

void AddColourOperations(std::vector<Routine>& r)
{
    r.push_back({"AverageColor", false,
                 [](CDIBSurface* d, CDIBSurface*, const Args& a) { return d->AverageColor(a.dx, a.dy, a.w, a.h, 0xFF8003); },
                 [](DWORD d, DWORD, int b) { return b == 3 ? 0 : (ByteOf(d, b) >> 1) + (ByteOf(0xFF8003, b) >> 1); }});
    // Top seven bits added; a byte that overflows is 255 and carries into the next one's lowest bit.
    for (DWORD k : {0x00FFFFFFu, 0x00000001u, 0x00817F02u, 0xFF123456u})
        r.push_back({"AddColor" + std::to_string(k), false,
                     [=](CDIBSurface* d, CDIBSurface*, const Args& a) { return d->AddColor(a.dx, a.dy, a.w, a.h, k); },
                     [=](DWORD d, DWORD, int b) {
                         auto sum = [&](int i) { return i < 0 ? 0 : (ByteOf(d, i) & 0xFE) + (ByteOf(k, i) & 0xFE); };
                         const int carryIn = sum(b - 1) > 255 ? 1 : 0;
                         if (b == 3) return sum(2) > 255 ? 1 : 0;
                         return sum(b) > 255 ? 255 : (sum(b) & 0xFF) | carryIn;
                     }});
    for (int level : {0, 1, 100, 128, 254, 255, 300, -5})
        r.push_back({"Darken" + std::to_string(level + 5), false,
                     [=](CDIBSurface* d, CDIBSurface*, const Args& a) { return d->Darken(a.dx, a.dy, a.w, a.h, level); },
                     [=](DWORD d, DWORD, int b) { return b == 3 ? 0 : Clamp(level) * ByteOf(d, b) / 255; }});
    r.push_back({"Fill", false,
                 [](CDIBSurface* d, CDIBSurface*, const Args& a) { return d->Fill(a.dx, a.dy, a.w, a.h, 0x00123456); },
                 [](DWORD, DWORD, int b) { return ByteOf(0x00123456, b); }});
    for (int c = 0; c < 4; ++c)
        r.push_back({"SetChannel" + std::to_string(c), false,
                     [=](CDIBSurface* d, CDIBSurface*, const Args& a) { return d->SetChannel(c, a.dx, a.dy, a.w, a.h, 0x1A5); },
                     [=](DWORD d, DWORD, int b) { return b == c ? 0xA5 : ByteOf(d, b); }});
}

void AddCopies(std::vector<Routine>& r)
{
    for (int dc = 0; dc < 4; ++dc)
        for (int sc = 0; sc < 4; ++sc)
            r.push_back({"CopyChannel" + std::to_string(dc) + "From" + std::to_string(sc), true,
                         [=](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                             return d->CopyChannel(a.dx, a.dy, dc, s, a.sx, a.sy, a.w, a.h, sc);
                         },
                         [=](DWORD d, DWORD s, int b) { return b == dc ? ByteOf(s, sc) : ByteOf(d, b); }});
    // Mixed by the source's fourth byte; where that is 0 the pixel is left alone.
    Routine alpha = {"AlphaFrom", true,
                     [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                         return d->AlphaFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h);
                     },
                     [](DWORD d, DWORD s, int b) {
                         if (ByteOf(s, 3) == 0) return ByteOf(d, b);
                         return b == 3 ? 0 : Blend(kBlendMix, ByteOf(d, b), ByteOf(s, b), ByteOf(s, 3));
                     }};
    alpha.inRow = true;
    r.push_back(alpha);
    Routine keyed = {"CopyKeyed", true, [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                         d->CopyKeyed(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, 0x000102);
                         return 0;
                     }, Keyed(0x000102)};
    keyed.inRow = keyed.noResult = true;
    r.push_back(keyed);
    Routine plain = {"BltFrom", true, [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                         return d->BltFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, 0);
                     }, [](DWORD, DWORD s, int b) { return ByteOf(s, b); }};
    plain.mask = 0xFFFFFF;
    r.push_back(plain);
    // Bit 24 of the flags selects the keyed copy, so -1 keys on white.
    Routine bltKeyed = {"BltFromKeyed", true, [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                            return d->BltFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, -1);
                        }, Keyed(0xFFFFFF)};
    bltKeyed.inRow = true;
    r.push_back(bltKeyed);
    // Last, as the wild rounds pick them more often; the stretch with its sizes swapped, one to one when square.
    Routine copy = {"CopyFrom", true, [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                        return d->CopyFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h);
                    }, [](DWORD, DWORD s, int b) { return ByteOf(s, b); }};
    copy.viaTemporary = true;
    r.push_back(copy);
    Routine stretch = {"StretchKeyed", true, [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
                           d->StretchKeyed(a.dx, a.dy, a.w, a.h, s, a.sx, a.sy, a.h, a.w, 0xFFFFFFFF);
                           return 0;
                       }, [](DWORD, DWORD s, int b) { return ByteOf(s, b); }};
    stretch.stretch = stretch.noResult = true;
    r.push_back(stretch);
}

// Refused arguments: -1, nothing changed.
void AddRefusals(std::vector<Routine>& r)
{
    const Ref unchanged = [](DWORD d, DWORD, int b) { return ByteOf(d, b); };
    const std::pair<const char*, Run> calls[] = {
        {"BlendFromMode3", [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
             return d->BlendFrom(a.dx, a.dy, s, a.sx, a.sy, a.w, a.h, 3, 128);
         }},
        {"BlendFromNoSource", [](CDIBSurface* d, CDIBSurface*, const Args& a) {
             return d->BlendFrom(a.dx, a.dy, nullptr, a.sx, a.sy, a.w, a.h, 0, 128);
         }},
        {"BltFromNoSource", [](CDIBSurface* d, CDIBSurface*, const Args& a) {
             return d->BltFrom(a.dx, a.dy, nullptr, a.sx, a.sy, a.w, a.h, 0);
         }},
        {"CopyChannelTo4", [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
             return d->CopyChannel(a.dx, a.dy, 4, s, a.sx, a.sy, a.w, a.h, 0);
         }},
        {"CopyChannelToMinus1", [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
             return d->CopyChannel(a.dx, a.dy, -1, s, a.sx, a.sy, a.w, a.h, 0);
         }},
        {"CopyChannelFrom4", [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
             return d->CopyChannel(a.dx, a.dy, 0, s, a.sx, a.sy, a.w, a.h, 4);
         }},
        {"CopyChannelFromMinus1", [](CDIBSurface* d, CDIBSurface* s, const Args& a) {
             return d->CopyChannel(a.dx, a.dy, 0, s, a.sx, a.sy, a.w, a.h, -1);
         }},
    };
    for (const auto& [name, run] : calls) r.push_back({std::string("Refused") + name, true, run, unchanged, 0xFFFFFFFF, -1});
    r.push_back({"RefusedBlendColorModeMinus1", false, [](CDIBSurface* d, CDIBSurface*, const Args& a) {
                     return d->BlendColor(a.dx, a.dy, a.w, a.h, 0, -1, 128);
                 }, unchanged, 0xFFFFFFFF, -1});
    r.push_back({"RefusedSetChannel4", false, [](CDIBSurface* d, CDIBSurface*, const Args& a) {
                     return d->SetChannel(4, a.dx, a.dy, a.w, a.h, 9);
                 }, unchanged, 0xFFFFFFFF, -1});
}

std::vector<Routine> Routines()
{
    std::vector<Routine> r;
    AddBlends(r);
    AddFadesAndAdds(r);
    AddColourOperations(r);
    AddRefusals(r);
    AddCopies(r);
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
            const DWORD key = (x % 2 ? 0x000102 : 0xFFFFFF) | DWORD(x % 3) << 24;
            want[x] = PatternPixel(x, 0, 9) % 5 ? PatternPixel(x, 0, 9) : key;
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

INSTANTIATE_TEST_SUITE_P(Surface, PixelRoutine, ::testing::ValuesIn(Routines()), NameOf);
// One case of each kind of routine that reads its source left to right, and the fade, right to left.
INSTANTIATE_TEST_SUITE_P(Surface, OwnRow, ::testing::ValuesIn(RowRoutines()), NameOf);

// Half the time a value near the surfaces, otherwise one at the edges of the surfaces or of int.
int Pick(std::mt19937& rng)
{
    static const int edges[] = {INT_MIN, -0x7FFFFFF0, -100000, -40, -37, -23, -5, -1, 0, 1, 2, 3, 5, 11, 22, 23,
                                36, 37, 38, 100000, 0x7FFFFFF0, INT_MAX};
    return rng() % 2 ? static_cast<int>(rng() % 60) - 15 : edges[rng() % 22];
}

// Widths 1 to 9 (the remainders of steps of two or four pixels), then wild arguments, the source at times
// the receiver itself or never created: the formula inside the clipped rectangle (a copy within one
// surface as through a temporary), nothing touched outside, -1 when clipped to nothing.
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
        AllowPackedFadeAdd(!r.plain);
        Args a = {3, 1, 3, 1, round / kCount + 1, 4};
        if (!small) a = {Pick(rng), Pick(rng), Pick(rng), Pick(rng), Pick(rng), Pick(rng)};
        r.run(&none, s, a);
        const int result = r.run(d, s, a);
        GdiFlush();
        // Within one surface only a copy has a formula of its own (as through a temporary).
        const bool formula = !r.stretch && (s != d || r.viaTemporary);
        const long long cols = r.stretch && a.w < 0 ? -static_cast<long long>(a.w) : a.w;  // a mirror, right of dx
        bool any = false;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const long long u = x - static_cast<long long>(a.dx) + a.sx, v = y - static_cast<long long>(a.dy) + a.sy;
                bool inside = Inside(x, a.dx, a.dx + cols) && Inside(y, a.dy, static_cast<long long>(a.dy) + a.h);
                if (r.source && !r.stretch) inside = inside && Inside(u, 0, s->GetWidth()) && Inside(v, 0, s->GetHeight());
                any = any || inside;
                const DWORD was = PatternPixel(x, y, round), got = *d->PixelPtr(x, y);
                if (!inside) {
                    ASSERT_EQ(got, was) << "round " << round << " " << r.name << " outside, at " << x << "," << y;
                } else if (formula) {
                    const DWORD from = PatternPixel(static_cast<int>(u), static_cast<int>(v), s == d ? round : ~round);
                    ASSERT_EQ(got & r.mask, Whole(r.ref, was, from) & r.mask)
                        << "round " << round << " " << r.name << " at " << x << "," << y;
                }
            }
        // A receiver's rectangle alone may end up empty, not negative.
        const bool negative = std::min<long long>(static_cast<long long>(a.dx) + a.w, kW) < std::max(a.dx, 0) ||
                              std::min<long long>(static_cast<long long>(a.dy) + a.h, kH) < std::max(a.dy, 0);
        const bool refused = r.source ? !any : negative;
        const int want = r.noResult || !refused ? r.result : -1;
        EXPECT_EQ(result, want) << "round " << round << " " << r.name;
    }
    AllowPackedFadeAdd(true);
}
