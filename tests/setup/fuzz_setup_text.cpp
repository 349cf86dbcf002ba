// Fuzzes the installer's text readers on the same bytes: command line, WININIT, copy list and records, log
// replay. Every path they hand on is whole, short and well formed; the sanitizers watch the reads.
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

static void CheckPath(const char* path)
{
    if (!*path || strlen(path) >= kPathBytes || !IsWellFormedCp932(path)) __builtin_trap();
}

static int CheckEntry(void*, const char* entry, EntryCheck check)
{
    if (check != EntryCheck::Usable) return 0;
    CheckPath(entry);
    AddCopyRecord(gWriter, static_cast<unsigned char>(strlen(entry) & 1), entry);
    size_t folder;
    for (FolderChainWalk walk(entry, true); walk.Next(&folder);) {}
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A zero byte inside ends the command line early, as it would in Windows.
    ParseSetupCommandLine(std::string(reinterpret_cast<const char*>(data), size).c_str(), "setup.exe");
    GrowBuffer out;
    AddDeleteEntry(reinterpret_cast<const char*>(data), size, "C:\\WINDOWS\\SYSTEM\\UNITHRA.EXE", out);
    GrowFree(out);
    if (size == 0) return 0;
    BeginCopyList(gWriter, gList, sizeof gList);
    FILE* list = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    ReadCopyListText(list, CheckEntry, nullptr);
    fclose(list);
    size_t position = 0;
    for (CopyRecord record; NextCopyRecord(gList, sizeof gList, &position, &record);) CheckPath(record.text);
    ReplayOps ops{[](void*, const char* path) { CheckPath(path); }, [](void*, bool) {},
                  [](void*, const char* path) { CheckPath(path); }, nullptr};
    FILE* log = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    ReplayLogText(log, "C:\\Src\\setup.exe", ops);
    fclose(log);
    return 0;
}
