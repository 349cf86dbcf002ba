// Start-up of the shipped windowed programs, in place of the toolchain's: static constructors, then
// WinMain with the command line after the program's name and the show state the starter asked for.
#include <windows.h>

#include "cmake/runtime/static_objects.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

// The command line after the program's name (quoted or not) and the blanks that follow it.
char* CommandTail()
{
    char* p = GetCommandLineA();
    bool quoted = false;
    for (; *p != '\0'; ++p) {
        if (*p == '"') quoted = !quoted;
        else if (!quoted && (*p == ' ' || *p == '\t')) break;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

}  // namespace

extern "C" void WINAPI WinMainCRTStartup()
{
    __main();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    FinishProgram(WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(), show));
}
