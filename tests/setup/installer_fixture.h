// Shared set-up of the installer's unit tests under Wine: a SetupState over temporary folders whose
// names hold trail bytes 0x5C, and answers to the installer's message boxes.
#pragma once

#include <thread>

#include "setup/copy_list_text.h"
#include "setup/setup_state.h"
#include "setup_driving.h"

using setup_driving::Exists;
using setup_driving::ReadText;
using setup_driving::Wide;

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest() : copyList_(kCopyListBytes)
    {
        // Every folder name ends in a trail byte 0x5C somewhere along its path.
        snprintf(state_.sourceFolder, kPathBytes, "%s\\ソフト\\元", temp_.Path().c_str());
        snprintf(state_.installFolder, kPathBytes, "%s\\表示\\先ソ", temp_.Path().c_str());
        snprintf(state_.systemFolder, kPathBytes, "%s\\システム表", temp_.Path().c_str());
        MakeFolder(state_.sourceFolder);
        MakeFolder(state_.systemFolder);
        state_.instance = GetModuleHandleA(nullptr);
        state_.copyList = copyList_.data();
    }
    ~InstallerTest() override
    {
        if (state_.logFile) fclose(state_.logFile);
        GrowFree(state_.pendingFolders);
    }

    std::string Temp(const std::string& relative) const { return temp_.Path() + "\\" + relative; }
    std::string Install(const std::string& relative) const { return std::string(state_.installFolder) + "\\" + relative; }
    std::string Source(const std::string& relative) const { return std::string(state_.sourceFolder) + "\\" + relative; }
    std::string System(const std::string& relative) const { return std::string(state_.systemFolder) + "\\" + relative; }
    std::string LogPath() const { return Install("undelete.ini"); }
    // Creates the folders along path, its last component too unless it names a file. Only separators
    // outside double-byte characters split the path.
    static void MakeFolder(const std::string& path, bool last = true)
    {
        for (size_t i = 3; i < path.size(); ++i) {
            if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i])))
                ++i;
            else if (path[i] == '\\')
                CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        }
        if (last) CreateDirectoryA(path.c_str(), nullptr);
    }
    static void MakeFile(const std::string& path, const std::string& bytes)
    {
        MakeFolder(path, false);
        ASSERT_TRUE(e2e::WriteFileBytes(path, bytes)) << path;
    }
    void WriteList(const std::string& text) { MakeFile(Source("setup.ini"), text); }

    e2e::TempFolder temp_;
    SetupState state_{};
    std::vector<char> copyList_;
};

// Answers the next message box of this process from a second thread, as a person would.
class BoxAnswer {
public:
    explicit BoxAnswer(int button)
        : thread_([this, button]() {
              seen_ = e2e::FindMessageBox(GetCurrentProcessId(), 10000);
              if (seen_.window) e2e::Answer(seen_, button);
          })
    {
    }
    ~BoxAnswer() { Seen(); }
    const e2e::MessageBoxSeen& Seen()
    {
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    std::thread thread_;
    e2e::MessageBoxSeen seen_;
};
