// One-surface operations with a constant: fill, saturating add, average, and setting one byte lane; the
// last three two pixels at a time in MMX registers (this file is compiled for MMX).
#include "render/w_dib32.h"

#include "render/mmx_rows.h"

using namespace mmx;

int CDIBSurface::Fill(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (w == 0 || h == 0)
        return 0;
    // One row is filled pixel by pixel; the others are copies of it, at the speed of memcpy.
    DWORD* const last = PixelPtr(x, y + h - 1);
    for (int i = 0; i < w; ++i)
        last[i] = colour;
    for (int r = h - 2; r >= 0; --r)
        std::memcpy(PixelPtr(x, y + r), last, static_cast<size_t>(w) * 4);
    return 0;
}

// The colour bytes lose their lowest bits and are added with saturation. The sum of two even bytes is at
// most 254 unless it overflowed, so a byte of 255 marks a carry, which also sets the lowest bit of the
// byte above it (red's carry lands in the fourth byte), as one 32-bit addition of the two would.
int CDIBSurface::AddColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    const __m64 high7 = Twice(0xFEFEFE), k = Twice(colour & 0xFEFEFE), carries = Twice(0x1010100);
    const __m64 full = _mm_set1_pi8(-1);
    for (int r = h - 1; r >= 0 && w > 0; --r)
        ConstantRow(PixelPtr(x, y + r), k, w, [&](__m64 d, __m64 kk) {
            const __m64 sum = _mm_adds_pu8(_mm_and_si64(d, high7), kk);
            return _mm_or_si64(sum, _mm_and_si64(_mm_slli_pi32(_mm_cmpeq_pi8(sum, full), 8), carries));
        });
    _mm_empty();
    return 0;
}

int CDIBSurface::AverageColor(int x, int y, int w, int h, DWORD colour)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    const __m64 high7 = Twice(0xFEFEFE), half = Twice((colour & 0xFEFEFE) >> 1);
    for (int r = h - 1; r >= 0 && w > 0; --r)
        ConstantRow(PixelPtr(x, y + r), half, w,
                    [&](__m64 d, __m64 k) { return _mm_add_pi32(_mm_srli_pi32(_mm_and_si64(d, high7), 1), k); });
    _mm_empty();
    return 0;
}

int CDIBSurface::SetChannel(int channel, int x, int y, int w, int h, int value)
{
    if (ClipRect(&x, &y, &w, &h) != 0)
        return -1;
    if (channel < 0 || channel > 3)
        return -1;
    const __m64 others = Twice(~(0xFFu << (8 * channel)));
    const __m64 lane = Twice(static_cast<DWORD>(value & 0xFF) << (8 * channel));
    for (int r = h - 1; r >= 0 && w > 0; --r)
        ConstantRow(PixelPtr(x, y + r), lane, w, [&](__m64 d, __m64 k) { return _mm_or_si64(_mm_and_si64(d, others), k); });
    _mm_empty();
    return 0;
}
