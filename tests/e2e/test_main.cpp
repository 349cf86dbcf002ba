// The Win32 test programs' main: GoogleTest's, and a watch on message boxes. A box that no test waits for
// (an error the code under test reports, a question asked twice) would wait for its answer until the
// test's time limit; the watch fails the running test at once, naming the box, and closes it, so that
// the test runs on to its end.
#include <gtest/gtest.h>

#include "e2e.h"

namespace {

DWORD WINAPI WatchForBoxes(LPVOID)
{
    for (;; Sleep(50)) {
        if (e2e::BoxesExpected::Any()) continue;
        const e2e::MessageBoxSeen box = e2e::FindMessageBox(0, 0);  // the display is the test's own
        if (box.window == nullptr || e2e::BoxesExpected::Any()) continue;
        ADD_FAILURE() << "a message box that no test waits for: \"" << box.caption << "|" << box.text << "\"";
        e2e::Close(box);
        e2e::WaitGone(box.window, 2000);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    CloseHandle(CreateThread(nullptr, 0, WatchForBoxes, nullptr, 0, nullptr));
    return RUN_ALL_TESTS();
}
