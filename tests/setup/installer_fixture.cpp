// Installer test set-up: temporary folders, message-box answers and the progress stand-in.
#include "installer_fixture.h"

#include <commctrl.h>

#include "setup/copy_list_text.h"

std::wstring Wide(const std::string& cp932)
{
    wchar_t text[2048];
    int length = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), text, 2048);
    return std::wstring(text, static_cast<size_t>(length));
}

InstallerTest::InstallerTest() : copyList_(kCopyListBytes)
{
    // Every folder name ends in a trail byte 0x5C somewhere along its path.
    snprintf(state_.sourceFolder, kPathBytes, "%s\\ソフト\\元", temp_.Path().c_str());
    snprintf(state_.installFolder, kPathBytes, "%s\\表示\\先ソ", temp_.Path().c_str());
    snprintf(state_.systemFolder, kPathBytes, "%s\\システム表", temp_.Path().c_str());
    MakeFolder(state_.sourceFolder);
    MakeFolder(state_.systemFolder);
    state_.instance = GetModuleHandleA(nullptr);
    state_.copyList = copyList_.data();
    copyList_[0] = copyList_[1] = '\0';
}

InstallerTest::~InstallerTest()
{
    if (state_.logFile) fclose(state_.logFile);
    GrowFree(state_.pendingFolders);
}

void InstallerTest::MakeFolder(const std::string& path)
{
    // Only separators outside double-byte characters split the path.
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i]))) {
            ++i;
            continue;
        }
        if (path[i] == '\\' && i > 2) CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

void InstallerTest::MakeFile(const std::string& path, const std::string& bytes)
{
    std::string folder = path;
    for (size_t i = 0, last = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i]))) {
            ++i;
            continue;
        }
        if (path[i] == '\\') last = i;
        folder = path.substr(0, last);
    }
    MakeFolder(folder);
    ASSERT_TRUE(e2e::WriteFileBytes(path, bytes)) << path;
}

std::string InstallerTest::Read(const std::string& path) const
{
    std::string bytes;
    if (!e2e::ReadFileBytes(path, &bytes)) return "<missing>";
    return bytes;
}

BoxAnswer::BoxAnswer(int button, DWORD timeoutMs)
    : thread_([this, button, timeoutMs]() {
          seen_ = e2e::FindMessageBox(GetCurrentProcessId(), timeoutMs);
          if (seen_.window) e2e::Answer(seen_, button);
      })
{
}

BoxAnswer::~BoxAnswer()
{
    if (thread_.joinable()) thread_.join();
}

const e2e::MessageBoxSeen& BoxAnswer::Seen()
{
    if (thread_.joinable()) thread_.join();
    return seen_;
}

ProgressWindow::ProgressWindow(SetupState& s) : state(s)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA dialogClass{};
        dialogClass.lpfnWndProc = DialogProc;
        dialogClass.hInstance = GetModuleHandleA(nullptr);
        dialogClass.lpszClassName = "SetupTestCopyDialog";
        RegisterClassA(&dialogClass);
        WNDCLASSA barClass = dialogClass;
        barClass.lpfnWndProc = BarProc;
        barClass.lpszClassName = "SetupTestBar";
        RegisterClassA(&barClass);
        registered = true;
    }
    window_ = CreateWindowA("SetupTestCopyDialog", "copy", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    for (int id : {301, 302})
        CreateWindowA("SetupTestBar", "", WS_CHILD, 0, 0, 10, 10, window_, reinterpret_cast<HMENU>(id),
                      GetModuleHandleA(nullptr), nullptr);
    CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 10, 10, window_, reinterpret_cast<HMENU>(304), GetModuleHandleA(nullptr),
                  nullptr);
}

ProgressWindow::~ProgressWindow() { DestroyWindow(window_); }

LRESULT CALLBACK ProgressWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kCancelMessage) {
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self) self->state.cancelRequested = 1;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ProgressWindow::BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_SETPOS) {
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(GetParent(window), GWLP_USERDATA));
        int id = GetDlgCtrlID(window);
        int position = static_cast<int>(wParam);
        if (self) {
            (id == 301 ? self->total : self->file).push_back(position);
            if (self->onPosition) self->onPosition(id, position);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
