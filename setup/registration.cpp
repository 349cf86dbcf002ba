// Registry entries of an installation.
#include "setup/registration.h"

#include <cstring>

#include "setup/resource.h"

namespace {

const char kUserBase[] = "software";
const char kUninstallBase[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

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

// The outermost key along keyName that does not exist yet (its name's length), or 0 when the whole
// path exists: what creating keyName would add, and so what a failed write may take away again.
size_t FirstMissingKey(HKEY root, const char* keyName)
{
    char prefix[512];
    size_t length = strlen(keyName);
    if (length >= sizeof prefix) return 0;
    // Walked by whole characters: a trail byte 0x5C ends no key name.
    for (size_t end = Cp932CharLength(keyName); end <= length; end += end < length ? Cp932CharLength(keyName + end) : 1) {
        if (end < length && keyName[end] != '\\') continue;
        memcpy(prefix, keyName, end);
        prefix[end] = '\0';
        HKEY key;
        if (RegOpenKeyExA(root, prefix, 0, KEY_READ, &key) != ERROR_SUCCESS) return end;
        RegCloseKey(key);
    }
    return 0;
}

// A value as it was before the installer wrote it, to be put back if the registration fails.
struct SavedValue {
    const char* name;
    bool existed;
    DWORD type;
    DWORD size;
    BYTE data[kPathBytes * 2];
};

// False when the value cannot be kept for putting back (too large for the record).
bool SaveValue(HKEY key, const char* name, SavedValue& saved)
{
    saved.name = name;
    saved.size = sizeof saved.data;
    LONG result = RegQueryValueExA(key, name, nullptr, &saved.type, saved.data, &saved.size);
    saved.existed = result == ERROR_SUCCESS;
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void RestoreValue(HKEY key, const SavedValue& saved)
{
    if (saved.existed)
        RegSetValueExA(key, saved.name, 0, saved.type, saved.data, saved.size);
    else
        RegDeleteValueA(key, saved.name);
}

}  // namespace

// The key may be the saver's settings key with the user's own values in it, so a failure undoes only
// this call's work: the keys it created, or else the values it changed.
int WriteRegistryValues(HKEY root, const char* keyName, const RegistryValue* values, int count)
{
    SavedValue saved[2];
    if (count < 0 || count > 2) return -1;
    size_t missing = FirstMissingKey(root, keyName);
    HKEY key;
    const bool opened = RegCreateKeyExA(root, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                        nullptr, &key, nullptr) == ERROR_SUCCESS;
    bool ok = opened;
    int savedCount = 0;
    for (int i = 0; ok && i < count; ++i) {
        ok = SaveValue(key, values[i].name, saved[i]);
        if (ok) savedCount = i + 1;
        ok = ok && SetString(key, values[i].name, values[i].text);
    }
    if (!ok && missing == 0)
        for (int i = savedCount - 1; i >= 0; --i) RestoreValue(key, saved[i]);
    if (opened) RegCloseKey(key);
    if (ok) return 0;
    if (missing != 0) {
        char created[512];
        memcpy(created, keyName, missing);
        created[missing] = '\0';
        DeleteTree(root, created);
    }
    return -1;
}

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
    const RegistryValue values[] = {{"Path", state.installFolder}, {"SetupPath", state.sourceFolder}};
    return WriteRegistryValues(HKEY_CURRENT_USER, keyName, values, 2);
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
    const RegistryValue values[] = {{"DisplayName", displayName}, {"UninstallString", command}};
    return WriteRegistryValues(HKEY_LOCAL_MACHINE, keyName, values, 2);
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
