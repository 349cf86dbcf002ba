// The copy progress dialog (template 3): opens the uninstall log, runs the copy list, shows progress.
#pragma once

#include "setup/setup_state.h"

// Private message that starts the copy once the dialog has been shown.
constexpr UINT kStartCopyingMessage = WM_USER + 1000;

// Modal, owned by owner. 0 when every entry was copied; -1 when the log cannot be created, a copy
// failed or the run was cancelled; 1 when cancelled before the copy began.
INT_PTR RunCopyDialog(SetupState& state, HWND owner);
