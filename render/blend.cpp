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

// The rows of BlendFrom (from source) and BlendColor (source null: the constant colour), clipped; -1
// for an unknown mode or missing tables. The kernel and its table row are chosen once for the call.
int BlendRows(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h,
              DWORD colour, int mode, int level)
{
    if (!CDIBSurface::scaleTable || !CDIBSurface::signedScaleTable) return -1;
    if (mode != kBlendMix && mode != kBlendAdd && mode != kBlendSubtract) return -1;
    const Kernel kernel = mode == kBlendMix ? Mix : mode == kBlendAdd ? Add : Subtract;
    const BYTE* row = mode == kBlendMix ? CDIBSurface::signedScaleTable + ClampLevel(level) * 512 + 256
                                        : CDIBSurface::scaleTable + ClampLevel(level) * 256;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(dx, dy + r);
        const DWORD* s = source ? source->PixelPtr(sx, sy + r) : nullptr;
        for (int i = 0; i < w; ++i) d[i] = kernel(d[i], s ? s[i] : colour, row);
    }
    return 0;
}

}  // namespace

int CDIBSurface::BlendFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode, int level)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    return BlendRows(this, dx, dy, source, sx, sy, w, h, 0, mode, level);
}

int CDIBSurface::BlendColor(int x, int y, int w, int h, DWORD colour, int mode, int level)
{
    if (ClipRect(&x, &y, &w, &h) != 0) return -1;
    return BlendRows(this, x, y, nullptr, 0, 0, w, h, colour, mode, level);
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
    EachPixel(x, y, w, h, [row](DWORD d) { return PerByte<3>(d, 0, [row](int db, int, int) { return row[db]; }); });
    return 0;
}
