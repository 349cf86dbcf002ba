// Install folder selection: default, typed or browsed folder, completion, confirmation, creation.
#include "setup/folder_dialog.h"

#include <shlobj.h>

#include <cstring>

#include "setup/folder_chain.h"
#include "setup/install_folder_text.h"
#include "setup/resource.h"

namespace {

SetupState* Self(HWND dialog) { return reinterpret_cast<SetupState*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void EnableButtons(HWND dialog, BOOL enable)
{
    EnableWindow(GetDlgItem(dialog, IDOK), enable);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), enable);
}

// Back to the default folder, ready for the user again.
void Reset(HWND dialog, SetupState& state)
{
    if (DefaultInstallFolder(state, state.installFolder) != 0) state.installFolder[0] = '\0';
    SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, state.installFolder);
    EnableButtons(dialog, TRUE);
}

void ShowInvalid(HWND dialog, const char* typed, const char* fallback)
{
    char text[3 * kPathBytes + 256];
    snprintf(text, sizeof text,
             "指定されたフォルダー :\n\n   %s\n\nは、無効です。もう一度やりなおしてください。\n例えば\n\n   %s", typed,
             fallback);
    MessageBoxA(dialog, text, "Setup error", MB_ICONEXCLAMATION | MB_OK);
}

void OnOk(HWND dialog, SetupState& state)
{
    EnableButtons(dialog, FALSE);
    char typed[kPathBytes] = {};
    GetDlgItemTextA(dialog, IDC_FOLDER_EDIT, typed, sizeof typed);
    char fallback[kPathBytes];
    if (DefaultInstallFolder(state, fallback) != 0) fallback[0] = '\0';
    char product[kPathBytes];
    memcpy(state.installFolder, typed, sizeof typed);
    // Empty, or too long to take the product's folder name: the same answer, since neither can be used.
    if (typed[0] == '\0' || LoadText(state, IDS_PRODUCT_FOLDER, product, sizeof product) != 0 ||
        CompleteInstallFolder(state.installFolder, sizeof state.installFolder, product) != 0) {
        ShowInvalid(dialog, typed, fallback);
        Reset(dialog, state);
        return;
    }
    char question[kPathBytes + 128];
    snprintf(question, sizeof question, "%s にインストールします。よろしいですか？", state.installFolder);
    if (MessageBoxA(dialog, question, "確認", MB_ICONQUESTION | MB_YESNO) != IDYES) {
        EnableButtons(dialog, TRUE);
        return;
    }
    if (MakeFolderChain(state, state.installFolder, kPathIsFolder | kConfirmCreate) == 0) {
        EndDialog(dialog, 0);
        return;
    }
    Reset(dialog, state);
}

void OnBrowse(HWND dialog, SetupState& state)
{
    char displayName[MAX_PATH];
    BROWSEINFOA browse{};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = displayName;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (chosen == nullptr) return;
    char folder[MAX_PATH];
    char product[kPathBytes];
    char path[kPathBytes];
    if (SHGetPathFromIDListA(chosen, folder) && LoadText(state, IDS_PRODUCT_FOLDER, product, sizeof product) == 0 &&
        JoinPath(path, sizeof path, folder, product) == 0)
        SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(chosen);
        allocator->Release();
    }
}

INT_PTR CALLBACK FolderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetupState& state = *reinterpret_cast<SetupState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ResetPendingFolders(state);
        SendDlgItemMessageA(dialog, IDC_FOLDER_EDIT, EM_LIMITTEXT, kPathBytes, 0);
        if (DefaultInstallFolder(state, state.installFolder) != 0) state.installFolder[0] = '\0';
        char space[256];
        FormatSpaceNeeded(space, sizeof space, state.totalBytes);
        SetDlgItemTextA(dialog, IDC_SPACE_TEXT, space);
        HWND edit = GetDlgItem(dialog, IDC_FOLDER_EDIT);
        SetWindowTextA(edit, state.installFolder);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
        // The focus was set here, so the dialog manager must not move it.
        return FALSE;
    }
    case WM_COMMAND: {
        SetupState* state = Self(dialog);
        if (state == nullptr) return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog, *state);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_BROWSE:
            OnBrowse(dialog, *state);
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

}  // namespace

int DefaultInstallFolder(SetupState& state, char* folder)
{
    char windows[kPathBytes];
    char parent[kPathBytes];
    char product[kPathBytes];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows || LoadText(state, IDS_PARENT_FOLDER, parent, sizeof parent) != 0 ||
        LoadText(state, IDS_PRODUCT_FOLDER, product, sizeof product) != 0)
        return -1;
    return DefaultInstallFolderText(folder, kPathBytes, windows, parent, product);
}

INT_PTR RunFolderDialog(SetupState& state, HWND owner)
{
    return DialogBoxParamA(state.instance, MAKEINTRESOURCEA(IDD_FOLDER), owner, FolderDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}
