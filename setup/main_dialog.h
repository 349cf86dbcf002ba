// The main dialog (template 1): the picture, the install/uninstall button and the quit button, with
// the install and uninstall sequences behind them.
#pragma once

#include "setup/setup_state.h"

// Modal, without owner. 0 when the user quits; -1 when it cannot start (picture, memory or copy list).
INT_PTR RunMainDialog(SetupState& state);

// Folder dialog, copy dialog, registry entries, closing message. 0 when the product counts as installed
// afterwards, 1 when the installation was abandoned, -1 when the folder dialog cannot be created.
int RunInstall(SetupState& state, HWND dialog);
// Registry entries, then the log replay, with the closing message. Always 0.
int UninstallFromDialog(SetupState& state, HWND dialog);
