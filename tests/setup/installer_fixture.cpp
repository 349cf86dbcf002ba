// Installer unit test set-up: temporary folders with double-byte names.
#include "installer_fixture.h"

#include "setup/copy_list_text.h"

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
}

InstallerTest::~InstallerTest()
{
    if (state_.logFile) fclose(state_.logFile);
    GrowFree(state_.pendingFolders);
}

void InstallerTest::MakeFolder(const std::string& path, bool last)
{
    // Only separators outside double-byte characters split the path.
    for (size_t i = 3; i < path.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i])))
            ++i;
        else if (path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    if (last) CreateDirectoryA(path.c_str(), nullptr);
}

void InstallerTest::MakeFile(const std::string& path, const std::string& bytes)
{
    MakeFolder(path, false);
    ASSERT_TRUE(e2e::WriteFileBytes(path, bytes)) << path;
}
