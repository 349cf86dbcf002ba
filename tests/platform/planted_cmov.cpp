// A shipped-style program with one function built for the Pentium Pro: the program check must find its
// conditional move.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    int length = lstrlenA(commandLine);
    int other = GetTickCount() & 7;
    return length > other ? length : other;
}
