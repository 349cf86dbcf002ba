// End-to-end helpers: processes, windows, message boxes, registry snapshots and temporary folders.
#include "e2e.h"

#include <cstdio>

namespace e2e {

std::string BesideTest(const char* fileName)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    size_t slash = folder.find_last_of('\\');
    folder.resize(slash == std::string::npos ? 0 : slash + 1);
    return folder + fileName;
}

Process::~Process()
{
    Kill();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool Process::Start(const std::string& commandLine, const char* workingFolder)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder, &startup, &info_))
        return false;
    WaitForInputIdle(info_.hProcess, 5000);
    return true;
}

long Process::Wait(DWORD timeoutMs)
{
    if (!info_.hProcess) return -1;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

void Process::Kill()
{
    if (info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

namespace {

struct WindowSearch {
    const std::wstring* caption;
    const wchar_t* className;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (search->pid != 0 && pid != search->pid) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    if (search->className) {
        wchar_t name[64];
        GetClassNameW(window, name, 64);
        if (wcscmp(name, search->className) != 0) return TRUE;
    }
    if (search->caption && WindowText(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTopWindow(const std::wstring* caption, const wchar_t* className, DWORD pid, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search{caption, className, pid, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(20);
    }
}

}  // namespace

HWND FindWindowByCaption(const std::wstring& caption, DWORD pid, DWORD timeoutMs)
{
    return FindTopWindow(&caption, nullptr, pid, timeoutMs);
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024];
    // WM_GETTEXT works across processes (GetWindowTextW does not read other processes' controls).
    LRESULT length = SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? WindowText(control) : std::wstring();
}

bool IsChecked(HWND dialog, int id)
{
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id)
{
    // BM_CLICK presses and releases the button the way the mouse does; sent, so it is handled on return.
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool WaitGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

MessageBoxSeen FindMessageBox(DWORD pid, DWORD timeoutMs)
{
    MessageBoxSeen box;
    box.window = FindTopWindow(nullptr, L"#32770", pid, timeoutMs);
    if (box.window) {
        box.caption = WindowText(box.window);
        box.text = ControlText(box.window, 0xFFFF);
    }
    return box;
}

void Answer(const MessageBoxSeen& box, int buttonId)
{
    HWND button = GetDlgItem(box.window, buttonId);
    if (button) PostMessageW(button, BM_CLICK, 0, 0);
}

RegistrySnapshot::RegistrySnapshot(HKEY root, const char* subKey) : root_(root), subKey_(subKey)
{
    HKEY key;
    if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    existed_ = true;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Value value{std::string(name, nameLength), type, std::vector<BYTE>(size)};
        DWORD got = size;
        RegQueryValueExA(key, value.name.c_str(), nullptr, nullptr, value.data.data(), &got);
        value.data.resize(got);
        values_.push_back(value);
    }
    RegCloseKey(key);
}

RegistrySnapshot::~RegistrySnapshot() { Restore(); }

void RegistrySnapshot::Restore()
{
    DeleteKeyTree(root_, subKey_.c_str());
    if (!existed_) return;
    HKEY key;
    if (RegCreateKeyExA(root_, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const Value& value : values_)
        RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

bool DeleteKeyTree(HKEY root, const char* subKey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[256];
        DWORD length = sizeof child;
        while (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            if (!DeleteKeyTree(key, child)) break;
            length = sizeof child;
        }
        RegCloseKey(key);
    }
    LONG result = RegDeleteKeyA(root, subKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static unsigned counter;
    for (;;) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%snimbra_test_%lu_%u", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempFolder::~TempFolder()
{
    if (!path_.empty()) RemoveTree(path_);
}

bool RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes->append(chunk, got);
    fclose(file);
    return true;
}

}  // namespace e2e
