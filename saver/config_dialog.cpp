// Settings dialog: shows "Fit Screen" in its checkbox; OK stores it with the slide folder.
#include "saver/config_dialog.h"

#include "saver/resource.h"
#include "saver/settings.h"

namespace {

TSaverSettings* Self(HWND dialog)
{
    return reinterpret_cast<TSaverSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnOk(HWND dialog, TSaverSettings& settings)
{
    settings.fitScreen = IsDlgButtonChecked(dialog, IDC_FIT_SCREEN) == BST_CHECKED ? 1 : 0;
    settings.WriteSettings();
    EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        // The show stretches for any non-zero value, so any non-zero value shows ticked.
        const TSaverSettings& settings = *reinterpret_cast<const TSaverSettings*>(lParam);
        CheckDlgButton(dialog, IDC_FIT_SCREEN, settings.fitScreen != 0 ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (TSaverSettings* settings = Self(dialog)) OnOk(dialog, *settings);
            break;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
        default: break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
