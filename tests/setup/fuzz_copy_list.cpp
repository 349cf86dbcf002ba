// Fuzzes the copy-list reader, the record list and the folder walk over the entries it accepts.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"

static char gList[4096];
static CopyListWriter gWriter;
static int gAdded;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr;
    if (file == nullptr) return 0;
    BeginCopyList(gWriter, gList, sizeof gList);
    gAdded = 0;
    ReadCopyListText(file, [](void*, const char* entry, EntryCheck check) {
        size_t length = strlen(entry), folder, last = 0;
        if (check != EntryCheck::Usable) return 0;
        if (length == 0 || length >= kPathBytes || !IsWellFormedCp932(entry)) __builtin_trap();
        gAdded += AddCopyRecord(gWriter, static_cast<unsigned char>(length & 1), entry) == 0;
        for (FolderChainWalk walk(entry, true); walk.Next(&folder); last = folder)
            if (folder > length || folder < last) __builtin_trap();
        return 0;
    }, nullptr);
    fclose(file);
    size_t position = 0;
    CopyRecord record;
    while (NextCopyRecord(gList, sizeof gList, &position, &record)) --gAdded;
    if (gAdded != 0 || position != gWriter.used) __builtin_trap();
    return 0;
}
