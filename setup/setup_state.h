// The installer's one process-wide state: folders, caption, the copy list, the open uninstall log,
// the cancel flag, byte totals and the folders created before the log was open.
#pragma once

#include <windows.h>

#include <cstdio>

#include "setup/cp932_path.h"
#include "setup/grow_buffer.h"

struct SetupState {
    HINSTANCE instance;
    char sourceFolder[kPathBytes];   // folder of the running program file
    char installFolder[kPathBytes];
    char systemFolder[kPathBytes];
    char caption[80];                // string 1001
    int installed;
    char* copyList;                  // kCopyListBytes, owned by the main dialog
    FILE* logFile;                   // the open "undelete.ini", or null
    volatile LONG cancelRequested;
    // 64-bit: a list may hold more than 2 GB, and a signed 32-bit sum would overflow.
    long long totalBytes;
    long long copiedBytes;
    // Complete folder lines ("+ path\n") recorded while no log was open; grows as needed.
    GrowBuffer pendingFolders;
};

extern SetupState gSetup;

// A string resource of the program whole: -1 when it is missing or does not fit (LoadStringA would
// cut it, and a cut key or folder name names another one).
int LoadText(const SetupState& state, UINT id, char* out, int size);
// caption = string 1001, empty when it cannot be loaded.
void LoadCaption(SetupState& state);

// Empties the pending folder table (the install-folder dialog does this when it opens).
void ResetPendingFolders(SetupState& state);
