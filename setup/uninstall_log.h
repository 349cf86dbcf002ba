// Recording what an installation creates in "undelete.ini", and undoing it from there.
#pragma once

#include "setup/setup_state.h"

// Creates (empties) "undelete.ini" in installFolder as a text stream; 0 or -1.
int OpenUninstallLog(SetupState& state);
void CloseUninstallLog(SetupState& state);
// A file line, when the log is open.
void RecordFile(SetupState& state, const char* path);
// A folder line: to the open log, or else into the pending table. -1 when memory ran out.
int RecordFolder(SetupState& state, const char* path);
// Writes the pending folder lines to the log in the order recorded and empties the table.
void FlushPendingFolders(SetupState& state);
// Deletes the files of the folder's log (never sourceFolder\setup.exe), the log, then the folders,
// last line first. 0 when the log was processed; -1 when it cannot be opened, or when the folder list
// could not be held in memory (the folders and the log then stay).
int ReplayUninstallLog(SetupState& state, const char* folder);
