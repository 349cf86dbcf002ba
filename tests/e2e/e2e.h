// Helpers for end-to-end tests: start the real programs and drive their windows as a person would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Full path of a file that lies beside the running test program (the build puts all programs together).
std::string BesideTest(const char* fileName);

// A started program. The destructor ends it if it still runs, also when a test fails.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    ~Process();
    bool Start(const std::string& commandLine, const char* workingFolder = nullptr);
    long Wait(DWORD timeoutMs);  // exit code, or -1 when the program did not end within timeoutMs
    DWORD Id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_{};
};

// A visible top-level window of process pid (any process when pid is 0) with this exact caption.
HWND FindWindowByCaption(const std::wstring& caption, DWORD pid, DWORD timeoutMs);
std::wstring ControlText(HWND dialog, int id);
bool WaitGone(HWND window, DWORD timeoutMs);

// A dialog of process pid (any process when pid is 0) with this caption and a control of this id.
HWND FindDialog(const std::wstring& caption, int control, DWORD pid, DWORD timeoutMs);

// A message box ("#32770" with a static text) shown by process pid (any process when pid is 0).
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption, text;
};
MessageBoxSeen FindMessageBox(DWORD pid, DWORD timeoutMs);
void Answer(const MessageBoxSeen& box, int buttonId);
void Close(const MessageBoxSeen& box);  // by whichever of OK, Cancel and No it has

// While one of these lives, a test waits for message boxes and answers them itself. At any other time
// a message box on the display fails the running test at once and is closed (test_main.cpp).
class BoxesExpected {
public:
    BoxesExpected();
    BoxesExpected(const BoxesExpected&) = delete;
    ~BoxesExpected();
    static bool Any();
};

bool DeleteKeyTree(HKEY root, const char* subKey);  // true when the key is gone
std::vector<std::string> FileNames(const std::string& folder);  // of its files, not its folders, sorted
bool RemoveTree(const std::string& path);           // a folder with everything in it

// A new empty folder under the temporary folder, removed with its contents by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder() { if (!path_.empty()) RemoveTree(path_); }
    const std::string& Path() const { return path_; }
    std::string File(const char* name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Code page 932 text (the programs' own) as the UTF-16 their windows show.
std::wstring Wide(const std::string& cp932);

bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);

}  // namespace e2e
