// Win32 picture benchmark: LoadImageFile of each sample slide, from file to surface, next to the decode
// alone (QjxDecode from memory). Reads the show beside the build's programs (..\show).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imagefile/qjx_decode.h"
#include "render/w_dib32.h"

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
    char folder[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
    while (length > 0 && folder[length - 1] != '\\') --length;
    folder[length] = 0;

    HWND window = CreateWindowA("STATIC", "bench", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return 1;
    CDIBSurface* surface = new CDIBSurface(window);
    std::vector<uint8_t> decoded(kQjxDecodedSize + 4);
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
    std::printf("all       %10.0f  %18.0f  %10.2fx   (goal: load/decode <= 2x)\n", sumDecode, sumLoad, sumLoad / sumDecode);

    // Where the rest of a load goes.
    char path[MAX_PATH + 32];
    wsprintfA(path, "%s..\\show\\slide_01.qjx", folder);
    volatile int sink = 0;
    const double tCreate = Median([&] { sink = surface->Create(640, 480); });
    const double tOpen = Median([&] {
        HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        ReadFile(h, decoded.data(), 2, &got, nullptr);
        CloseHandle(h);
    });
    const double tAlloc = Median([&] {
        uint8_t* block = static_cast<uint8_t*>(std::malloc(kQjxDecodedSize + 4));
        for (size_t i = 0; i < kQjxDecodedSize; i += 4096) block[i] = 1;
        sink = block[4096];
        std::free(block);
    });
    const double tConvert = Median([&] {
        for (int y = 0; y < 480; ++y) QjxConvertRow(surface->PixelPtr(0, y), decoded.data() + size_t(y) * kQjxRowBytes);
    });
    (void)sink;
    std::printf("parts: Create %.0f us, open+read 2 bytes+close %.0f us, output buffer %.0f us, conversion %.0f us\n",
                tCreate, tOpen, tAlloc, tConvert);
    delete surface;
    DestroyWindow(window);
    return 0;
}
