// Driving setup.exe: windows and message boxes found by caption, the copy dialog watched, the machine
// put back as it was.
#include "setup_driving.h"

#include <commctrl.h>

namespace setup_driving {

const wchar_t kMainCaption[] = L"Ithraスクリーンセーバー セットアップ ";
const wchar_t kProduct[] = L"Ithraスクリーンセーバー";
const char kUserKey[] = "Software\\Varnel\\Ithra Saver";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ithraスクリーンセーバー";

namespace {

const char kSessionKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

struct Search {
    DWORD pid;
    const std::wstring* caption;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param)
{
    Search& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((search.pid != 0 && pid != search.pid) || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64];
    GetClassNameW(window, name, 64);
    if (wcscmp(name, L"#32770") != 0) return TRUE;
    // Message boxes carry their text in a static control with the id 0xFFFF; dialogs of templates do not.
    if ((GetDlgItem(window, 0xFFFF) != nullptr) != search.messageBox) return TRUE;
    if (search.caption && e2e::WindowText(window) != *search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

HWND Find(DWORD pid, const std::wstring* caption, bool messageBox, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        Search search{pid, caption, messageBox, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeoutMs) return search.found;
        Sleep(10);
    }
}

int Position(HWND dialog, int id)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(GetDlgItem(dialog, id), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) return -1;
    return static_cast<int>(result);
}

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

}  // namespace

std::wstring Wide(const std::string& cp932)
{
    std::vector<wchar_t> text(cp932.size() + 1);
    int length = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), text.data(),
                                     static_cast<int>(text.size()));
    return std::wstring(text.data(), static_cast<size_t>(length));
}

std::string MediaFolder()
{
    char full[MAX_PATH];
    GetFullPathNameA(e2e::BesideTest("..\\media").c_str(), sizeof full, full, nullptr);
    return full;
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

// The media's list is written by the build: plain entries between the two markers, one a line.
std::vector<std::string> ListEntries(const std::string& listPath)
{
    std::vector<std::string> entries;
    std::string text = ReadText(listPath);
    size_t position = text.find("#copystart\n");
    for (position = text.find('\n', position) + 1; position < text.size();) {
        size_t end = text.find('\n', position);
        std::string line = text.substr(position, end - position);
        if (line == "#copyend") break;
        entries.push_back(line);
        position = end + 1;
    }
    return entries;
}

std::string RegistryString(HKEY root, const char* keyName, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<none>";
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "<none>";
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
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        std::vector<char> data(65536);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, kPendingValue, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) == 0)
            text.assign(data.data(), size);
        RegCloseKey(key);
    }
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    text += ReadText(std::string(windows) + "\\WININIT.INI");
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

e2e::MessageBoxSeen WaitBox(DWORD pid, const std::wstring& caption, DWORD timeoutMs)
{
    e2e::MessageBoxSeen box;
    box.window = Find(pid, &caption, true, timeoutMs);
    if (box.window) {
        box.caption = e2e::WindowText(box.window);
        box.text = e2e::ControlText(box.window, 0xFFFF);
    }
    return box;
}

void Reply(DWORD pid, const std::wstring& caption, const std::wstring& text, int button)
{
    e2e::MessageBoxSeen box = WaitBox(pid, caption);
    ASSERT_NE(box.window, nullptr) << "no message box came";
    EXPECT_EQ(box.text, text);
    e2e::Answer(box, button);
    EXPECT_TRUE(e2e::WaitGone(box.window, 5000));
}

HWND WaitDialog(DWORD pid, const std::wstring& caption, DWORD timeoutMs)
{
    return Find(pid, &caption, false, timeoutMs);
}

