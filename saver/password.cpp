// Password hooks: the system's own libraries, loaded by name for each call and released after it.
// Where a library or its function is missing, nothing is asked and the show may end.
#include "saver/password.h"

namespace {

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND);
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR, HWND, DWORD, DWORD);

bool OnNtFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// A function of a library loaded by name, as the type the caller calls it through; null when missing.
template <typename Proc> Proc FindProc(HMODULE library, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

BOOL VerifyPassword(HWND window)
{
    // The NT family asks for the password itself, outside the saver.
    if (OnNtFamily()) return TRUE;
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (library == nullptr) return TRUE;
    VerifyScreenSavePwdProc verify = FindProc<VerifyScreenSavePwdProc>(library, "VerifyScreenSavePwd");
    if (verify == nullptr) {
        FreeLibrary(library);
        return TRUE;
    }
    BOOL allowed = verify(window);
    FreeLibrary(library);
    return allowed;
}

void ChangeSaverPassword(HWND parent)
{
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    PwdChangePasswordProc change = FindProc<PwdChangePasswordProc>(library, "PwdChangePasswordA");
    if (change != nullptr) change("SCRSAVE", parent, 0, 0);
    FreeLibrary(library);
}
