// setup.exe: the interactive installer, the relocation step ("/r") and the uninstaller run ("/x").
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "setup/cp932_path.h"
#include "setup/main_dialog.h"
#include "setup/setup_command_line.h"
#include "setup/setup_state.h"
#include "setup/uninstaller.h"

namespace {

// A function of a library loaded by name, as the type the caller calls it through; null when missing.
template <typename Proc> Proc FindProc(HMODULE library, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
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
    CoInitializeProc coInitialize = com.ole ? FindProc<CoInitializeProc>(com.ole, "CoInitialize") : nullptr;
    com.initialised = coInitialize && SUCCEEDED(coInitialize(nullptr));
    return com;
}

void EndCom(const Com& com)
{
    typedef void(WINAPI * CoUninitializeProc)();
    if (com.initialised) {
        CoUninitializeProc coUninitialize = FindProc<CoUninitializeProc>(com.ole, "CoUninitialize");
        if (coUninitialize) coUninitialize();
    }
    if (com.ole) FreeLibrary(com.ole);
}

// program = the running file; sourceFolder = its folder; systemFolder. False when a path does not fit.
bool FindFolders(SetupState& state, char* program)
{
    DWORD length = GetModuleFileNameA(nullptr, program, kPathBytes);
    if (length == 0 || length >= kPathBytes) return false;
    FolderOf(program, state.sourceFolder);
    UINT systemLength = GetSystemDirectoryA(state.systemFolder, sizeof state.systemFolder);
    return systemLength != 0 && systemLength < sizeof state.systemFolder;
}

int RunMode(SetupState& state, const char* program)
{
    const char* name = program + LastSeparator(program) + 1;
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
