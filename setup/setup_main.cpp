// setup.exe: the interactive installer, the relocation step ("/r") and the uninstaller run ("/x").
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "setup/main_dialog.h"
#include "setup/setup_command_line.h"
#include "setup/setup_state.h"
#include "setup/uninstaller.h"

namespace {

// Offset of the last separator, walked by the system's own characters; -1 when there is none.
long LastSeparatorOf(const char* path)
{
    long last = -1;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') last = static_cast<long>(p - path);
    return last;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetupState& state = gSetup;
    state.instance = instance;
    InitCommonControls();
    // The shell's folder browser wants the thread's COM initialised. OLE is loaded by name, so the
    // program's imports stay within what every Windows 95 system has.
    HMODULE ole = LoadLibraryA("ole32.dll");
    typedef HRESULT(WINAPI * CoInitializeProc)(LPVOID);
    CoInitializeProc coInitialize =
        ole ? reinterpret_cast<CoInitializeProc>(reinterpret_cast<void*>(GetProcAddress(ole, "CoInitialize"))) : nullptr;
    if (coInitialize) coInitialize(nullptr);

    char program[kPathBytes];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return -1;
    long last = LastSeparatorOf(program);
    size_t folderLength = last < 0 ? 0 : static_cast<size_t>(last);
    memcpy(state.sourceFolder, program, folderLength);
    state.sourceFolder[folderLength] = '\0';
    UINT systemLength = GetSystemDirectoryA(state.systemFolder, sizeof state.systemFolder);
    if (systemLength == 0 || systemLength >= sizeof state.systemFolder) return -1;

    int result = 0;
    switch (ParseSetupCommandLine(GetCommandLineA(), program + last + 1)) {
    case SetupMode::Relocate:
        result = Relocate(state, program);
        break;
    case SetupMode::Uninstall:
        MessageBoxA(nullptr, "アンインストールを実行します.", "セットアップ", MB_OK);
        result = RunUninstaller(state, program);
        break;
    case SetupMode::Interactive:
        if (RunMainDialog(state) == -1) {
            MessageBoxA(nullptr, "セットアップの起動に失敗しました", state.caption, MB_OK);
            result = -1;
        }
        break;
    }
    if (coInitialize) {
        typedef void(WINAPI * CoUninitializeProc)();
        CoUninitializeProc coUninitialize =
            reinterpret_cast<CoUninitializeProc>(reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize")));
        if (coUninitialize) coUninitialize();
    }
    if (ole) FreeLibrary(ole);
    return result;
}
