// Settings dialog: shows "Fit Screen" in its checkbox; OK stores it with the slide folder.
#include "saver/config_dialog.h"

#include "saver/resource.h"
#include "saver/saver_entry.h"
#include "saver/settings.h"

namespace {

void OnOk(HWND dialog)
{
    saverSettings->fitScreen = IsDlgButtonChecked(dialog, IDC_FIT_SCREEN) == BST_CHECKED ? 1 : 0;
    saverSettings->WriteSettings();
    EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // The show stretches for any non-zero value, so any non-zero value shows ticked.
        CheckDlgButton(dialog, IDC_FIT_SCREEN, saverSettings->fitScreen != 0 ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnOk(dialog); break;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
        default: break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
