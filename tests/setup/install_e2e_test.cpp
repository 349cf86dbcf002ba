// The real setup.exe from the install media: installing into the default folder and uninstalling
// from the main dialog, and into a folder with blanks and double-byte names uninstalled through
// Windows' list of installed programs.
#include "setup_driving.h"

using namespace setup_driving;

namespace {

class InstallE2e : public ::testing::Test {
protected:
    static std::string Media(const std::string& name) { return MediaFolder() + "\\" + name; }

    // Where an entry of the media's list is copied: ".scr" files go to the system folder.
    static std::string Destination(const std::string& folder, const std::string& entry)
    {
        bool saver = entry.size() >= 5 && _stricmp(entry.c_str() + entry.size() - 4, ".scr") == 0;
        return (saver ? SystemFolder() : folder) + "\\" + entry;
    }

    // Every file, value and log line of an installation of the media into folder, which the
    // installation created together with createdFolders (outermost first, folder last).
    void ExpectInstalledInto(const std::string& folder, const std::vector<std::string>& createdFolders)
    {
        std::string log;
        for (const std::string& entry : ListEntries(Media("setup.ini"))) {
            EXPECT_EQ(ReadText(Destination(folder, entry)), ReadText(Media(entry))) << entry;
            log += Destination(folder, entry) + "\r\n";
        }
        for (const std::string& created : createdFolders) log += "+ " + created + "\r\n";
        EXPECT_EQ(ReadText(folder + "\\undelete.ini"), log);
        EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUserKey, "Path"), folder);
        EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUserKey, "SetupPath"), MediaFolder());
        EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Ithraスクリーンセーバー");
        EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), folder + "\\setup.exe /r");
    }

    // Nothing left of the installation, the folders it created included.
    void ExpectNothingLeft(const std::string& createdFolder)
    {
        EXPECT_FALSE(Exists(createdFolder));
        EXPECT_FALSE(Exists(SystemFolder() + "\\nimbra.scr"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserKey));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    }

    // Runs the installed saver full screen from the system folder and waits for a slide on screen
    // (a lit pixel inside the centred stage), with no missing-picture box on the way.
    static bool SlideShown()
    {
        e2e::Process saver;
        if (!saver.Start("\"" + SystemFolder() + "\\nimbra.scr\" /s", SystemFolder().c_str())) return false;
        if (e2e::FindWindowByCaption(L"SaverWindow", saver.Id(), 10000) == nullptr) return false;
        bool shown = false;
        for (DWORD start = GetTickCount(); !shown && GetTickCount() - start < 10000;) {
            Sleep(200);
            HDC screen = GetDC(nullptr);
            int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
            for (int i = 1; i < 8 && !shown; ++i)
                shown = (GetPixel(screen, width / 2 - 300 + 75 * i, height / 2 - 200 + 50 * i) & 0xFFFFFF) != 0;
            ReleaseDC(nullptr, screen);
            if (WaitBox(saver.Id(), L"Error", 0).window) return false;
        }
        saver.Kill();
        return shown;
    }

    MachineGuard guard_;
};

}  // namespace

TEST_F(InstallE2e, DefaultFolderInstallUseAndUninstallFromTheDialog)
{
    const std::string folder = DefaultFolder();
    const std::string parent = folder.substr(0, folder.rfind('\\'));
    ASSERT_FALSE(Exists(parent)) << "the test machine already has " << parent;
    Installer setup;
    ASSERT_TRUE(setup.Start(Media("setup.exe")));
    EXPECT_EQ(setup.Button(), L"インストール");
    EXPECT_EQ(e2e::ControlText(setup.Main(), 998), L"終了");

    CopySeen copy = setup.Install(L"", Wide(folder), true);
    EXPECT_EQ(copy.total, 100);
    EXPECT_EQ(copy.file, 100);
    ExpectInstalledInto(folder, {parent, folder});
    // The installed saver finds its slides through the "Path" the installer wrote.
    EXPECT_TRUE(SlideShown());

    // The saver's own settings share the key and go with it.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Fit Screen", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(key);
    setup.Uninstall();
    ExpectNothingLeft(parent);

    // A second installation in the same run proposes the default folder again.
    HWND folderDialog = setup.OpenFolderDialog();
    ASSERT_NE(folderDialog, nullptr);
    EXPECT_EQ(e2e::ControlText(folderDialog, 201), Wide(folder));
    Press(folderDialog, IDCANCEL);
    Reply(setup.Id(), kProduct, L"インストール作業を中断しました。", IDOK);
    EXPECT_EQ(setup.Button(), L"インストール");
    setup.Quit();
}

TEST_F(InstallE2e, DoubleByteFolderWithBlanksUninstalledThroughWindowsList)
{
    // "ソフト" and "表" both end in the byte 0x5C.
    e2e::TempFolder temp;
    const std::string created = temp.Path() + "\\ソフト x";
    const std::string typed = created + "\\表示";
    const std::string folder = typed + "\\IthraSS";
    {
        Installer setup;
        ASSERT_TRUE(setup.Start(Media("setup.exe")));
        EXPECT_EQ(setup.Install(Wide(typed), Wide(folder), true).total, 100);
        ExpectInstalledInto(folder, {created, typed, folder});
        setup.Quit();
    }
    // As Windows starts it: the stored command as it stands, unquoted although the folder has blanks.
    std::string command = RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    e2e::Process relocation;
    ASSERT_TRUE(relocation.Start(command));
    EXPECT_EQ(relocation.Wait(10000), 0);

    e2e::MessageBoxSeen first = WaitBox(0, L"セットアップ");
    ASSERT_NE(first.window, nullptr);
    EXPECT_EQ(first.text, L"アンインストールを実行します.");
    DWORD pid = 0;
    GetWindowThreadProcessId(first.window, &pid);
    HANDLE uninstaller = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    ASSERT_NE(uninstaller, nullptr);
    e2e::Answer(first, IDOK);
    Reply(pid, L"Ithraスクリーンセーバー - アンインストール", L"アンインストールを実行してもよろしいですか？", IDYES);
    Reply(pid, kProduct, L"アンインストールに成功しました。", IDOK);
    EXPECT_EQ(WaitForSingleObject(uninstaller, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(uninstaller, &code);
    CloseHandle(uninstaller);
    EXPECT_EQ(code, 0u);

    // Everything went, the installed setup.exe and the folders included; the copy waits for the restart.
    ExpectNothingLeft(created);
    EXPECT_TRUE(Exists(temp.Path()));
    EXPECT_EQ(ReadText(SystemFolder() + "\\unithra.exe"), ReadText(Media("setup.exe")));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    std::vector<char> pending(65536);
    DWORD size = static_cast<DWORD>(pending.size());
    RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(pending.data()), &size);
    RegCloseKey(key);
    std::string operations(pending.data(), size);
    for (char& c : operations) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(operations.find("unithra.exe"), std::string::npos);
}
