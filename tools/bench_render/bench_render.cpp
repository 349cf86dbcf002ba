// bench_render: times every pixel routine of the surface on 640 by 480 pictures and prints each next to
// a memcpy of the bytes it writes, measured in the same run, for information: the show itself uses only
// CopyFrom and the presents. FadeFrom and AddFrom are timed on both their paths.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "render/w_dib32.h"
#include "render/fade_add_packed.h"
#include "tools/bench_machine/bench_machine.h"

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

// Mean time per call of one batch of calls lasting at least 20 ms, in microseconds.
template <class F>
double BatchTime(F f)
{
    int calls = 0;
    const double start = Seconds();
    double elapsed = 0;
    do {
        f();
        ++calls;
        elapsed = Seconds() - start;
    } while (elapsed < 0.02);
    return elapsed / calls * 1e6;
}

BYTE* copyFrom;
BYTE* copyTo;
const char* only = nullptr;  // the command line may name part of the routines to time

// The routine and memcpy of the bytes it writes take turns, batch by batch, so that both meet the same
// moments of a machine that other work shares; the best batch of each is reported.
template <class F>
void Report(const char* name, F f, size_t bytes)
{
    if (only && !std::strstr(name, only))
        return;
    auto copy = [bytes] { std::memcpy(copyTo, copyFrom, bytes); };
    f();  // warm the caches and the tables
    copy();
    double us = 1e30, baseline = 1e30;
    for (int batch = 0; batch < 15; ++batch) {
        const double a = BatchTime(f), b = BatchTime(copy);
        us = a < us ? a : us;
        baseline = b < baseline ? b : baseline;
    }
    std::printf("%-36s %8.1f us   memcpy %7zu bytes %7.1f us   ratio %5.2f\n", name, us, bytes, baseline,
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

int main(int argc, char** argv)
{
    PrintBenchMachine();
    only = argc > 1 ? argv[1] : nullptr;
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
    const RECT whole = {0, 0, 640, 480}, doubled = {0, 0, 1280, 960};
    const int w = 640, h = 480;
    Report("CopyFrom", [&] { stage->CopyFrom(0, 0, picture, 0, 0, w, h); }, frame);
    Report("BltFrom plain (BitBlt)", [&] { stage->BltFrom(0, 0, picture, 0, 0, w, h, 0); }, frame);
    Report("BltFrom keyed", [&] { stage->BltFrom(0, 0, picture, 0, 0, w, h, 0x01FF00FF); }, frame);
    Report("CopyKeyed", [&] { stage->CopyKeyed(0, 0, picture, 0, 0, w, h, 0x00FF00FF); }, frame);
    Report("Fill", [&] { stage->Fill(0, 0, w, h, 0x00336699); }, frame);
    for (bool packed : {true, false}) {  // MMX where the processor has it, then plain
        AllowPackedFadeAdd(packed);
        const bool used = UsePackedFadeAdd();
        Report(used ? "FadeFrom weight 128 (MMX)" : "FadeFrom weight 128 (plain)",
               [&] { stage->FadeFrom(0, 0, picture, 0, 0, w, h, 128); }, frame);
        Report(used ? "AddFrom (MMX)" : "AddFrom (plain)", [&] { stage->AddFrom(0, 0, picture, 0, 0, w, h); }, frame);
    }
    AllowPackedFadeAdd(true);
    Report("BlendFrom mix level 100",
           [&] { stage->BlendFrom(0, 0, picture, 0, 0, w, h, kBlendMix, 100); }, frame);
    Report("BlendFrom add level 100",
           [&] { stage->BlendFrom(0, 0, picture, 0, 0, w, h, kBlendAdd, 100); }, frame);
    Report("BlendFrom subtract level 100",
           [&] { stage->BlendFrom(0, 0, picture, 0, 0, w, h, kBlendSubtract, 100); }, frame);
    Report("Darken level 200", [&] { stage->Darken(0, 0, w, h, 200); }, frame);
    Report("StretchKeyed 640x480 to 1280x960",
           [&] { big->StretchKeyed(0, 0, 1280, 960, picture, 0, 0, w, h, 0x00FF00FF); }, bigFrame);
    Report("StretchFrom plain 2x",
           [&] { big->StretchFrom(&doubled, picture, &whole, 0); }, bigFrame);
    Report("StretchFrom keyed 2x",
           [&] { big->StretchFrom(&doubled, picture, &whole, 0x01FF00FF); }, bigFrame);
    Report("CopyChannel 1 from 2",
           [&] { stage->CopyChannel(0, 0, 1, picture, 0, 0, w, h, 2); }, frame);
    Report("AlphaFrom", [&] { stage->AlphaFrom(0, 0, picture, 0, 0, w, h); }, frame);
    Report("BlendColor mix level 100",
           [&] { stage->BlendColor(0, 0, w, h, 0x00336699, kBlendMix, 100); }, frame);
    Report("BlendColor add level 100",
           [&] { stage->BlendColor(0, 0, w, h, 0x00336699, kBlendAdd, 100); }, frame);
    Report("BlendColor subtract level 100",
           [&] { stage->BlendColor(0, 0, w, h, 0x00336699, kBlendSubtract, 100); }, frame);
    Report("AddColor", [&] { stage->AddColor(0, 0, w, h, 0x00102030); }, frame);
    Report("AverageColor", [&] { stage->AverageColor(0, 0, w, h, 0x00102030); }, frame);
    Report("SetChannel 3", [&] { stage->SetChannel(3, 0, 0, w, h, 0x80); }, frame);

    delete big;
    delete picture;
    delete stage;
    std::free(copyFrom);
    std::free(copyTo);
    DestroyWindow(window);
    return 0;
}
