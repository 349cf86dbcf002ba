// Fuzzes the uninstall-log replay: every path it acts on must be a whole, short, well-formed path.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "setup/cp932_path.h"
#include "setup/uninstall_log_text.h"

namespace {

struct Counts {
    int finished;
    int afterFinish;
};

void Check(const char* path)
{
    size_t length = strlen(path);
    if (length == 0 || length >= kPathBytes || !IsWellFormedCp932(path)) __builtin_trap();
}

void OnDelete(void* context, const char* path)
{
    if (static_cast<Counts*>(context)->finished) __builtin_trap();
    Check(path);
}

void OnFinish(void* context) { ++static_cast<Counts*>(context)->finished; }

void OnRemove(void* context, const char* path)
{
    if (!static_cast<Counts*>(context)->finished) __builtin_trap();
    Check(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    Counts counts{};
    ReplayOps ops{OnDelete, OnFinish, OnRemove, &counts};
    ReplayLogText(file, "C:\\Src\\setup.exe", ops);
    fclose(file);
    if (counts.finished != 1) __builtin_trap();
    return 0;
}
