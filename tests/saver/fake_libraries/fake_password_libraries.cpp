// Stand-in for the system's "PASSWORD.CPL" and "MPR.DLL" (built as both): notes each call in
// "calls.txt" beside it, and answers a password check as "answer.txt" beside it says ("accept" or not).
#include <windows.h>

#include <cstdio>
#include <string>

static std::string Beside(const char* name)  // beside the program, where the tests put the stand-ins
{
    char path[MAX_PATH];
    std::string program(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return program.substr(0, program.find_last_of('\\') + 1) + name;
}

static void Note(const std::string& line)
{
    FILE* log = fopen(Beside("calls.txt").c_str(), "ab");
    if (log == nullptr) return;
    fprintf(log, "%s\n", line.c_str());
    fclose(log);
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    SendMessageA(window, WM_KEYDOWN, 'A', 0);  // what a person does while the dialog is up
    Note("VerifyScreenSavePwd " + std::to_string(reinterpret_cast<uintptr_t>(window)));
    char answer[8] = {};
    if (FILE* in = fopen(Beside("answer.txt").c_str(), "rb")) {
        fread(answer, 1, 6, in);
        fclose(in);
    }
    return std::string(answer) == "accept";
}

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD a, DWORD b)
{
    const std::string window = std::to_string(reinterpret_cast<uintptr_t>(parent));
    Note(std::string("PwdChangePasswordA ") + provider + " " + window + " " + std::to_string(a) + " " +
         std::to_string(b));
    return 0;
}
