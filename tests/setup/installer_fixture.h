// Shared set-up of the installer's unit tests under Wine: a SetupState over temporary folders whose
// names hold trail bytes 0x5C, and answers to the installer's message boxes.
#pragma once

#include <thread>

#include "setup/setup_state.h"
#include "setup_driving.h"

using setup_driving::Exists;
using setup_driving::ReadText;
using setup_driving::Wide;

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest();
    ~InstallerTest() override;

    std::string Temp(const std::string& relative) const { return temp_.Path() + "\\" + relative; }
    std::string Install(const std::string& relative) const { return std::string(state_.installFolder) + "\\" + relative; }
    std::string Source(const std::string& relative) const { return std::string(state_.sourceFolder) + "\\" + relative; }
    std::string System(const std::string& relative) const { return std::string(state_.systemFolder) + "\\" + relative; }
    std::string LogPath() const { return Install("undelete.ini"); }
    // Creates the folders along path, its last component too unless it names a file.
    static void MakeFolder(const std::string& path, bool last = true);
    static void MakeFile(const std::string& path, const std::string& bytes);
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
