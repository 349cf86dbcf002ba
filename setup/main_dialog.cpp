// Main dialog: reads the copy list and the installed state when it opens; its one button installs
// or uninstalls, the other quits.
#include "setup/main_dialog.h"

#include <cstdlib>

#include "setup/background.h"
#include "setup/copy_dialog.h"
#include "setup/copy_list.h"
#include "setup/copy_list_text.h"
#include "setup/folder_dialog.h"
#include "setup/registration.h"
#include "setup/resource.h"
#include "setup/uninstall_log.h"

namespace {

SetupState* Self(HWND dialog) { return reinterpret_cast<SetupState*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void Tell(SetupState& state, HWND dialog, const char* text) { MessageBoxA(dialog, text, state.caption, MB_OK); }

bool Ask(SetupState& state, HWND dialog, const char* text)
{
    return MessageBoxA(dialog, text, state.caption, MB_YESNO) == IDYES;
}

void EnableButtons(HWND dialog, BOOL enable)
{
    EnableWindow(GetDlgItem(dialog, IDC_INSTALL), enable);
    EnableWindow(GetDlgItem(dialog, IDC_QUIT), enable);
}

void FreeCopyList(SetupState& state)
{
    free(state.copyList);
    state.copyList = nullptr;
}

BOOL OnInit(HWND dialog, SetupState& state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    if (!LoadBackground(state.instance)) {
        MessageBoxA(nullptr, "リソースの取得に失敗しました.", "Setup", MB_ICONSTOP | MB_OK);
        ReleaseBackground();
        EndDialog(dialog, -1);
        return FALSE;
    }
    LoadCaption(state);
    state.installed = 0;
    if (ReadInstallPath(state) == 0) {
        state.installed = 1;
        SetDlgItemTextA(dialog, IDC_INSTALL, "アンインストール");
    }
    state.copyList = static_cast<char*>(malloc(kCopyListBytes));
    if (state.copyList == nullptr) {
        MessageBoxA(nullptr, "メモリが足りません!!", "Setup", MB_OK);
        EndDialog(dialog, -1);
        return FALSE;
    }
    if (ReadCopyList(state, state.sourceFolder, "setup.ini") != 0) {
        char text[kPathBytes + 64];
        snprintf(text, sizeof text, "%s\\setup.ini が見つかりません", state.sourceFolder);
        MessageBoxA(nullptr, text, "Setup", MB_OK);
        EndDialog(dialog, -1);
        FreeCopyList(state);
        return FALSE;
    }
    return FALSE;
}

void OnInstallButton(HWND dialog, SetupState& state)
{
    EnableButtons(dialog, FALSE);
    if (state.installed) {
        if (Ask(state, dialog, "アンインストールを実行してもよろしいですか？") && UninstallFromDialog(state, dialog) == 0) {
            state.installed = 0;
            SetDlgItemTextA(dialog, IDC_INSTALL, "インストール");
        }
    } else if (Ask(state, dialog, "インストールを実行してもよろしいですか？") && RunInstall(state, dialog) == 0) {
        state.installed = 1;
        SetDlgItemTextA(dialog, IDC_INSTALL, "アンインストール");
    }
    EnableButtons(dialog, TRUE);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) return OnInit(dialog, *reinterpret_cast<SetupState*>(lParam));
    SetupState* state = Self(dialog);
    if (state == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        PaintBackground(dc);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_CLOSE:
        if (Ask(*state, dialog, "終了してもよろしいですか？")) EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        FreeCopyList(*state);
        ReleaseBackground();
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_QUIT:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_INSTALL:
            OnInstallButton(dialog, *state);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

int RunInstall(SetupState& state, HWND dialog)
{
    INT_PTR folder = RunFolderDialog(state, dialog);
    if (folder == -1) {
        Tell(state, dialog, "ダイアログの作成に失敗しました。");
        return -1;
    }
    if (folder != 0) {
        Tell(state, dialog, "インストール作業を中断しました。");
        return 1;
    }
    // Anything but a complete copy abandons the installation, also a cancel before the copy began:
    // nothing may be registered for files that were never copied.
    if (RunCopyDialog(state, dialog) != 0) {
        Tell(state, dialog, "インストール作業を中断しました。");
        return 1;
    }
    if (WriteInstallPath(state) != 0 || WriteUninstallEntry(state) != 0) {
        Tell(state, dialog, "レジストリの設定でエラーが起こりました。");
        return 0;
    }
    ShowWindow(dialog, SW_SHOW);
    Tell(state, dialog,
         "インストールが完了しました。\n\nアンインストールはコントロールパネルのアプリケーションの追加と削除\n"
         "または、インストール元のセットアップから実行してください。");
    return 0;
}

int UninstallFromDialog(SetupState& state, HWND dialog)
{
    DeleteInstallPathKey(state);
    DeleteUninstallEntry(state);
    if (ReplayUninstallLog(state, state.installFolder) != 0)
        Tell(state, dialog, "アンインストールが失敗しました。");
    else
        Tell(state, dialog, "アンインストールが完了しました。");
    return 0;
}

INT_PTR RunMainDialog(SetupState& state)
{
    return DialogBoxParamA(state.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}
