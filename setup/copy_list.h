// Reading the copy list "setup.ini" into SetupState.copyList and summing the bytes it names.
#pragma once

#include "setup/setup_state.h"

// Fills state.copyList (kCopyListBytes) and state.totalBytes. -1 when the file cannot be opened
// (silently) or an entry is missing, unusable or does not fit (after a message box saying which).
int ReadCopyList(SetupState& state, const char* sourceFolder, const char* listName);
// Starts a search over every entry of folder (the "." ones too); INVALID_HANDLE_VALUE when the folder's
// pattern does not fit a path or the folder cannot be read. Counting and copying a tree both walk it so.
HANDLE FindFolderEntries(const char* folder, WIN32_FIND_DATAA* found);
// Adds the sizes of every file below folder, through all subfolders not starting with ".".
int CountFolderFiles(SetupState& state, const char* folder);
