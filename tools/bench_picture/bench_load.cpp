// Win32 picture benchmark: LoadImageFile of each sample slide, from file to surface, next to the decode
// alone (the same decoder from memory), and where a load's time goes. Reads the show in ..\show.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imagefile/cfs.h"
#include "imagefile/qjx_decode.h"
#include "render/w_dib32.h"
#include "tools/bench_machine/bench_machine.h"

namespace {

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1e6 / double(frequency.QuadPart);
}

template <typename F>
double Median(F work)
{
    std::vector<double> runs;
    for (int i = 0; i < 31; ++i) {
        const double start = Now();
        work();
        runs.push_back(Now() - start);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

}  // namespace

int main()
{
    PrintBenchMachine();
    char folder[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
    while (length > 0 && folder[length - 1] != '\\') --length;
    folder[length] = 0;

    HWND window = CreateWindowA("STATIC", "bench", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return 1;
    CDIBSurface* surface = new CDIBSurface(window);
    std::vector<uint8_t> decoded(kQjxSurfaceBytes);
    std::printf("slide      decode (us)  LoadImageFile (us)  load/decode\n");
    double sumDecode = 0, sumLoad = 0;
    for (int i = 1; i <= 15; ++i) {
        char path[MAX_PATH + 32];
        wsprintfA(path, "%s..\\show\\slide_%02d.qjx", folder, i);
        HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            std::printf("no %s\n", path);
            return 1;
        }
        std::vector<uint8_t> file(GetFileSize(h, nullptr));
        DWORD got = 0;
        ReadFile(h, file.data(), DWORD(file.size()), &got, nullptr);
        CloseHandle(h);
        volatile int sink = 0;
        const double tDecode = Median([&] { sink = QjxDecodeFile(file.data(), file.size(), decoded.data()); });
        const double tLoad = Median([&] { sink = surface->LoadImageFile(path, nullptr); });
        (void)sink;
        std::printf("slide_%02d  %10.0f  %18.0f  %10.2fx\n", i, tDecode, tLoad, tLoad / tDecode);
        sumDecode += tDecode;
        sumLoad += tLoad;
    }
    std::printf("all       %10.0f  %18.0f  %10.2fx   (goal: load/decode <= 2x%s)\n", sumDecode, sumLoad,
                sumLoad / sumDecode, sumLoad / sumDecode <= 2 ? "" : ", NOT MET");

    // Where a load of slide_01 goes: the steps LoadImageFile takes, each timed alone.
    char path[MAX_PATH + 32];
    wsprintfA(path, "%s..\\show\\slide_01.qjx", folder);
    volatile int sink = 0;
    std::vector<uint8_t> bytes;
    const double tOpen = Median([&] {
        CFS file;
        sink = file.Open(path, "rb");
        file.Close();
    });
    const double tRead = Median([&] {
        CFS file;
        file.Open(path, "rb");
        const LONG size = file.Seek(0, 2);
        file.Seek(0, 0);
        uint8_t* block = static_cast<uint8_t*>(std::malloc(size_t(size)));
        sink = block ? file.Read(block, int(size)) : -1;
        file.Close();
        if (block) bytes.assign(block, block + size);
        std::free(block);
    }) - tOpen;
    const double tDecode = Median([&] {
        sink = QjxDecodeFile(bytes.data(), bytes.size(), reinterpret_cast<uint8_t*>(surface->PixelPtr(0, 0)));
    });
    const double tSurface = Median([&] { sink = surface->Create(640, -480); });
    (void)sink;
    std::printf("slide_01: open+close %.0f us, size+read %.0f us, decode into the surface %.0f us; "
                "a new surface (first load into a slot only) %.0f us\n", tOpen, tRead, tDecode, tSurface);
    delete surface;
    DestroyWindow(window);
    return 0;
}
