// Registry settings of the saver and the small operations the saver window performs on the record.
#include "saver/settings.h"

#include <cstring>

char slideFolder[MAX_PATH];

const char kSystemSaverKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
const char kSaverKey[] = "Software\\Varnel\\Ithra Saver";

namespace {

// Reads up to 4 bytes whatever the stored type; false when missing or longer than 4 bytes.
bool QueryDword(HKEY key, const char* name, DWORD* out)
{
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        return false;
    *out = data;
    return true;
}

// Reads a string value into a MAX_PATH buffer; false when missing, too long or not terminated.
// The whole buffer is zero past the string either way.
bool QueryPath(HKEY key, const char* name, char* out)
{
    char data[MAX_PATH] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return false;
    if (memchr(data, '\0', size < sizeof data ? size + 1 : sizeof data) == nullptr) return false;
    memcpy(out, data, sizeof data);
    return true;
}

}  // namespace

TSaverSettings::TSaverSettings()
    : window(nullptr), passwordDelay(0), mouseThreshold(0), muteSound(0), cursorOrigin(), startTick(0),
      reserved(0), passwordActive(0), closeRequested(0), fitScreen(0), viewRect(), showPhase(0),
      holdTicks(0), transitionStep(nullptr)
{
}

void TSaverSettings::ReadSystemSettings()
{
    passwordDelay = 15;
    mouseThreshold = 50;
    passwordActive = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSystemSaverKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    DWORD value;
    if (QueryDword(key, "Password Delay", &value)) passwordDelay = value;
    if (QueryDword(key, "Mouse Threshold", &value)) mouseThreshold = static_cast<int>(value);
    if (QueryDword(key, "Mute Sound", &value)) muteSound = value;
    RegCloseKey(key);
}

void TSaverSettings::ReadSettings()
{
    fitScreen = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSaverKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    DWORD value;
    if (QueryDword(key, "Fit Screen", &value)) fitScreen = value;
    if (!QueryPath(key, "Path", slideFolder)) {
        memset(slideFolder, 0, sizeof slideFolder);
        DWORD length = GetCurrentDirectoryA(sizeof slideFolder, slideFolder);
        if (length == 0 || length >= sizeof slideFolder) memset(slideFolder, 0, sizeof slideFolder);
    }
    RegCloseKey(key);
}

void TSaverSettings::WriteSettings()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSaverKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD fit = fitScreen;
    RegSetValueExA(key, "Fit Screen", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&fit), sizeof fit);
    // The whole buffer, as the installer writes it: the bytes past the string are always zero.
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(slideFolder), sizeof slideFolder);
    RegCloseKey(key);
}

void TSaverSettings::RequestClose()
{
    closeRequested = 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
}

void TSaverSettings::BeginPasswordCheck()
{
    passwordActive = 1;
    SendMessageA(window, WM_SETCURSOR, 0, 0);
}

void TSaverSettings::EndPasswordCheck()
{
    passwordActive = 0;
    SendMessageA(window, WM_SETCURSOR, 0, 0);
    GetCursorPos(&cursorOrigin);
}

void TSaverSettings::SetViewRect(int x, int y, int width, int height)
{
    viewRect.x = x;
    viewRect.y = y;
    viewRect.width = width;
    viewRect.height = height;
}
