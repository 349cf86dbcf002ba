// A shipped-style program that imports a function Windows 95 lacks: the program check must refuse it.
#include <windows.h>

// Windows Vista's, declared here since the build targets Windows 95 and NT 4.0.
extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(GetTickCount64() & 1);
}
