// End-to-end helpers: processes, windows, message boxes, registry keys and temporary folders.
#include "e2e.h"

#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace e2e {

// A visible top-level window of the class and caption (any when null) of process pid (any when 0) that
// has a child window with the id control (when not 0).
static HWND FindTopWindow(const wchar_t* className, const wchar_t* caption, DWORD pid, DWORD timeoutMs, int control = 0)
{
    auto other = [&](HWND window) {
        DWORD owner = 0;
        return !IsWindowVisible(window) || (pid != 0 && GetWindowThreadProcessId(window, &owner) && owner != pid) ||
               (control != 0 && GetDlgItem(window, control) == nullptr);
    };
    for (DWORD start = GetTickCount();; Sleep(20)) {  // looks once even with no time to wait
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, className, caption)) && other(window)) {}
        if (window || GetTickCount() - start >= timeoutMs) return window;
    }
}

std::string BesideTest(const char* fileName)
{
    char path[MAX_PATH];
    std::string folder(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return folder.substr(0, folder.find_last_of('\\') + 1) + fileName;
}

Process::~Process()
{
    if (info_.hProcess == nullptr) return;
    if (TerminateProcess(info_.hProcess, 99)) WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
}

bool Process::Start(const std::string& commandLine, const char* workingFolder)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, workingFolder, &startup, &info_))
        return false;
    WaitForInputIdle(info_.hProcess, 5000);
    return true;
}

long Process::Wait(DWORD timeoutMs)
{
    DWORD code = 0;
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    return GetExitCodeProcess(info_.hProcess, &code) ? static_cast<long>(code) : -1;
}

HWND FindWindowByCaption(const std::wstring& caption, DWORD pid, DWORD timeoutMs)
{
    return FindTopWindow(nullptr, caption.c_str(), pid, timeoutMs);
}

static std::wstring WindowText(HWND window)
{
    // WM_GETTEXT works across processes (GetWindowTextW does not read other processes' controls).
    wchar_t text[1024];
    LRESULT length = SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring ControlText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));  // empty without the control
}

bool WaitGone(HWND window, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); IsWindow(window); Sleep(20))
        if (GetTickCount() - start >= timeoutMs) return false;
    return true;
}

HWND FindDialog(const std::wstring& caption, int control, DWORD pid, DWORD timeoutMs)
{
    return FindTopWindow(L"#32770", caption.c_str(), pid, timeoutMs, control);
}

// The text of a message box is the static control 0xFFFF; the programs' own dialogs have none.
MessageBoxSeen FindMessageBox(DWORD pid, DWORD timeoutMs)
{
    MessageBoxSeen box;
    box.window = FindTopWindow(L"#32770", nullptr, pid, timeoutMs, 0xFFFF);
    if (box.window == nullptr) return box;
    box.caption = WindowText(box.window);
    box.text = ControlText(box.window, 0xFFFF);
    return box;
}

void Answer(const MessageBoxSeen& box, int buttonId)
{
    if (HWND button = GetDlgItem(box.window, buttonId)) PostMessageW(button, BM_CLICK, 0, 0);
}

void Close(const MessageBoxSeen& box)
{
    for (int button : {IDOK, IDCANCEL, IDNO}) Answer(box, button);
}

static volatile LONG boxesExpected;

BoxesExpected::BoxesExpected() { InterlockedIncrement(&boxesExpected); }
BoxesExpected::~BoxesExpected() { InterlockedDecrement(&boxesExpected); }
bool BoxesExpected::Any() { return InterlockedCompareExchange(&boxesExpected, 0, 0) != 0; }

bool DeleteKeyTree(HKEY root, const char* subKey)
{
    DWORD result = SHDeleteKeyA(root, subKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

TempFolder::TempFolder()
{
    char base[MAX_PATH], name[MAX_PATH];
    GetTempPathA(sizeof base, base);
    if (GetTempFileNameA(base, "nim", 0, name) && DeleteFileA(name) && CreateDirectoryA(name, nullptr)) path_ = name;
}

std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, child = path + "\\" + name;
        if (name == "." || name == "..") continue;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
        else DeleteFileA(child.c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(path.c_str()) != 0;
}

std::wstring Wide(const std::string& cp932)
{
    std::wstring text(cp932.size(), L'\0');
    const int size = static_cast<int>(cp932.size());
    text.resize(MultiByteToWideChar(932, 0, cp932.data(), size, &text[0], size));
    return text;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (file) bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return static_cast<bool>(file);
}

}  // namespace e2e
