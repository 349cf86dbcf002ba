// Rectangle copies between surfaces: whole pixels (CopyFrom) and one byte lane (CopyChannel, two pixels
// at a time in MMX registers; this file is compiled for MMX).
#include "render/w_dib32.h"

#include <cstring>

#include "render/mmx_rows.h"

using namespace mmx;

int CDIBSurface::CopyFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    const size_t bytes = static_cast<size_t>(w) * 4;
    // Rows go from the last to the first, so a copy downwards within one surface reads every row
    // before it is overwritten. A copy upwards over itself needs the opposite order.
    if (source == this && dy < sy) {
        for (int r = 0; r < h; ++r)
            std::memmove(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), bytes);
        return 0;
    }
    // memmove rather than a pixel loop: a sideways copy within one row must not smear.
    for (int r = h - 1; r >= 0; --r)
        std::memmove(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), bytes);
    return 0;
}

int CDIBSurface::CopyChannel(int dx, int dy, int destinationChannel, CDIBSurface* source, int sx, int sy, int w,
                             int h, int sourceChannel)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0)
        return -1;
    if (destinationChannel < 0 || destinationChannel > 3 || sourceChannel < 0 || sourceChannel > 3)
        return -1;
    // The source byte is shifted down to the bottom of its pixel and up into the destination's lane.
    const __m64 down = _mm_cvtsi32_si64(8 * sourceChannel), up = _mm_cvtsi32_si64(8 * destinationChannel);
    const __m64 low = Twice(0xFF), others = Twice(~(0xFFu << (8 * destinationChannel)));
    const bool pairs = PairsAllowed(this, dx, dy, source, sx, sy);
    for (int r = h - 1; r >= 0; --r)
        Row(PixelPtr(dx, dy + r), source->PixelPtr(sx, sy + r), w, pairs, [&](__m64 d, __m64 s) {
            return _mm_or_si64(_mm_and_si64(d, others), _mm_sll_pi32(_mm_and_si64(_mm_srl_pi32(s, down), low), up));
        });
    _mm_empty();
    return 0;
}
