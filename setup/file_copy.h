// Copying the copy list into the install folder (".SCR" files into the system folder) with progress.
#pragma once

#include "setup/setup_state.h"

// Largest read and write of a copy. Larger blocks would be mapped and unmapped by the heap for each
// file; this one is reused from file to file.
constexpr DWORD kCopyChunkBytes = 256 * 1024;

// The copy dialog's progress controls, the progress of the file being copied and what was last shown;
// null controls show nothing.
struct CopyBars {
    HWND total = nullptr;
    HWND file = nullptr;
    HWND name = nullptr;  // the destination path being copied
    char fileName[kPathBytes] = {};
    bool nameChanged = false;
    long long fileSize = 0;
    long long fileDone = 0;
    bool shown = false;      // anything shown yet in this run
    bool nameShown = false;  // a file's name shown yet in this run
    DWORD shownTick = 0;
    int totalPosition = -1;
    int filePosition = -1;
};
// The controls of the copy dialog (none for a null dialog).
CopyBars BarsOf(HWND dialog);

// Copies every record of state.copyList; 0 when all were copied (the pending folder lines are then
// written to the log), -1 on the first failure or when cancelRequested was set.
int RunCopyList(SetupState& state, CopyBars& bars);
// Copies a folder's content recursively; subfolders starting with "." are passed over.
int CopyFolderTree(SetupState& state, CopyBars& bars, const char* fromFolder, const char* toFolder);
// Copies one file with its times. An existing destination is replaced only by a complete copy made
// beside it, so a failed, cancelled or out-of-space copy leaves it as it was (where no name for that
// copy can be had, the file is copied in place); an incomplete new destination is deleted. The
// destination is logged.
int CopyOneFile(SetupState& state, CopyBars& bars, const char* source, const char* destination);
