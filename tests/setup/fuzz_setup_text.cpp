// Fuzzes the installer's text readers on the same bytes: copy list and records, log replay, WININIT, command line.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "setup/copy_list_text.h"
#include "setup/cp932_path.h"
#include "setup/setup_command_line.h"
#include "setup/uninstall_log_text.h"
#include "setup/wininit_text.h"

static char gList[4096];
static CopyListWriter gWriter;
static int gAdded;
static int gFinished;

// A path handed on is whole, short and well formed.
static void CheckPath(const char* path)
{
    if (!*path || strlen(path) >= kPathBytes || !IsWellFormedCp932(path)) __builtin_trap();
}

static int CheckEntry(void*, const char* entry, EntryCheck check)
{
    if (check != EntryCheck::Usable) return 0;
    CheckPath(entry);
    if (AddCopyRecord(gWriter, static_cast<unsigned char>(strlen(entry) & 1), entry) == 0) ++gAdded;
    size_t folder;
    size_t last = 0;
    for (FolderChainWalk walk(entry, true); walk.Next(&folder); last = folder)
        if (folder > strlen(entry) || folder < last) __builtin_trap();
    return 0;
}

// Files first, then the folders; the end of the files is reported once.
static void Replay(FILE* file)
{
    gFinished = 0;
    ReplayOps ops{[](void*, const char* path) { gFinished == 0 ? CheckPath(path) : __builtin_trap(); },
                  [](void*, bool) { ++gFinished; },
                  [](void*, const char* path) { gFinished == 1 ? CheckPath(path) : __builtin_trap(); }, nullptr};
    ReplayLogText(file, "C:\\Src\\setup.exe", ops);
    if (gFinished != 1) __builtin_trap();
}

// A result ends in exactly the new entry; a refusal leaves nothing behind.
static void Wininit(const uint8_t* data, size_t size)
{
    static const std::string kTail = "NUL=C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE\r\n";
    GrowBuffer out;
    const char* ini = reinterpret_cast<const char*>(data);
    bool done = AddDeleteEntry(ini, size, "C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE", out) == WininitEdit::Done;
    if (!done && out.size != 0) __builtin_trap();
    if (done && (out.size < kTail.size() || std::string(out.data + out.size - kTail.size(), kTail.size()) != kTail))
        __builtin_trap();
    GrowFree(out);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A zero byte inside ends the command line early, as it would in Windows; the sanitizers watch the reads.
    ParseSetupCommandLine(std::string(reinterpret_cast<const char*>(data), size).c_str(), "setup.exe");
    Wininit(data, size);
    if (size == 0) return 0;
    BeginCopyList(gWriter, gList, sizeof gList);
    gAdded = 0;
    FILE* list = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    ReadCopyListText(list, CheckEntry, nullptr);
    fclose(list);
    size_t position = 0;  // every usable entry was recorded and reads back from the record list
    for (CopyRecord record; NextCopyRecord(gList, sizeof gList, &position, &record);) --gAdded;
    if (gAdded != 0 || position != gWriter.used) __builtin_trap();
    FILE* log = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    Replay(log);
    fclose(log);
    return 0;
}
