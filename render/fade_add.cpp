// FadeFrom and AddFrom: clipping, the plain loops, and the question whether the processor has the
// packed-integer (MMX) instructions that fade_add_packed.cpp uses instead.
#include "render/fade_add_packed.h"
#if defined(__i386__)
#include <cpuid.h>

// Only a processor with CPUID lets a program change EFLAGS bit 21 (ID); a 486 without it keeps the bit.
// The flags are put back. Never inlined: the check of the linked programs allows CPUID here by name.
__attribute__((noinline)) bool ProcessorHasMmx()
{
    unsigned long before, after;
    __asm__ volatile("pushfl; popl %0; movl %0, %1; xorl $0x200000, %1; pushl %1; popfl; pushfl; popl %1; "
                     "pushl %0; popfl" : "=&r"(before), "=&r"(after) : : "cc");
    unsigned maxLeaf = 0, signature, b, c, d, features = 0;
    if ((before ^ after) & 0x200000) __cpuid(0, maxLeaf, b, c, d);
    if (maxLeaf >= 1) __cpuid(1, signature, b, c, features);
    return (features & bit_MMX) != 0;
}
#else
bool ProcessorHasMmx() { return true; }  // every x86-64 processor has MMX
#endif

namespace {

int packedState = -1;  // -1 not asked yet, 0 plain, 1 packed

// Each byte: clamp(s + 2 x floor((d - s) x f / 65536)); the shift of the signed product is the floor.
DWORD FadePixel(DWORD d, DWORD s, int fc, int fa)
{
    return PerByte<4>(d, s, [=](int db, int sb, int shift) {
        const int v = sb + 2 * (((db - sb) * (shift == 24 ? fa : fc)) >> 16);
        return v < 0 ? 0 : v > 255 ? 255 : v;
    });
}

DWORD AddPixel(DWORD d, DWORD s)
{
    return PerByte<4>(d, s, [](int db, int sb, int) { return db + sb > 255 ? 255 : db + sb; });
}

void FadeRectPlain(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h,
                   int weight)
{
    const int fc = (weight & 0xFF) * 128, fa = ((weight >> 16) & 0xFF) * 128;
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        for (int i = w - 1; i >= 0; --i) d[i] = FadePixel(d[i], s[i], fc, fa);
    }
}

// Two pixels at a time from the right end of the row, both read before either is written, as the
// packed path does; an odd leftmost pixel by itself.
void AddRectPlain(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    for (int r = h - 1; r >= 0; --r) {
        DWORD* d = target->PixelPtr(dx, dy + r);
        const DWORD* s = source->PixelPtr(sx, sy + r);
        int i = w - 2;
        for (; i >= 0; i -= 2) {
            const DWORD left = AddPixel(d[i], s[i]);
            d[i + 1] = AddPixel(d[i + 1], s[i + 1]);
            d[i] = left;
        }
        if (i == -1) d[0] = AddPixel(d[0], s[0]);
    }
}

}  // namespace

bool UsePackedFadeAdd()
{
    if (packedState < 0) packedState = ProcessorHasMmx() ? 1 : 0;
    return packedState == 1;
}

void AllowPackedFadeAdd(bool allow) { packedState = allow ? -1 : 0; }

int CDIBSurface::FadeFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h, int weight)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    (UsePackedFadeAdd() ? FadeRectPacked : FadeRectPlain)(this, dx, dy, source, sx, sy, w, h, weight);
    return 0;
}

int CDIBSurface::AddFrom(int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h)
{
    if (!source || ClipCopy(&dx, &dy, source, &sx, &sy, &w, &h) != 0) return -1;
    (UsePackedFadeAdd() ? AddRectPacked : AddRectPlain)(this, dx, dy, source, sx, sy, w, h);
    return 0;
}
