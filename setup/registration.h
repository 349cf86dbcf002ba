// The installer's registry entries: the per-user key with the install folder (which is also the
// saver's settings key and the installed marker) and the entry in Windows' list of installed programs.
#pragma once

#include "setup/setup_state.h"

// Each returns 0 on success and -1 on failure.
// Reads "Path" into installFolder; 0 only when it is a non-empty REG_SZ that fits a path buffer.
int ReadInstallPath(SetupState& state);
// "Path" = installFolder, "SetupPath" = sourceFolder.
int WriteInstallPath(SetupState& state);
// "DisplayName" = string 1001, "UninstallString" = installFolder\setup.exe /r.
int WriteUninstallEntry(SetupState& state);
// Both delete their key with everything in it (the saver's settings too) and always return 0.
int DeleteInstallPathKey(SetupState& state);
int DeleteUninstallEntry(SetupState& state);

struct RegistryValue {
    const char* name;
    const char* text;  // written as REG_SZ
};
// Creates or opens the key and sets up to two values in order. On a failure it takes back only what
// it did itself: the keys it created, or else the values it set (put back as they were); -1.
int WriteRegistryValues(HKEY root, const char* keyName, const RegistryValue* values, int count);

// Key names: base, a backslash unless the resource string begins with one, the resource string.
int UserKeyName(SetupState& state, char* out, size_t size);
int UninstallKeyName(SetupState& state, char* out, size_t size);
