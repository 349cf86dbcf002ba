// Stand-in for the system's "MPR.DLL": notes each password-change request in "calls.txt" beside it.
#include <windows.h>

#include <cstdio>
#include <string>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD first,
                                                                 DWORD second)
{
    HMODULE self = nullptr;
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<void*>(&PwdChangePasswordA), &info, sizeof info))
        self = static_cast<HMODULE>(info.AllocationBase);
    char path[MAX_PATH];
    GetModuleFileNameA(self, path, sizeof path);
    std::string log(path);
    log = log.substr(0, log.find_last_of('\\') + 1) + "calls.txt";
    if (FILE* out = fopen(log.c_str(), "ab")) {
        fprintf(out, "PwdChangePasswordA %s %lu %lu %lu\n", provider ? provider : "(null)",
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)), static_cast<unsigned long>(first),
                static_cast<unsigned long>(second));
        fclose(out);
    }
    return 0;
}
