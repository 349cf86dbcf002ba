// What a benchmark ran on: the build (the shipped i686 programs or their 64-bit twin), the processor as
// CPUID names it, the Windows version reported, and Wine's version and the emulated PC where they apply.
#include "tools/bench_machine/bench_machine.h"

#include <windows.h>
#include <cpuid.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

void PrintBenchMachine()
{
#ifdef _WIN64
    const char* build = "x86-64 twin (for the tests; not what ships)";
#else
    const char* build = "i686 (the shipped build)";
#endif
    char brand[49] = "unknown (no CPUID brand string)";
    unsigned words[12];
    if (__get_cpuid_max(0x80000000u, nullptr) >= 0x80000004u) {
        for (unsigned i = 0; i < 3; ++i)
            __get_cpuid(0x80000002u + i, &words[4 * i], &words[4 * i + 1], &words[4 * i + 2], &words[4 * i + 3]);
        std::memcpy(brand, words, 48);
        brand[48] = '\0';
        for (size_t end = std::strlen(brand); end > 0 && brand[end - 1] == ' '; --end) brand[end - 1] = '\0';
    }
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    typedef const char*(__cdecl * WineVersionProc)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    WineVersionProc wineVersion =
        ntdll ? reinterpret_cast<WineVersionProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
              : nullptr;
    std::printf("build: %s\nprocessor: %s\nWindows %lu.%lu", build, brand, version.dwMajorVersion,
                version.dwMinorVersion);
    if (wineVersion) std::printf(" under Wine %s", wineVersion());
    if (std::getenv("NIMBRA_IN_PC")) std::printf(", in the emulated PC (QEMU, software emulation)");
    std::printf("\n\n");
}
