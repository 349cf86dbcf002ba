// Start-up of the shipped console program, in place of the toolchain's: the C runtime DLL splits the
// command line into argc and argv, then main runs (it calls the static constructors itself).
#include <windows.h>

#include "cmake/runtime/static_objects.h"

int main(int argc, char** argv);

// CRTDLL's reading of the command line.
extern "C" void __cdecl __GetMainArgs(int* argc, char*** argv, char*** environment, int expandWildcards);

extern "C" void WINAPI mainCRTStartup()
{
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    __GetMainArgs(&argc, &argv, &environment, 0);
    FinishProgram(main(argc, argv));
}
