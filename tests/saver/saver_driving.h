// Driving the real nimbra.scr in end-to-end tests: its command line, a slide folder of test
// pictures, and input the way a person gives it.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e.h"
#include "test_pictures.h"

namespace saver_driving {

const char kSystemKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
const char kSaverKey[] = "Software\\Varnel\\Ithra Saver";

// A slide folder of plain test pictures, set as the saver's "Path" for as long as it lives.
class TestShow {
public:
    TestShow() : snapshot_(HKEY_CURRENT_USER, kSaverKey)
    {
        for (int n = 1; n <= 15; ++n) {
            char name[32];
            snprintf(name, sizeof name, "slide_%02d.qjx", n);
            uint32_t colour = test_pictures::SlideColour(n);
            test_pictures::WriteBmp(folder_.File(name), 640, 480, [colour](int, int) { return colour; });
        }
        test_pictures::WriteMask(folder_.File("tile.bmp"));
        SetPath(folder_.Path());
        SetFitScreen(0);
    }
    static void SetFitScreen(DWORD fit)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSaverKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExA(key, "Fit Screen", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&fit), sizeof fit);
        RegCloseKey(key);
    }
    static void SetPath(const std::string& path)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSaverKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
    }

private:
    e2e::RegistrySnapshot snapshot_;
    e2e::TempFolder folder_;
};

inline void SetDword(const char* keyName, const char* name, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

inline void SetString(const char* keyName, const char* name, const char* value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(key);
}

inline std::string SaverCommand(const std::string& arguments)
{
    return "\"" + e2e::BesideTest("nimbra.scr") + "\" " + arguments;
}

inline HWND FindSaverWindow(DWORD pid)
{
    return e2e::FindWindowByCaption(L"SaverWindow", pid, 10000);
}

inline void MouseNudge()
{
    // A relative move of nothing: the saver sees a WM_MOUSEMOVE and reads where the cursor really is.
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

inline void MoveCursorTo(int x, int y)
{
    SetCursorPos(x, y);
    MouseNudge();
}

// The cursor shown after moving it to (x, y): null when it is hidden there.
inline HCURSOR CursorAt(int x, int y)
{
    MoveCursorTo(x, y);
    Sleep(100);
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    return GetCursorInfo(&cursor) ? cursor.hCursor : reinterpret_cast<HCURSOR>(-1);
}

inline void PressKey(WORD key)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

inline void ClickMouse()
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1] = inputs[0];
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

}  // namespace saver_driving
