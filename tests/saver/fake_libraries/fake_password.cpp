// Stand-in for the system's "PASSWORD.CPL": answers as the file "answer.txt" beside it says
// ("accept" or anything else), and notes each call in "calls.txt" beside it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Beside(HMODULE module, const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(module, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

HMODULE Self()
{
    HMODULE module = nullptr;
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<void*>(&Self), &info, sizeof info)) module = static_cast<HMODULE>(info.AllocationBase);
    return module;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    HMODULE self = Self();
    if (FILE* log = fopen(Beside(self, "calls.txt").c_str(), "ab")) {
        fprintf(log, "VerifyScreenSavePwd %lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        fclose(log);
    }
    char answer[16] = {};
    if (FILE* in = fopen(Beside(self, "answer.txt").c_str(), "r")) {
        fgets(answer, sizeof answer, in);
        fclose(in);
    }
    return strncmp(answer, "accept", 6) == 0;
}
