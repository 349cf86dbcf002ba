// No routine changes a pixel outside the rectangle it was given, clipped to the surfaces, whatever
// the arguments; wild arguments must not reach memory outside a surface either.
#include "surface_fixture.h"

#include <functional>
#include <random>

namespace {

const int kW = 37, kH = 23;  // odd sizes: odd row lengths and a leftover for the four-pixel steps

int Pick(std::mt19937& rng)
{
    static const int values[] = {-0x7FFFFFFF - 1, -0x7FFFFFF0, -100000, -40, -37, -23, -5, -1, 0, 1, 2, 3,
                                 5, 11, 22, 23, 36, 37, 38, 100000, 0x7FFFFFF0, 0x7FFFFFFF};
    if (rng() % 2)
        return static_cast<int>(rng() % 60) - 15;
    return values[rng() % (sizeof values / sizeof values[0])];
}

bool Inside(long long v, long long lo, long long hi)
{
    return v >= lo && v < hi;
}

}  // namespace

TEST_F(SurfaceTest, NoRoutineWritesOutsideItsRectangle)
{
    CDIBSurface* d = Make(kW, kH);
    CDIBSurface* s = Make(kH + 4, -(kW - 5));  // another shape and row order
    std::mt19937 rng(12345);

    using SourceOp = std::function<int(int, int, CDIBSurface*, int, int, int, int)>;
    const SourceOp sourceOps[] = {
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->CopyFrom(dx, dy, src, sx, sy, w, h); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->BlendFrom(dx, dy, src, sx, sy, w, h, 0, 77); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->BlendFrom(dx, dy, src, sx, sy, w, h, 1, 200); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->BlendFrom(dx, dy, src, sx, sy, w, h, 2, 30); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->CopyChannel(dx, dy, 1, src, sx, sy, w, h, 2); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->AlphaFrom(dx, dy, src, sx, sy, w, h); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->FadeFrom(dx, dy, src, sx, sy, w, h, 0x800080); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->AddFrom(dx, dy, src, sx, sy, w, h); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->BltFrom(dx, dy, src, sx, sy, w, h, 0); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { return d->BltFrom(dx, dy, src, sx, sy, w, h, 0x1000001); },
        [&](int dx, int dy, CDIBSurface* src, int sx, int sy, int w, int h) { d->CopyKeyed(dx, dy, src, sx, sy, w, h, 1); return 0; },
    };
    using RectOp = std::function<int(int, int, int, int)>;
    const RectOp rectOps[] = {
        [&](int x, int y, int w, int h) { return d->Fill(x, y, w, h, 0x00123456); },
        [&](int x, int y, int w, int h) { return d->BlendColor(x, y, w, h, 0x00FF00FF, 0, 99); },
        [&](int x, int y, int w, int h) { return d->AddColor(x, y, w, h, 0x00808080); },
        [&](int x, int y, int w, int h) { return d->AverageColor(x, y, w, h, 0x00FFFFFF); },
        [&](int x, int y, int w, int h) { return d->SetChannel(3, x, y, w, h, 0x5A); },
        [&](int x, int y, int w, int h) { return d->Darken(x, y, w, h, 100); },
    };

    for (int round = 0; round < 3000; ++round) {
        FillPattern(d, round);
        FillPattern(s, round + 7);
        const auto before = Snapshot(d);
        CDIBSurface* src = rng() % 4 == 0 ? d : s;
        const long long dx = Pick(rng), dy = Pick(rng), sx = Pick(rng), sy = Pick(rng), w = Pick(rng), h = Pick(rng);
        std::function<bool(int, int)> allowed;
        if (round % 3 != 2) {
            const auto& op = sourceOps[rng() % (sizeof sourceOps / sizeof sourceOps[0])];
            op(int(dx), int(dy), src, int(sx), int(sy), int(w), int(h));
            const long long srcW = src->GetWidth(), srcH = src->GetHeight();
            allowed = [=](int x, int y) {
                return Inside(x, dx, dx + w) && Inside(y, dy, dy + h) && Inside(x - dx + sx, 0, srcW) &&
                       Inside(y - dy + sy, 0, srcH);
            };
        } else if (rng() % 2) {
            rectOps[rng() % (sizeof rectOps / sizeof rectOps[0])](int(dx), int(dy), int(w), int(h));
            allowed = [=](int x, int y) { return Inside(x, dx, dx + w) && Inside(y, dy, dy + h); };
        } else {
            const int dw = Pick(rng), dh = Pick(rng), sw = Pick(rng), sh = Pick(rng);
            d->StretchKeyed(int(dx), int(dy), dw, dh, src, int(sx), int(sy), sw, sh, 0xFFFFFFFF);
            const long long cols = dw < 0 ? -static_cast<long long>(dw) : dw;
            allowed = [=](int x, int y) { return Inside(x, dx, dx + cols) && Inside(y, dy, dy + dh); };
        }
        GdiFlush();
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (*d->PixelPtr(x, y) != before[y * kW + x] && !allowed(x, y))
                    FAIL() << "round " << round << " changed " << x << "," << y << " for " << dx << " " << dy << " "
                           << sx << " " << sy << " " << w << " " << h;
    }
}

TEST_F(SurfaceTest, OddWidthsAndGuardsAroundInteriorRectangles)
{
    // Each routine on an interior rectangle of every width 1..9 leaves a one-pixel frame untouched and
    // changes every pixel inside (the inputs are chosen so that each routine changes all of them).
    CDIBSurface* d = Make(16, 6);
    CDIBSurface* s = Make(16, 6);
    for (int w = 1; w <= 9; ++w) {
        for (int op = 0; op < 6; ++op) {
            d->Fill(0, 0, 16, 6, 0x00404040);
            s->Fill(0, 0, 16, 6, 0x40101010);
            const auto before = Snapshot(d);
            int r = 0;
            switch (op) {
            case 0: r = d->AddFrom(3, 1, s, 3, 1, w, 4); break;
            case 1: r = d->FadeFrom(3, 1, s, 3, 1, w, 4, 10); break;
            case 2: r = d->Darken(3, 1, w, 4, 10); break;
            case 3: r = d->BlendFrom(3, 1, s, 3, 1, w, 4, 0, 128); break;
            case 4: r = d->CopyFrom(3, 1, s, 3, 1, w, 4); break;
            case 5: r = d->Fill(3, 1, w, 4, 7); break;
            }
            ASSERT_EQ(r, 0);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 16; ++x) {
                    const bool in = x >= 3 && x < 3 + w && y >= 1 && y < 5;
                    ASSERT_EQ(*d->PixelPtr(x, y) != before[y * 16 + x], in) << "op " << op << " w " << w << " at " << x << "," << y;
                }
        }
    }
}
