// The three level-driven blend kernels (mix, add, subtract) and the two operations that apply them.
#include "render/w_dib32.h"

#include "render/scale_tables.h"

namespace {

// Source pixels come from a row (BlendFrom) or are one constant colour (BlendColor); both share a kernel.
struct RowSource {
    const DWORD* s;
    DWORD operator[](int i) const { return s[i]; }
};
struct ConstantSource {
    DWORD k;
    DWORD operator[](int) const { return k; }
};

// Per-call lanes built from one row of a shared table: entry v of lane c is the table's value for v,
// placed in colour byte c. Adding three such entries builds a whole pixel's worth of table values with
// three loads and no shifts in the pixel loop.
struct Lanes {
    int lane[3][511];
};

// d + (s - d) x level / 255 truncated toward zero, indexed by s - d (offset by 255). Each lane holds the
// signed step moved into its byte; since every byte's true result lies in 0..255, the plain 32-bit sum
// of the destination and the three steps is exactly the packed result, with no borrow between bytes.
void BuildMixLanes(Lanes* l, const BYTE* step)
{
    for (int delta = -255; delta <= 255; ++delta) {
        // The table keeps only the low byte of a step as large as +-255; recover its sign from delta.
        const int v = delta >= 0 ? step[delta] : -static_cast<int>(static_cast<BYTE>(-step[delta]));
        for (int c = 0; c < 3; ++c)
            l->lane[c][delta + 255] = static_cast<int>(static_cast<unsigned>(v) << (8 * c));
    }
}

template <class Source>
void MixRow(DWORD* d, Source s, int n, const Lanes& l)
{
    const int* const l0 = l.lane[0] + 255;
    const int* const l1 = l.lane[1] + 255;
    const int* const l2 = l.lane[2] + 255;
    for (int i = 0; i < n; ++i) {
        const DWORD D = d[i], S = s[i];
        const int delta0 = static_cast<int>(S & 0xFF) - static_cast<int>(D & 0xFF);
        const int delta1 = static_cast<int>((S >> 8) & 0xFF) - static_cast<int>((D >> 8) & 0xFF);
        const int delta2 = static_cast<int>((S >> 16) & 0xFF) - static_cast<int>((D >> 16) & 0xFF);
        d[i] = (D & 0xFFFFFF) + static_cast<DWORD>(l0[delta0] + l1[delta1] + l2[delta2]);
    }
}

// Lane c of entry v = floor(level x f(v) / 255) in byte c, with f(v) = v (add) or 255 - v (subtract).
void BuildScaledLanes(Lanes* l, const BYTE* scale, bool inverted)
{
    for (int v = 0; v < 256; ++v) {
        const int x = scale[inverted ? 255 - v : v];
        for (int c = 0; c < 3; ++c)
            l->lane[c][v] = x << (8 * c);
    }
}

inline DWORD ScaledPixel(DWORD S, const Lanes& l)
{
    return static_cast<DWORD>(l.lane[0][S & 0xFF] + l.lane[1][(S >> 8) & 0xFF] + l.lane[2][(S >> 16) & 0xFF]);
}

// min(255, d + floor(level x s / 255)). Blue and red are summed in 16-bit lanes, green on its own; a sum
// that reached bit 8 of its lane saturates to 255.
template <class Source>
void AddRow(DWORD* d, Source s, int n, const Lanes& l)
{
    for (int i = 0; i < n; ++i) {
        const DWORD D = d[i], X = ScaledPixel(s[i], l);
        DWORD e = (D & 0xFF00FF) + (X & 0xFF00FF);
        DWORD g = (D & 0xFF00) + (X & 0xFF00);
        const DWORD eo = e & 0x1000100, go = g & 0x10000;
        e = (e | (eo - (eo >> 8))) & 0xFF00FF;
        g = (g | (go - (go >> 8))) & 0xFF00;
        d[i] = e | g;
    }
}

// max(0, d - floor(level x (255 - s) / 255)). Each lane starts at 256 + d, so bit 8 survives the
// subtraction exactly when no borrow was needed; lanes that borrowed become 0.
template <class Source>
void SubtractRow(DWORD* d, Source s, int n, const Lanes& l)
{
    for (int i = 0; i < n; ++i) {
        const DWORD D = d[i], X = ScaledPixel(s[i], l);
        const DWORD e = ((D & 0xFF00FF) | 0x1000100) - (X & 0xFF00FF);
        const DWORD g = ((D & 0xFF00) | 0x10000) - (X & 0xFF00);
        const DWORD ek = e & 0x1000100, gk = g & 0x10000;
        d[i] = (e & (ek - (ek >> 8))) | (g & (gk - (gk >> 8)));
    }
}

// The mix kernel at its end levels needs no table: the destination or the source, fourth byte cleared.
template <class Source>
void KeepRow(DWORD* d, Source, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] &= 0xFFFFFF;
}
template <class Source>
void TakeRow(DWORD* d, Source s, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = s[i] & 0xFFFFFF;
}

// The kernel is chosen, and its lanes built, once per call.
class Kernel {
public:
    Kernel(int mode, int level) : mode_(mode), level_(level)
    {
        if (mode == kBlendMix)
            BuildMixLanes(&lanes_, SignedScaleTable() + level * 512 + 256);
        else
            BuildScaledLanes(&lanes_, ScaleTable() + level * 256, mode == kBlendSubtract);
    }
    template <class Source>
    void Row(DWORD* d, Source s, int n) const
    {
        if (mode_ == kBlendMix) {
            if (level_ == 0)
                KeepRow(d, s, n);
            else if (level_ == 255)
                TakeRow(d, s, n);
            else
                MixRow(d, s, n, lanes_);
        } else if (mode_ == kBlendAdd) {
            AddRow(d, s, n, lanes_);
        } else {
            SubtractRow(d, s, n, lanes_);
        }
    }

private:
    int mode_;
    int level_;
    Lanes lanes_;
};

int ClampLevel(int level)
{
    return level < 0 ? 0 : level > 255 ? 255 : level;
}

}  // namespace

int CDIBSurface::BlendFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int mode, int level)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    if (mode != kBlendMix && mode != kBlendAdd && mode != kBlendSubtract)
        return -1;
    // The tables are built with the first surface; should that have failed, try again rather than read
    // a missing table.
    if (!BuildScaleTables())
        return -1;
    const Kernel kernel(mode, ClampLevel(level));
    for (int r = h - 1; r >= 0; --r)
        kernel.Row(PixelPtr(dx, dy + r), RowSource{source->PixelPtr(sx, sy + r)}, w);
    return 0;
}

int CDIBSurface::BlendColor(int x, int y, int w, int h, DWORD colour, int mode, int level)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (mode != kBlendMix && mode != kBlendAdd && mode != kBlendSubtract)
        return -1;
    if (!BuildScaleTables())
        return -1;
    if (w == 0)
        return 0;
    const Kernel kernel(mode, ClampLevel(level));
    for (int r = h - 1; r >= 0; --r)
        kernel.Row(PixelPtr(x, y + r), ConstantSource{colour}, w);
    return 0;
}
