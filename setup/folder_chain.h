// Creating the missing folders along a path, each one recorded in the uninstall log.
#pragma once

#include "setup/setup_state.h"

enum FolderChainFlags {
    kPathIsFolder = 1,   // the whole path is a folder; without it the last component is a file name
    kConfirmCreate = 8,  // ask before creating the first missing folder
};

// 0 when every folder of the path exists afterwards; -1 when the path is refused, the user says No,
// or a folder cannot be created (those created before stay, and stay recorded).
int MakeFolderChain(SetupState& state, const char* path, int flags);
