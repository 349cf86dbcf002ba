// Relocation and the uninstaller run: while the copy in the system folder replays the log, no program
// file of the install folder is running, so the whole folder can go.
#include "setup/uninstaller.h"

#include <cstring>

#include "setup/delete_on_restart.h"
#include "setup/registration.h"
#include "setup/uninstall_log.h"

namespace {

const char kUninstallerName[] = "unithra.exe";

// Only the uninstaller copy, or the program inside the folder being removed, has itself deleted:
// "/x" given to the program on the install media must not delete the media's own file.
bool ShouldDeleteItself(const SetupState& state, const char* program)
{
    char copy[kPathBytes];
    char folder[kPathBytes];
    FolderOf(program, folder);
    return (JoinPath(copy, sizeof copy, state.systemFolder, kUninstallerName) == 0 && SamePathIgnoringCase(copy, program)) ||
           SamePathIgnoringCase(folder, state.installFolder);
}

}  // namespace

int Relocate(SetupState& state, const char* program)
{
    char target[kPathBytes];
    if (JoinPath(target, sizeof target, state.systemFolder, kUninstallerName) == 0) {
        CopyFileA(program, target, FALSE);
        // Quoted, so that a system folder with blanks still yields the switch as the argument text.
        char command[kPathBytes + 8];
        snprintf(command, sizeof command, "\"%s\" /x", target);
        SetCurrentDirectoryA(state.systemFolder);
        if (WinExec(command, SW_SHOWNORMAL) >= 32) return 0;
    }
    MessageBoxA(nullptr, "アンインストール用プログラムの起動に失敗しました。手動で削除してください。", nullptr,
                MB_ICONSTOP | MB_OK);
    return 0;
}

int RunUninstaller(SetupState& state, const char* program)
{
    LoadCaption(state);
    char caption[sizeof state.caption + 32];
    snprintf(caption, sizeof caption, "%s - アンインストール", state.caption);
    if (ReadInstallPath(state) != 0) {
        MessageBoxA(nullptr, "インストールされていません", caption, MB_ICONSTOP | MB_OK);
        return -1;
    }
    if (MessageBoxA(nullptr, "アンインストールを実行してもよろしいですか？", caption, MB_YESNO) != IDYES) return 1;
    DeleteInstallPathKey(state);
    DeleteUninstallEntry(state);
    if (ReplayUninstallLog(state, state.installFolder) != 0) {
        MessageBoxA(nullptr, "アンインストールに失敗しました。", caption, MB_OK);
        return 0;
    }
    if (ShouldDeleteItself(state, program)) ScheduleDeleteOnRestart(program);
    MessageBoxA(nullptr, "アンインストールに成功しました。", state.caption, MB_OK);
    return 0;
}
