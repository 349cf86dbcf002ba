// Fuzzes the uninstall-log replay: files first, then the folders, each a whole, short, well-formed path.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "setup/cp932_path.h"
#include "setup/uninstall_log_text.h"

static int gFinished;

static void Check(const char* path, int finished)
{
    size_t length = strlen(path);
    if (gFinished != finished || length == 0 || length >= kPathBytes || !IsWellFormedCp932(path)) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr;
    if (file == nullptr) return 0;
    gFinished = 0;
    ReplayOps ops{[](void*, const char* path) { Check(path, 0); }, [](void*) { ++gFinished; },
                  [](void*, const char* path) { Check(path, 1); }, nullptr};
    ReplayLogText(file, "C:\\Src\\setup.exe", ops);
    fclose(file);
    if (gFinished != 1) __builtin_trap();
    return 0;
}
