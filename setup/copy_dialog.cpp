// Copy progress dialog: the copy starts a second after the dialog appears and runs inside its
// message handling; the message pump of the copy keeps it painted and lets a cancel arrive.
#include "setup/copy_dialog.h"

#include <commctrl.h>

#include "setup/file_copy.h"
#include "setup/resource.h"
#include "setup/uninstall_log.h"

namespace {

const UINT_PTR kStartTimer = 32767;
const UINT kStartDelayMs = 1000;
// After a complete copy the full bars stay in view for a moment, so that the user sees the end.
const UINT_PTR kShowDoneTimer = 32766;
const UINT kShowDoneMs = 500;

struct CopyDialog {
    SetupState* state;
    CopyBars bars;
    bool copying;
    bool done;
};

CopyDialog* Self(HWND dialog) { return reinterpret_cast<CopyDialog*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void StartCopying(HWND dialog, CopyDialog& self)
{
    SetupState& state = *self.state;
    // A cancel that came while the start was on its way: nothing is copied.
    if (state.cancelRequested) {
        EndDialog(dialog, -1);
        return;
    }
    if (OpenUninstallLog(state) != 0) {
        MessageBoxA(dialog, "アンインストール用のファイルが書き込めません!!", "COPY", MB_OK);
        EndDialog(dialog, -1);
        return;
    }
    self.copying = true;
    self.bars = BarsOf(dialog);
    int result = RunCopyList(state, self.bars);
    self.copying = false;
    CloseUninstallLog(state);
    if (result != 0) {
        EndDialog(dialog, -1);
        return;
    }
    self.done = true;
    SetTimer(dialog, kShowDoneTimer, kShowDoneMs, nullptr);
}

INT_PTR CALLBACK CopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        CopyDialog* self = reinterpret_cast<CopyDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->state->cancelRequested = 0;
        SendDlgItemMessageA(dialog, IDC_TOTAL_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(dialog, IDC_TOTAL_BAR, PBM_SETSTEP, 1, 0);
        SetTimer(dialog, kStartTimer, kStartDelayMs, nullptr);
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == kStartTimer) {
            KillTimer(dialog, kStartTimer);
            PostMessageA(dialog, kStartCopyingMessage, 0, 0);
            return TRUE;
        }
        if (wParam == kShowDoneTimer) {
            KillTimer(dialog, kShowDoneTimer);
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case kStartCopyingMessage: {
        CopyDialog* self = Self(dialog);
        if (self && !self->copying && !self->done) StartCopying(dialog, *self);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            CopyDialog* self = Self(dialog);
            // Once everything is copied there is nothing left to cancel.
            if (self == nullptr || self->done) return TRUE;
            self->state->cancelRequested = 1;
            KillTimer(dialog, kStartTimer);
            // During the copy the copy routine sees the flag and the dialog then ends with -1.
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR RunCopyDialog(SetupState& state, HWND owner)
{
    CopyDialog self{&state, CopyBars(), false, false};
    return DialogBoxParamA(state.instance, MAKEINTRESOURCEA(IDD_COPY), owner, CopyDialogProc,
                           reinterpret_cast<LPARAM>(&self));
}
