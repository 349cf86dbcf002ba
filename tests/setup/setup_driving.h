// What the installer's tests under Wine share: files, registry values and deletions at restart looked
// up, message boxes answered, setup.exe's dialogs driven, and the machine put back as it was.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "e2e.h"

namespace setup_driving {

extern const wchar_t kProduct[];
extern const char kUserKey[];
extern const char kUninstallKey[];

std::wstring Wide(const std::string& cp932);
std::string SystemFolder();
std::string DefaultFolder();  // <Windows drive>\Program Files\Varnel\IthraSS
bool Exists(const std::string& path);
std::string ReadText(const std::string& path);  // "<missing>" when it cannot be read
std::string RegistryString(HKEY root, const char* key, const char* name);  // a REG_SZ, or "<none>"
bool KeyExists(HKEY root, const char* key);
std::string PendingDeletions();  // deletions at restart, from the registry and "WININIT.INI", lower case

// Expects the next message box of process pid (any process when 0) to say "caption|text", answers
// it and waits until it is gone; returns the process that showed it (0 when none came).
DWORD Reply(DWORD pid, const std::wstring& captionAndText, int button);
HWND WaitDialog(DWORD pid, const std::wstring& caption);  // not a message box; null after 10 s
bool BoxShown(DWORD pid);                                  // a message box of pid is up
void SetText(HWND dialog, int id, const std::wstring& text);
void Press(HWND dialog, int id);  // without waiting for what it opens

// Keeps both registry keys, the default folder's parent, the product's files in the system folder
// and the deletions at restart as they were; ends the processes it was given.
class MachineGuard {
public:
    MachineGuard();
    ~MachineGuard();
    void EndWithTest(DWORD pid);

private:
    e2e::RegistrySnapshot user_, uninstall_;
    std::string pending_;
    bool pendingExisted_ = false, parentExisted_ = false;
    std::vector<HANDLE> processes_;
};

}  // namespace setup_driving
