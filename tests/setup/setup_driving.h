// What the installer's Wine tests share: files and registry looked up, boxes answered, a clean machine.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include <string>
#include <vector>

#include "e2e.h"

namespace setup_driving {

inline const wchar_t kProduct[] = L"Ithraスクリーンセーバー";
inline const char kUserKey[] = "Software\\Varnel\\Ithra Saver";
inline const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ithraスクリーンセーバー";
inline const char kSessionKey[] = "System\\CurrentControlSet\\Control\\Session Manager";

using e2e::Wide;
using Strings = std::vector<std::string>;

inline std::string SystemFolder()
{
    char folder[MAX_PATH];
    return std::string(folder, GetSystemDirectoryA(folder, sizeof folder));
}

inline std::string DefaultFolder() { return SystemFolder().substr(0, 2) + "\\Program Files\\Varnel\\IthraSS"; }

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::string ReadText(const std::string& path)
{
    std::string bytes;
    return e2e::ReadFileBytes(path, &bytes) ? bytes : "<missing>";
}

inline std::string WininitPath() { return SystemFolder().substr(0, SystemFolder().rfind('\\')) + "\\WININIT.INI"; }

inline std::string RegistryString(HKEY root, const char* key, const char* name)  // a REG_SZ, or "<none>"
{
    char data[1024];
    DWORD size = sizeof data;
    return RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, data, &size) == 0 ? std::string(data) : "<none>";
}

inline bool KeyExists(HKEY root, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Deletions at restart, from the registry and "WININIT.INI" in the Windows folder, lower case.
inline std::string PendingDeletions()
{
    std::vector<char> bytes(65536);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionKey, "PendingFileRenameOperations", RRF_RT_ANY, nullptr, bytes.data(),
                     &size) != ERROR_SUCCESS)
        size = 0;
    std::string text = std::string(bytes.data(), size) + ReadText(WininitPath());
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// How long a step may wait for a window: once the test has failed, at most two seconds, so that a run
// that went wrong ends soon instead of waiting out every step after it.
inline DWORD Patience(DWORD ms) { return ::testing::Test::HasFailure() && ms > 2000 ? 2000 : ms; }

// Expects the next message box of process pid (any process when 0) to say "caption|text", so that any
// other box is named at once; answers it and waits until it is gone; returns the process that showed it.
inline DWORD Reply(DWORD pid, const std::wstring& captionAndText, int button)
{
    e2e::MessageBoxSeen box = e2e::FindMessageBox(pid, Patience(30000));
    EXPECT_EQ(box.caption + L"|" + box.text, captionAndText);
    DWORD shownBy = 0;
    if (box.window == nullptr) return 0;
    GetWindowThreadProcessId(box.window, &shownBy);
    e2e::Answer(box, button);
    EXPECT_TRUE(e2e::WaitGone(box.window, Patience(5000)));
    return shownBy;
}

// The dialog of process pid with this caption and control, or a message box that came up instead (which
// may carry the same caption) named. The bound allows for a program starting in the emulated PC.
inline HWND WaitForDialog(DWORD pid, const std::wstring& caption, int control)
{
    HWND dialog = e2e::FindDialog(caption, control, pid, Patience(30000));
    if (!dialog) ADD_FAILURE() << "no dialog \"" << caption << "\" but \"" << e2e::FindMessageBox(pid, 0).text << "\"";
    return dialog;
}

// Presses a button without waiting for what it opens.
inline void Press(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Each test starts on a machine without the product (neither key, nor its files in the system folder) and
// without deletions waiting for a restart. The Wine prefix is the build's own: nothing is put back after.
struct CleanMachine {
    CleanMachine()
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey);
        e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        for (const char* name : {"nimbra.scr", "unithra.exe"}) DeleteFileA((SystemFolder() + "\\" + name).c_str());
        DeleteFileA(WininitPath().c_str());
        SHDeleteValueA(HKEY_LOCAL_MACHINE, kSessionKey, "PendingFileRenameOperations");
    }
};

}  // namespace setup_driving
