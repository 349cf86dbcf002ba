// procstat: memory and GDI/USER object counts of running programs with a given file name, as
// Windows reports them. Usage: procstat NAME (for example nimbra.scr)
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        printf("usage: procstat NAME\n");
        return 2;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, argv[1]) != 0) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
        if (!process) continue;
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, &memory, sizeof memory);
        printf("%s pid %lu: working set %lu KB, private %lu KB, GDI objects %lu, USER objects %lu\n", argv[1],
               entry.th32ProcessID, static_cast<unsigned long>(memory.WorkingSetSize / 1024),
               static_cast<unsigned long>(memory.PagefileUsage / 1024), GetGuiResources(process, GR_GDIOBJECTS),
               GetGuiResources(process, GR_USEROBJECTS));
        CloseHandle(process);
        ++found;
    }
    CloseHandle(snapshot);
    if (!found) printf("%s: not running\n", argv[1]);
    return found ? 0 : 1;
}
