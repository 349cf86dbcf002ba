// Fuzzes the copy-list reader, the record list and the folder walk over the entries it accepts.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"

namespace {

struct Context {
    CopyListWriter writer;
    int added;
};

int OnEntry(void* context, const char* entry, EntryCheck check)
{
    Context& c = *static_cast<Context*>(context);
    size_t length = strlen(entry);
    if (check == EntryCheck::Usable) {
        if (length == 0 || length >= kPathBytes || !IsWellFormedCp932(entry)) __builtin_trap();
        if (AddCopyRecord(c.writer, static_cast<unsigned char>(length & 1), entry) == 0) ++c.added;
        FolderChainWalk walk(entry, true);
        size_t folder, last = 0;
        while (walk.Next(&folder)) {
            if (folder > length || folder < last) __builtin_trap();
            last = folder;
        }
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (size == 0 || file == nullptr) {
        if (file) fclose(file);
        return 0;
    }
    static char list[4096];
    Context context{};
    BeginCopyList(context.writer, list, sizeof list);
    ReadCopyListText(file, OnEntry, &context);
    fclose(file);
    size_t position = 0;
    CopyRecord record;
    int seen = 0;
    while (NextCopyRecord(list, sizeof list, &position, &record)) ++seen;
    if (seen != context.added || position != context.writer.used) __builtin_trap();
    return 0;
}
