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

// The shell's folder browser wants the thread's COM initialised. OLE is loaded by name, so the
// program's imports stay within what every Windows 95 system has.
struct Com {
    HMODULE ole = nullptr;
    bool initialised = false;
};

Com StartCom()
{
    Com com;
    com.ole = LoadLibraryA("ole32.dll");
    typedef HRESULT(WINAPI * CoInitializeProc)(LPVOID);
    CoInitializeProc coInitialize =
        com.ole ? reinterpret_cast<CoInitializeProc>(reinterpret_cast<void*>(GetProcAddress(com.ole, "CoInitialize")))
                : nullptr;
    com.initialised = coInitialize && SUCCEEDED(coInitialize(nullptr));
    return com;
}

void EndCom(const Com& com)
{
    typedef void(WINAPI * CoUninitializeProc)();
    if (com.initialised) {
        CoUninitializeProc coUninitialize =
            reinterpret_cast<CoUninitializeProc>(reinterpret_cast<void*>(GetProcAddress(com.ole, "CoUninitialize")));
        if (coUninitialize) coUninitialize();
    }
    if (com.ole) FreeLibrary(com.ole);
}

// program = the running file; sourceFolder = its folder; systemFolder. False when a path does not fit.
bool FindFolders(SetupState& state, char* program)
{
    DWORD length = GetModuleFileNameA(nullptr, program, kPathBytes);
    if (length == 0 || length >= kPathBytes) return false;
    long last = LastSeparatorOf(program);
    size_t folderLength = last < 0 ? 0 : static_cast<size_t>(last);
    memcpy(state.sourceFolder, program, folderLength);
    state.sourceFolder[folderLength] = '\0';
    UINT systemLength = GetSystemDirectoryA(state.systemFolder, sizeof state.systemFolder);
    return systemLength != 0 && systemLength < sizeof state.systemFolder;
}

int RunMode(SetupState& state, const char* program)
{
    const char* name = program + LastSeparatorOf(program) + 1;
    switch (ParseSetupCommandLine(GetCommandLineA(), name)) {
    case SetupMode::Relocate:
        return Relocate(state, program);
    case SetupMode::Uninstall:
        MessageBoxA(nullptr, "アンインストールを実行します.", "セットアップ", MB_OK);
        return RunUninstaller(state, program);
    case SetupMode::Interactive:
        break;
    }
    if (RunMainDialog(state) != -1) return 0;
    MessageBoxA(nullptr, "セットアップの起動に失敗しました", state.caption, MB_OK);
    return -1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetupState& state = gSetup;
    state.instance = instance;
    InitCommonControls();  // the copy dialog's progress bars
    Com com = StartCom();
    char program[kPathBytes];
    int result = FindFolders(state, program) ? RunMode(state, program) : -1;
    EndCom(com);
    return result;
}
