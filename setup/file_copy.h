// Copying the copy list into the install folder (".SCR" files into the system folder) with progress.
#pragma once

#include "setup/setup_state.h"

// Progress controls of the copy dialog.
enum { kTotalBarId = 301, kFileBarId = 302, kFileNameId = 304 };
constexpr DWORD kCopyChunkBytes = 65536;

// Copies every record of state.copyList; 0 when all were copied (the pending folder lines are then
// written to the log), -1 on the first failure or when cancelRequested was set.
int RunCopyList(SetupState& state, HWND dialog);
// Copies a folder's content recursively; subfolders starting with "." are passed over.
int CopyFolderTree(SetupState& state, HWND dialog, const char* fromFolder, const char* toFolder);
// Copies one file with its times; an incomplete destination is deleted. The destination is logged.
int CopyOneFile(SetupState& state, HWND dialog, const char* source, const char* destination);
