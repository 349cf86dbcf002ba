// The install folder dialog (template 2): proposes the default folder, shows the space needed, lets
// the user type or browse, completes the path with the product's folder name and creates it.
#pragma once

#include "setup/setup_state.h"

// The default folder (kPathBytes): the Windows folder's drive, string 1000, string 1004.
int DefaultInstallFolder(SetupState& state, char* folder);

// Modal, owned by owner. 0 when state.installFolder names an existing folder (the folders created
// for it wait in the pending table), 1 when the user cancelled, -1 when the dialog cannot be created.
INT_PTR RunFolderDialog(SetupState& state, HWND owner);
