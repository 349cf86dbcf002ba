// Shared set-up of the installer tests: a SetupState over temporary folders with double-byte names,
// answers to the installer's message boxes, and a stand-in for the copy dialog that records progress.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "e2e.h"
#include "setup/setup_state.h"

std::wstring Wide(const std::string& cp932);

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest();
    ~InstallerTest() override;

    std::string Temp(const std::string& relative) const { return temp_.Path() + "\\" + relative; }
    // Writes a file, creating the folders on its way.
    void MakeFile(const std::string& path, const std::string& bytes);
    void MakeFolder(const std::string& path);
    void WriteList(const std::string& text) { MakeFile(std::string(state_.sourceFolder) + "\\setup.ini", text); }
    std::string Read(const std::string& path) const;
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string Install(const std::string& relative) const { return std::string(state_.installFolder) + "\\" + relative; }
    std::string Source(const std::string& relative) const { return std::string(state_.sourceFolder) + "\\" + relative; }
    std::string System(const std::string& relative) const { return std::string(state_.systemFolder) + "\\" + relative; }
    std::string LogPath() const { return Install("undelete.ini"); }

    e2e::TempFolder temp_;
    SetupState state_{};
    std::vector<char> copyList_;
};

// Answers the next message box of this process from a second thread, as a person would.
class BoxAnswer {
public:
    explicit BoxAnswer(int button, DWORD timeoutMs = 10000);
    ~BoxAnswer();
    const e2e::MessageBoxSeen& Seen();

private:
    std::thread thread_;
    e2e::MessageBoxSeen seen_;
};

// Stand-in for the copy dialog: children 301 and 302 record the positions posted to them, 304 is a
// static text. Posting kCancelMessage to it sets the cancel flag, as the dialog's Cancel command does.
class ProgressWindow {
public:
    enum { kCancelMessage = WM_USER + 7 };
    explicit ProgressWindow(SetupState& state);
    ~ProgressWindow();
    HWND Handle() const { return window_; }

    std::vector<int> total;
    std::vector<int> file;
    std::function<void(int id, int position)> onPosition;
    SetupState& state;

private:
    static LRESULT CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK BarProc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
};
