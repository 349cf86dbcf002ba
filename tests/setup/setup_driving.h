// Driving the real setup.exe in end-to-end tests, and the file and registry look-ups the installer
// tests share: the install media, the installer's windows and message boxes, the machine put back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "e2e.h"

namespace setup_driving {

extern const wchar_t kMainCaption[];
extern const wchar_t kProduct[];
extern const char kUserKey[];
extern const char kUninstallKey[];

std::wstring Wide(const std::string& cp932);
std::string MediaFolder();
std::string SystemFolder();
std::string DefaultFolder();  // <Windows drive>\Program Files\Varnel\IthraSS
bool Exists(const std::string& path);
std::string ReadText(const std::string& path);  // "<missing>" when it cannot be read
std::vector<std::string> ListEntries(const std::string& listPath);
std::string RegistryString(HKEY root, const char* key, const char* name);  // a REG_SZ, or "<none>"
bool KeyExists(HKEY root, const char* key);
// The file system's list of deletions at restart and "WININIT.INI", in lower case.
std::string PendingDeletions();

// A message box of process pid (any process when 0) with this caption; null window when none came.
e2e::MessageBoxSeen WaitBox(DWORD pid, const std::wstring& caption, DWORD timeoutMs = 10000);
// Expects a box with this caption and text, answers it and waits until it is gone.
void Reply(DWORD pid, const std::wstring& caption, const std::wstring& text, int button);
// A dialog (not a message box) of pid with this caption.
HWND WaitDialog(DWORD pid, const std::wstring& caption, DWORD timeoutMs = 10000);
// Presses a button without waiting for what it starts (it may open modal windows).
void Press(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::wstring& text);

// Highest positions seen on the copy dialog's bars while it was up.
struct CopySeen {
    int total = -1;
    int file = -1;
};
CopySeen WatchCopy(DWORD pid);

// Keeps the test machine as it was: both registry keys, the default folder's parent, the system
// folder's files of the product, and the file system's list of deletions at restart.
class MachineGuard {
public:
    MachineGuard();
    ~MachineGuard();

private:
    e2e::RegistrySnapshot user_;
    e2e::RegistrySnapshot uninstall_;
    std::vector<BYTE> pending_;
    bool pendingExisted_ = false;
    bool parentExisted_ = false;
};

// A running setup.exe with its main dialog.
class Installer {
public:
    bool Start(const std::string& program);
    DWORD Id() const { return process_.Id(); }
    HWND Main() const { return main_; }
    std::wstring Button() const { return e2e::ControlText(main_, 102); }
    long Wait(DWORD timeoutMs) { return process_.Wait(timeoutMs); }
    // Asks to install and answers up to the folder dialog, which it returns.
    HWND OpenFolderDialog();
    // The folder dialog's OK with the typed text (the proposed one when empty), the confirmation and
    // the creation question (when expected) answered Yes; returns the copy dialog.
    HWND StartCopy(HWND folderDialog, const std::wstring& typed, const std::wstring& completed, bool creates);
    // A whole installation ending in the closing message.
    CopySeen Install(const std::wstring& typed, const std::wstring& completed, bool creates);
    void Uninstall();
    void Quit();

private:
    e2e::Process process_;
    HWND main_ = nullptr;
};

// A media folder of the test's own: the real setup.exe with a copy list and files of the test's choice.
class OwnMedia {
public:
    OwnMedia();
    const std::string& Path() const { return folder_.Path(); }
    std::string File(const char* name) const { return folder_.File(name); }
    std::string Program() const { return folder_.File("setup.exe"); }
    void WriteList(const std::vector<std::string>& entries);

private:
    e2e::TempFolder folder_;
};

}  // namespace setup_driving
