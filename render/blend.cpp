// The routines that scale colour bytes by a level / 255 through the shared scale tables: the three
// blend kernels (BlendFrom, BlendColor), AlphaFrom and Darken. Results have a fourth byte of 0.
#include "render/w_dib32.h"

namespace {

// One kernel for a whole call, applied to every pixel: row is the level's row of the signed scale
// table (mix, indexed by s - d) or of the scale table (add and subtract).
using Kernel = DWORD (*)(DWORD d, DWORD s, const BYTE* row);

// d + (s - d) x level / 255: the signed entry added modulo 256, exact since the true sum is a byte.
DWORD Mix(DWORD d, DWORD s, const BYTE* row)
{
    return PerByte<3>(d, s, [row](int db, int sb, int) { return (db + row[sb - db]) & 0xFF; });
}

DWORD Add(DWORD d, DWORD s, const BYTE* row)
{
    return PerByte<3>(d, s, [row](int db, int sb, int) { return db + row[sb] > 255 ? 255 : db + row[sb]; });
}

DWORD Subtract(DWORD d, DWORD s, const BYTE* row)
{
    return PerByte<3>(d, s, [row](int db, int sb, int) { return db < row[255 - sb] ? 0 : db - row[255 - sb]; });
}

// No caller passes a level outside 0..255; one that did would index outside its table row.
int ClampLevel(int level) { return level < 0 ? 0 : level > 255 ? 255 : level; }

// The kernel and table row of a mode, or false for an unknown mode or missing tables.
bool ChooseKernel(int mode, int level, Kernel* kernel, const BYTE** row)
{
    if (!CDIBSurface::scaleTable || !CDIBSurface::signedScaleTable) return false;
    level = ClampLevel(level);
    if (mode == kBlendMix) {
        *kernel = Mix;
        *row = CDIBSurface::signedScaleTable + level * 512 + 256;
        return true;
    }
    *kernel = mode == kBlendAdd ? Add : Subtract;
    *row = CDIBSurface::scaleTable + level * 256;
    return mode == kBlendAdd || mode == kBlendSubtract;
}

}  // namespace

int CDIBSurface::BlendFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode, int level)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    Kernel kernel;
    const BYTE* row;
    if (!ChooseKernel(mode, level, &kernel, &row)) return -1;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i) d[i] = kernel(d[i], s[i], row);
    }
    return 0;
}

int CDIBSurface::BlendColor(int x, int y, int w, int h, DWORD colour, int mode, int level)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    Kernel kernel;
    const BYTE* row;
    if (!ChooseKernel(mode, level, &kernel, &row)) return -1;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        for (int i = 0; i < w; ++i) d[i] = kernel(d[i], colour, row);
    }
    return 0;
}

// Each pixel is mixed over the destination by its own fourth byte a; where a is 0 the destination
// pixel stays as it is, fourth byte included.
int CDIBSurface::AlphaFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0 || !signedScaleTable) return -1;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = 0; i < w; ++i)
            if (s[i] >> 24) d[i] = Mix(d[i], s[i], signedScaleTable + (s[i] >> 24) * 512 + 256);
    }
    return 0;
}

// Clipped like the one-surface operations, so that no rectangle can reach outside.
int CDIBSurface::Darken(int x, int y, int w, int h, int level)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    if (!scaleTable) return 0;
    const BYTE* row = scaleTable + ClampLevel(level) * 256;
    auto darken = [row](DWORD v) {
        return static_cast<DWORD>(row[v & 0xFF]) | row[(v >> 8) & 0xFF] << 8 | row[(v >> 16) & 0xFF] << 16;
    };
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = PixelPtr(x, y + r);
        int i = 0;
        for (; i + 4 <= w; i += 4) {
            d[i] = darken(d[i]);
            d[i + 1] = darken(d[i + 1]);
            d[i + 2] = darken(d[i + 2]);
            d[i + 3] = darken(d[i + 3]);
        }
        for (; i < w; ++i) d[i] = darken(d[i]);
    }
    return 0;
}
