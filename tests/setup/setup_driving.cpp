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

std::string WindowsDrive()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows, 2);
}

}  // namespace

std::wstring Wide(const std::string& cp932)
{
    if (cp932.empty()) return std::wstring();
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

std::string DefaultFolder() { return WindowsDrive() + "\\Program Files\\Varnel\\IthraSS"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path)
{
    std::string bytes;
    if (!e2e::ReadFileBytes(path, &bytes)) return "<missing>";
    return bytes;
}

std::vector<std::string> ListEntries(const std::string& listPath)
{
    std::vector<std::string> entries;
    std::string text = ReadText(listPath);
    bool on = false;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "#copystart") on = true;
        else if (line == "#copyend") break;
        else if (on && !line.empty() && line[0] != '#' && line[0] != ';') entries.push_back(line);
    }
    return entries;
}

std::string RegistryString(HKEY root, const char* keyName, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<none>";
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
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
    const std::wstring caption = L"コピー";
    HWND dialog = WaitDialog(pid, caption);
    if (dialog == nullptr) return seen;
    seen.appeared = true;
    // Until the dialog is gone or shows a message box of its own.
    while (IsWindow(dialog) && Find(pid, nullptr, true, 0) == nullptr) {
        seen.total = std::max(seen.total, Position(dialog, 301));
        seen.file = std::max(seen.file, Position(dialog, 302));
        std::wstring name = e2e::ControlText(dialog, 304);
        if (!name.empty()) seen.lastName = name;
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
            RegQueryValueExA(key, kPendingValue, nullptr, nullptr, pending_.data(), &size);
            pendingExisted_ = true;
        }
        RegCloseKey(key);
    }
    std::string folder = DefaultFolder();
    parentExisted_ = Exists(folder.substr(0, folder.rfind('\\')));
}

MachineGuard::~MachineGuard()
{
    std::string folder = DefaultFolder();
    if (!parentExisted_) e2e::RemoveTree(folder.substr(0, folder.rfind('\\')));
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

bool Installer::Start(const std::string& program, const std::string& arguments)
{
    if (!process_.Start("\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments))) return false;
    main_ = WaitDialog(process_.Id(), kMainCaption);
    return main_ != nullptr;
}

HWND Installer::OpenFolderDialog()
{
    Press(main_, 102);
    Reply(Id(), kProduct, L"インストールを実行してもよろしいですか？", IDYES);
    return WaitDialog(Id(), L"インストール先の選択");
}

CopySeen Installer::ChooseFolder(HWND folderDialog, const std::wstring& typed, const std::wstring& completed,
                                 bool creates)
{
    if (!typed.empty()) SetText(folderDialog, 201, typed);
    Press(folderDialog, IDOK);
    Reply(Id(), L"確認", completed + L" にインストールします。よろしいですか？", IDYES);
    if (creates) Reply(Id(), L"コピー", L"フォルダ " + completed + L" は存在しません。\n作成しますか？", IDYES);
    return WatchCopy(Id());
}

CopySeen Installer::Install(const std::wstring& typed, const std::wstring& completed, bool creates)
{
    HWND folderDialog = OpenFolderDialog();
    EXPECT_NE(folderDialog, nullptr);
    if (folderDialog == nullptr) return CopySeen();
    EXPECT_EQ(e2e::ControlText(folderDialog, 201), Wide(DefaultFolder()));
    CopySeen seen = ChooseFolder(folderDialog, typed, completed, creates);
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

OwnMedia::OwnMedia()
{
    CopyFileA((MediaFolder() + "\\setup.exe").c_str(), Program().c_str(), FALSE);
}

void OwnMedia::WriteList(const std::vector<std::string>& entries)
{
    std::string text = "#copystart\r\n";
    for (const std::string& entry : entries) text += entry + "\r\n";
    text += "#copyend\r\n";
    e2e::WriteFileBytes(File("setup.ini"), text);
}

}  // namespace setup_driving