void Press(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SetText(HWND dialog, int id, const std::wstring& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

CopySeen WatchCopy(DWORD pid)
{
    CopySeen seen;
    HWND dialog = WaitDialog(pid, L"コピー");
    // Until the dialog is gone or shows a message box of its own.
    while (dialog && IsWindow(dialog) && Find(pid, nullptr, true, 0) == nullptr) {
        seen.total = std::max(seen.total, Position(dialog, 301));
        seen.file = std::max(seen.file, Position(dialog, 302));
        Sleep(5);
    }
    return seen;
}

MachineGuard::MachineGuard() : user_(HKEY_CURRENT_USER, kUserKey), uninstall_(HKEY_LOCAL_MACHINE, kUninstallKey)
{
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey);
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = 0;
        if (RegQueryValueExA(key, kPendingValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            pending_.resize(size);
            pendingExisted_ = RegQueryValueExA(key, kPendingValue, nullptr, nullptr, pending_.data(), &size) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    parentExisted_ = Exists(Parent(DefaultFolder()));
}

MachineGuard::~MachineGuard()
{
    if (!parentExisted_) e2e::RemoveTree(Parent(DefaultFolder()));
    for (const char* name : {"nimbra.scr", "unithra.exe"}) DeleteFileA((SystemFolder() + "\\" + name).c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        if (pendingExisted_)
            RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, pending_.data(), static_cast<DWORD>(pending_.size()));
        else
            RegDeleteValueA(key, kPendingValue);
        RegCloseKey(key);
    }
}

bool Installer::Start(const std::string& program)
{
    if (!process_.Start("\"" + program + "\"")) return false;
    main_ = WaitDialog(process_.Id(), kMainCaption);
    return main_ != nullptr;
}

HWND Installer::OpenFolderDialog()
{
    Press(main_, 102);
    Reply(Id(), kProduct, L"インストールを実行してもよろしいですか？", IDYES);
    return WaitDialog(Id(), L"インストール先の選択");
}

HWND Installer::StartCopy(HWND folderDialog, const std::wstring& typed, const std::wstring& completed, bool creates)
{
    if (!typed.empty()) SetText(folderDialog, 201, typed);
    Press(folderDialog, IDOK);
    Reply(Id(), L"確認", completed + L" にインストールします。よろしいですか？", IDYES);
    if (creates) Reply(Id(), L"コピー", L"フォルダ " + completed + L" は存在しません。\n作成しますか？", IDYES);
    return WaitDialog(Id(), L"コピー");
}

CopySeen Installer::Install(const std::wstring& typed, const std::wstring& completed, bool creates)
{
    HWND folderDialog = OpenFolderDialog();
    EXPECT_EQ(e2e::ControlText(folderDialog, 201), Wide(DefaultFolder()));
    if (folderDialog == nullptr) return CopySeen();
    StartCopy(folderDialog, typed, completed, creates);
    CopySeen seen = WatchCopy(Id());
    Reply(Id(), kProduct,
          L"インストールが完了しました。\n\nアンインストールはコントロールパネルのアプリケーションの追加と削除\n"
          L"または、インストール元のセットアップから実行してください。",
          IDOK);
    EXPECT_EQ(Button(), L"アンインストール");
    return seen;
}

void Installer::Uninstall()
{
    Press(main_, 102);
    Reply(Id(), kProduct, L"アンインストールを実行してもよろしいですか？", IDYES);
    Reply(Id(), kProduct, L"アンインストールが完了しました。", IDOK);
    EXPECT_EQ(Button(), L"インストール");
}

void Installer::Quit()
{
    Press(main_, 998);
    EXPECT_EQ(Wait(5000), 0);
}

OwnMedia::OwnMedia() { CopyFileA((MediaFolder() + "\\setup.exe").c_str(), Program().c_str(), FALSE); }

void OwnMedia::WriteList(const std::vector<std::string>& entries)
{
    std::string text = "#copystart\r\n";
    for (const std::string& entry : entries) text += entry + "\r\n";
    e2e::WriteFileBytes(File("setup.ini"), text + "#copyend\r\n");
}

}  // namespace setup_driving
