// bench_show: time of each transition step (compose and present) on the sample show, next to the
// 100 ms tick, with the stage centred 1:1 and stretched with "Fit Screen" over the whole screen; each
// step's time is the best of several runs of its transition.
// Usage: bench_show SHOW_FOLDER
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "render/display_context.h"
#include "saver/frame_thread.h"
#include "saver/saver_window.h"
#include "saver/settings.h"
#include "saver/transitions.h"
#include "tools/bench_machine/bench_machine.h"

namespace {

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Figures {
    int calls;
    double average;
    double worst;
};

// Each transition runs kRuns times from the start; a step's time is the best of its runs, so that a
// step the machine happened to interrupt does not pass for the slowest one.
const int kRuns = 5;

Figures Run(TransitionStepProc step, const TransitionState& start, CDIB& display, const TRect32& view)
{
    static double best[1024];
    int calls = 0;
    for (int run = 0; run < kRuns; ++run) {
        TransitionState state = start;
        for (int n = 0;; ++n) {
            double begin = Now();
            int result = step(&state, display, view);
            double spent = Now() - begin;
            if (result == -1 || n >= 1024) break;
            if (run == 0 || spent < best[n]) best[n] = spent;
            calls = n + 1;
        }
    }
    Figures f = {calls, 0, 0};
    for (int n = 0; n < calls; ++n) {
        f.average += best[n] / calls;
        if (best[n] > f.worst) f.worst = best[n];
    }
    return f;
}

void Report(const char* name, const Figures& f)
{
    double tick = static_cast<double>(kTickMs);
    printf("  %-13s %4d steps  average %7.3f ms (%5.2f%% of the tick)  worst %7.3f ms (%5.2f%%)\n", name, f.calls,
           f.average, 100.0 * f.average / tick, f.worst, 100.0 * f.worst / tick);
}

void Measure(const char* folder, unsigned fitScreen)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
    TSaverSettings settings;
    settings.fitScreen = fitScreen;
    TRect32 view = ComputeViewRect(width, height, fitScreen);
    settings.SetViewRect(view.x, view.y, view.width, view.height);
    CDIB* displayContext = new CDIB(window);
    displayContext->SetSlotCount(4);
    displayContext->SetStageFormat(640, 480, 32);
    displayContext->OpenStage(0);

    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\tile.bmp", folder);
    int maskLoaded = displayContext->LoadFile(2, path, nullptr);
    snprintf(path, sizeof path, "%s\\slide_02.qjx", folder);
    int slideLoaded = displayContext->LoadFile(0, path, nullptr);
    if (maskLoaded != 0 || slideLoaded != 0) {
        printf("cannot load the show from %s\n", folder);
        return;
    }

    printf("%dx%d screen, %s (view %d,%d %dx%d):\n", width, height, fitScreen ? "Fit Screen" : "centred 1:1", view.x,
           view.y, view.width, view.height);
    TransitionState state = {};
    state.wipe.sourceSlot = 0;
    Report("StripWipe", Run(StripWipe, state, *displayContext, settings.viewRect));
    state = TransitionState{};
    state.dissolve.maskSlot = 2;
    state.dissolve.sourceSlot = 0;
    Report("MaskDissolve", Run(MaskDissolve, state, *displayContext, settings.viewRect));
    state = TransitionState{};
    Report("SmearDown", Run(SmearDown, state, *displayContext, settings.viewRect));

    delete displayContext;
    DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv)
{
    PrintBenchMachine();
    if (argc < 2) {
        printf("usage: bench_show SHOW_FOLDER\n");
        return 2;
    }
    printf("Transition steps, compose and present, against the %lu ms tick:\n", static_cast<unsigned long>(kTickMs));
    Measure(argv[1], 0);
    Measure(argv[1], 1);
    return 0;
}
