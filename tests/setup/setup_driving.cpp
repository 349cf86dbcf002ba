// The installer tests' look-ups and driving, and the machine put back as it was.
#include "setup_driving.h"

namespace setup_driving {

const wchar_t kProduct[] = L"Ithraスクリーンセーバー";
const char kUserKey[] = "Software\\Varnel\\Ithra Saver";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ithraスクリーンセーバー";

namespace {

const char kSessionKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// The raw list of renames at restart; false when there is none.
bool PendingValue(std::string* data)
{
    std::vector<char> bytes(65536);
    DWORD size = static_cast<DWORD>(bytes.size());
    bool found = RegGetValueA(HKEY_LOCAL_MACHINE, kSessionKey, kPendingValue, RRF_RT_ANY, nullptr, bytes.data(), &size) == 0;
    data->assign(bytes.data(), found ? size : 0);
    return found;
}

struct Search {
    DWORD pid;                    // any process when 0
    const std::wstring* caption;  // any caption when null
    bool messageBox;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param)
{
    Search& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[16];
    GetClassNameW(window, name, 16);
    // Message boxes carry their text in a static control with the id 0xFFFF; dialogs of templates do not.
    if ((search.pid && pid != search.pid) || !IsWindowVisible(window) || wcscmp(name, L"#32770") != 0 ||
        (GetDlgItem(window, 0xFFFF) != nullptr) != search.messageBox ||
        (search.caption && e2e::WindowText(window) != *search.caption))
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND Find(DWORD pid, const std::wstring* caption, bool messageBox, DWORD timeoutMs)
{
    Search search{pid, caption, messageBox, nullptr};
    for (DWORD start = GetTickCount();; Sleep(10)) {
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeoutMs) return search.found;
    }
}

}  // namespace

std::wstring Wide(const std::string& cp932)
{
    std::vector<wchar_t> text(cp932.size() + 1);
    int length = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), text.data(),
                                     static_cast<int>(text.size()));
    return std::wstring(text.data(), static_cast<size_t>(length));
}

std::string SystemFolder()
{
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

std::string DefaultFolder()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows, 2) + "\\Program Files\\Varnel\\IthraSS";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path)
{
    std::string bytes;
    return e2e::ReadFileBytes(path, &bytes) ? bytes : "<missing>";
}

std::string RegistryString(HKEY root, const char* keyName, const char* name)
{
    char data[1024];
    DWORD size = sizeof data;
    return RegGetValueA(root, keyName, name, RRF_RT_REG_SZ, nullptr, data, &size) == 0 ? std::string(data) : "<none>";
}

bool KeyExists(HKEY root, const char* keyName)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string PendingDeletions()
{
    std::string text;
    PendingValue(&text);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    text += ReadText(std::string(windows) + "\\WININIT.INI");
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

DWORD Reply(DWORD pid, const std::wstring& captionAndText, int button)
{
    e2e::MessageBoxSeen box;
    box.window = Find(pid, nullptr, true, 10000);
    EXPECT_EQ(e2e::WindowText(box.window) + L"|" + e2e::ControlText(box.window, 0xFFFF), captionAndText);
    DWORD shownBy = 0;
    if (box.window == nullptr) return 0;
    GetWindowThreadProcessId(box.window, &shownBy);
    e2e::Answer(box, button);
    EXPECT_TRUE(e2e::WaitGone(box.window, 5000));
    return shownBy;
}

HWND WaitDialog(DWORD pid, const std::wstring& caption) { return Find(pid, &caption, false, 10000); }

bool BoxShown(DWORD pid) { return Find(pid, nullptr, true, 0) != nullptr; }

void Press(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SetText(HWND dialog, int id, const std::wstring& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

MachineGuard::MachineGuard() : user_(HKEY_CURRENT_USER, kUserKey), uninstall_(HKEY_LOCAL_MACHINE, kUninstallKey)
{
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey);
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    pendingExisted_ = PendingValue(&pending_);
    parentExisted_ = Exists(Parent(DefaultFolder()));
}

MachineGuard::~MachineGuard()
{
    for (HANDLE process : processes_) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    if (!parentExisted_) e2e::RemoveTree(Parent(DefaultFolder()));
    for (const char* name : {"nimbra.scr", "unithra.exe"}) DeleteFileA((SystemFolder() + "\\" + name).c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        if (pendingExisted_)
            RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(pending_.data()),
                           static_cast<DWORD>(pending_.size()));
        else
            RegDeleteValueA(key, kPendingValue);
        RegCloseKey(key);
    }
}

void MachineGuard::EndWithTest(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process) processes_.push_back(process);
}

}  // namespace setup_driving
