// Registry entries of an installation.
#include "setup/registration.h"

#include <cstring>

#include "setup/resource.h"

namespace {

const char kUserBase[] = "software";
const char kUninstallBase[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

int LoadText(SetupState& state, UINT id, char* out, int size)
{
    int length = LoadStringA(state.instance, id, out, size);
    // LoadStringA cuts a string that does not fit; a cut key name would name another key.
    return length > 0 && length < size - 1 ? 0 : -1;
}

int JoinKeyName(SetupState& state, const char* base, UINT id, char* out, size_t size)
{
    char tail[kPathBytes];
    if (LoadText(state, id, tail, sizeof tail) != 0) return -1;
    bool slash = tail[0] != '\\';
    size_t total = strlen(base) + (slash ? 1 : 0) + strlen(tail);
    if (total >= size) return -1;
    snprintf(out, size, "%s%s%s", base, slash ? "\\" : "", tail);
    return 0;
}

bool SetString(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1)) ==
           ERROR_SUCCESS;
}

// RegDeleteKey on the NT family refuses a key that still has subkeys, so those go first.
bool DeleteTree(HKEY root, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, name, 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS) {
        char child[256];
        DWORD length = sizeof child;
        while (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            if (!DeleteTree(key, child)) break;
            length = sizeof child;
        }
        RegCloseKey(key);
    }
    return RegDeleteKeyA(root, name) == ERROR_SUCCESS;
}

// Creates or opens the key, sets both values in order; a key left half-written is deleted.
int WriteTwoValues(HKEY root, const char* keyName, const char* name1, const char* value1, const char* name2,
                   const char* value2)
{
    HKEY key;
    if (RegCreateKeyExA(root, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return -1;
    bool ok = SetString(key, name1, value1) && SetString(key, name2, value2);
    RegCloseKey(key);
    if (ok) return 0;
    DeleteTree(root, keyName);
    return -1;
}

}  // namespace

int UserKeyName(SetupState& state, char* out, size_t size)
{
    return JoinKeyName(state, kUserBase, IDS_USER_KEY, out, size);
}

int UninstallKeyName(SetupState& state, char* out, size_t size)
{
    return JoinKeyName(state, kUninstallBase, IDS_UNINSTALL_KEY, out, size);
}

int ReadInstallPath(SetupState& state)
{
    char keyName[512];
    if (UserKeyName(state, keyName, sizeof keyName) != 0) return -1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    char data[kPathBytes] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    // The stored value need not end in a zero byte; one that fills the buffer without one is too long.
    if (result != ERROR_SUCCESS || type != REG_SZ) return -1;
    if (size >= sizeof data && memchr(data, '\0', sizeof data) == nullptr) return -1;
    // An empty folder would make an uninstall read and delete relative to the current folder.
    if (data[0] == '\0') return -1;
    memcpy(state.installFolder, data, sizeof data);
    return 0;
}

int WriteInstallPath(SetupState& state)
{
    char keyName[512];
    if (UserKeyName(state, keyName, sizeof keyName) != 0) return -1;
    return WriteTwoValues(HKEY_CURRENT_USER, keyName, "Path", state.installFolder, "SetupPath", state.sourceFolder);
}

int WriteUninstallEntry(SetupState& state)
{
    char keyName[512];
    char displayName[kPathBytes];
    if (UninstallKeyName(state, keyName, sizeof keyName) != 0 ||
        LoadText(state, IDS_PRODUCT_NAME, displayName, sizeof displayName) != 0)
        return -1;
    // The command may be longer than a path buffer; it is only ever a registry value.
    char command[kPathBytes + 32];
    if (JoinPath(command, sizeof command, state.installFolder, "setup.exe /r") != 0) return -1;
    return WriteTwoValues(HKEY_LOCAL_MACHINE, keyName, "DisplayName", displayName, "UninstallString", command);
}

int DeleteInstallPathKey(SetupState& state)
{
    char keyName[512];
    if (UserKeyName(state, keyName, sizeof keyName) == 0) DeleteTree(HKEY_CURRENT_USER, keyName);
    return 0;
}

int DeleteUninstallEntry(SetupState& state)
{
    char keyName[512];
    if (UninstallKeyName(state, keyName, sizeof keyName) == 0) DeleteTree(HKEY_LOCAL_MACHINE, keyName);
    return 0;
}
