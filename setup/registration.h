// The installer's registry entries: the per-user key with the install folder (which is also the
// saver's settings key and the installed marker) and the entry in Windows' list of installed programs.
#pragma once

#include "setup/setup_state.h"

// Each returns 0 on success and -1 on failure.
// Reads "Path" into installFolder; 0 only when it is a non-empty REG_SZ that fits a path buffer.
int ReadInstallPath(SetupState& state);
// "Path" = installFolder, "SetupPath" = sourceFolder; a half-written key is deleted again.
int WriteInstallPath(SetupState& state);
// "DisplayName" = string 1001, "UninstallString" = installFolder\setup.exe /r.
int WriteUninstallEntry(SetupState& state);
// Both delete their key with everything in it (the saver's settings too) and always return 0.
int DeleteInstallPathKey(SetupState& state);
int DeleteUninstallEntry(SetupState& state);

// Key names: base, a backslash unless the resource string begins with one, the resource string.
int UserKeyName(SetupState& state, char* out, size_t size);
int UninstallKeyName(SetupState& state, char* out, size_t size);
