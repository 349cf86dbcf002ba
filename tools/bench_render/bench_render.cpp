// bench_render: times the main surface routines on 640 by 480 pictures and prints each next to a memcpy
// of the same number of bytes, measured in the same run, as a ratio.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/w_dib32.h"

namespace {

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of several batches of the mean time per call, in microseconds.
template <class F>
double TimePerCall(F f)
{
    f();  // warm the caches and the tables
    double best = 1e30;
    for (int batch = 0; batch < 7; ++batch) {
        int calls = 0;
        const double start = Seconds();
        double elapsed = 0;
        do {
            f();
            ++calls;
            elapsed = Seconds() - start;
        } while (elapsed < 0.05);
        const double perCall = elapsed / calls * 1e6;
        if (perCall < best)
            best = perCall;
    }
    return best;
}

BYTE* copyFrom;
BYTE* copyTo;

double MemcpyTime(size_t bytes)
{
    return TimePerCall([bytes] { std::memcpy(copyTo, copyFrom, bytes); });
}

void Report(const char* name, double us, size_t bytes)
{
    const double baseline = MemcpyTime(bytes);
    std::printf("%-34s %9.1f us   memcpy %8zu bytes %9.1f us   ratio %5.2f\n", name, us, bytes, baseline,
                us / baseline);
}

void FillNoise(CDIBSurface* s, unsigned seed)
{
    for (int y = 0; y < s->GetHeight(); ++y) {
        DWORD* p = s->PixelPtr(0, y);
        for (int x = 0; x < s->GetWidth(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            p[x] = seed;
        }
    }
}

}  // namespace

int main()
{
    HWND window = CreateWindowA("STATIC", "bench", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    CDIBSurface* stage = new CDIBSurface(window);
    CDIBSurface* picture = new CDIBSurface(window);
    CDIBSurface* big = new CDIBSurface(window);
    if (!window || stage->Create(640, 480) != 0 || picture->Create(640, -480) != 0 || big->Create(1280, 960) != 0) {
        std::printf("cannot create the surfaces\n");
        return 1;
    }
    const size_t frame = 640 * 480 * 4, bigFrame = 1280 * 960 * 4;
    copyFrom = static_cast<BYTE*>(std::malloc(bigFrame));
    copyTo = static_cast<BYTE*>(std::malloc(bigFrame));
    std::memset(copyFrom, 1, bigFrame);
    std::memset(copyTo, 2, bigFrame);
    FillNoise(stage, 1);
    FillNoise(picture, 2);

    std::printf("time per call; memcpy of the bytes written, same run\n");
    Report("CopyFrom 640x480", TimePerCall([&] { stage->CopyFrom(0, 0, picture, 0, 0, 640, 480); }), frame);
    Report("BlendFrom 640x480 mix level 100",
           TimePerCall([&] { stage->BlendFrom(0, 0, picture, 0, 0, 640, 480, kBlendMix, 100); }), frame);
    Report("BlendFrom 640x480 add level 100",
           TimePerCall([&] { stage->BlendFrom(0, 0, picture, 0, 0, 640, 480, kBlendAdd, 100); }), frame);
    Report("FadeFrom 640x480 weight 128",
           TimePerCall([&] { stage->FadeFrom(0, 0, picture, 0, 0, 640, 480, 128); }), frame);
    Report("AddFrom 640x480", TimePerCall([&] { stage->AddFrom(0, 0, picture, 0, 0, 640, 480); }), frame);
    Report("Fill 640x480", TimePerCall([&] { stage->Fill(0, 0, 640, 480, 0x00336699); }), frame);
    Report("Darken 640x480 level 200", TimePerCall([&] { stage->Darken(0, 0, 640, 480, 200); }), frame);
    Report("StretchKeyed 640x480 to 1280x960",
           TimePerCall([&] { big->StretchKeyed(0, 0, 1280, 960, picture, 0, 0, 640, 480, 0x00FF00FF); }), bigFrame);

    delete big;
    delete picture;
    delete stage;
    std::free(copyFrom);
    std::free(copyTo);
    DestroyWindow(window);
    return 0;
}
