// No routine changes a pixel outside the rectangle it was given, clipped to the surfaces, whatever
// the arguments; wild arguments must not reach memory outside a surface either.
#include "surface_fixture.h"

#include <random>

namespace {

// Operations below kFirstRectOp read a source rectangle, those from it work on the destination alone,
// the last is the keyed stretch. Arguments are chosen so that each changes every pixel it may touch
// when the destination holds 0x00404040 and the source 0x40101010.
const int kFirstRectOp = 11, kStretchOp = 17;

void Apply(int op, CDIBSurface* d, CDIBSurface* s, int dx, int dy, int sx, int sy, int w, int h, int sw, int sh)
{
    switch (op) {
    case 0: d->CopyFrom(dx, dy, s, sx, sy, w, h); break;
    case 1: d->BlendFrom(dx, dy, s, sx, sy, w, h, kBlendMix, 77); break;
    case 2: d->BlendFrom(dx, dy, s, sx, sy, w, h, kBlendAdd, 200); break;
    case 3: d->BlendFrom(dx, dy, s, sx, sy, w, h, kBlendSubtract, 30); break;
    case 4: d->CopyChannel(dx, dy, 1, s, sx, sy, w, h, 2); break;
    case 5: d->AlphaFrom(dx, dy, s, sx, sy, w, h); break;
    case 6: d->FadeFrom(dx, dy, s, sx, sy, w, h, 0x800080); break;
    case 7: d->AddFrom(dx, dy, s, sx, sy, w, h); break;
    case 8: d->BltFrom(dx, dy, s, sx, sy, w, h, 0); break;
    case 9: d->BltFrom(dx, dy, s, sx, sy, w, h, 0x1000001); break;
    case 10: d->CopyKeyed(dx, dy, s, sx, sy, w, h, 1); break;
    case 11: d->Fill(dx, dy, w, h, 0x00123456); break;
    case 12: d->BlendColor(dx, dy, w, h, 0x00FF00FF, kBlendMix, 99); break;
    case 13: d->AddColor(dx, dy, w, h, 0x00808080); break;
    case 14: d->AverageColor(dx, dy, w, h, 0x00FFFFFF); break;
    case 15: d->SetChannel(3, dx, dy, w, h, 0x5A); break;
    case 16: d->Darken(dx, dy, w, h, 100); break;
    default: d->StretchKeyed(dx, dy, w, h, s, sx, sy, sw, sh, 0xFFFFFFFF); break;
    }
    GdiFlush();
}

// Half the time a value near the surfaces, otherwise one at the edges of the surfaces or of int.
int Pick(std::mt19937& rng)
{
    static const int values[] = {-0x7FFFFFFF - 1, -0x7FFFFFF0, -100000, -40, -37, -23, -5, -1, 0, 1, 2, 3,
                                 5, 11, 22, 23, 36, 37, 38, 100000, 0x7FFFFFF0, 0x7FFFFFFF};
    if (rng() % 2)
        return static_cast<int>(rng() % 60) - 15;
    return values[rng() % (sizeof values / sizeof values[0])];
}

bool Inside(long long v, long long lo, long long hi) { return v >= lo && v < hi; }

}  // namespace

TEST_F(SurfaceTest, NoRoutineWritesOutsideItsRectangle)
{
    const int kW = 37, kH = 23;  // odd sizes: odd row lengths and a leftover for the four-pixel steps
    CDIBSurface* d = Make(kW, kH);
    CDIBSurface* other = Make(kH + 4, -(kW - 5));  // another shape and row order
    CDIBSurface none(window);  // never created: nothing may be read from it
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        FillPattern(d, round);
        FillPattern(other, round + 7);
        const unsigned from = rng() % 8;
        CDIBSurface* s = from == 0 ? &none : from < 3 ? d : other;
        const int op = round % 3 == 2 ? kStretchOp : static_cast<int>(rng() % kStretchOp);
        const long long dx = Pick(rng), dy = Pick(rng), sx = Pick(rng), sy = Pick(rng), w = Pick(rng), h = Pick(rng);
        Apply(op, d, s, int(dx), int(dy), int(sx), int(sy), int(w), int(h), Pick(rng), Pick(rng));
        // A stretch with a negative width draws mirrored, still to the right of dx.
        const long long cols = op == kStretchOp && w < 0 ? -w : w;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                bool allowed = Inside(x, dx, dx + cols) && Inside(y, dy, dy + h);
                if (op < kFirstRectOp)
                    allowed &= Inside(x - dx + sx, 0, s->GetWidth()) && Inside(y - dy + sy, 0, s->GetHeight());
                if (!allowed && *d->PixelPtr(x, y) != PatternPixel(x, y, round))
                    FAIL() << "round " << round << " op " << op << " changed " << x << "," << y << " for " << dx << " "
                           << dy << " " << sx << " " << sy << " " << w << " " << h;
            }
    }
}

TEST_F(SurfaceTest, GuardsAroundInteriorRectanglesOfEveryWidth)
{
    // Each routine on an interior rectangle of width 1..9 changes every pixel inside and none of the
    // one-pixel frame around it: odd widths leave a remainder after the four-pixel steps.
    CDIBSurface* d = Make(16, 6);
    CDIBSurface* s = Make(16, 6);
    CDIBSurface none(window);
    for (int op = 0; op <= kStretchOp; ++op)
        for (int w = 1; w <= 9; ++w) {
            d->Fill(0, 0, 16, 6, 0x00404040);
            s->Fill(0, 0, 16, 6, 0x40101010);
            Apply(op, d, s, 3, 1, 3, 1, w, 4, w, 4);
            Apply(op, &none, s, 3, 1, 3, 1, w, 4, w, 4);  // nothing to write to, and no fault
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(*d->PixelPtr(x, y) != 0x00404040u, InRect(x, y, 3, 1, 3 + w, 5))
                        << "op " << op << " width " << w << " at " << x << "," << y;
        }
}
