// The real setup.exe when things go wrong: a missing copy list or entry, the folder dialog cancelled
// or its question answered No, a log that cannot be written, a cancelled copy, a full disk, the
// registry refusing the entries. Each shows its message and loses nothing that was there before.
#include "setup_driving.h"

using namespace setup_driving;

namespace {

const wchar_t kAbandoned[] = L"インストール作業を中断しました。";

class FailureE2e : public ::testing::Test {
protected:
    // Nothing of the product was registered or placed in the system folder.
    static void ExpectNotInstalled()
    {
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserKey));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(Exists(SystemFolder() + "\\nimbra.scr"));
    }

    // Up to the copy dialog with a typed folder (completed: folder).
    static HWND StartCopy(Installer& setup, const std::string& typed, const std::string& folder, bool creates)
    {
        return setup.StartCopy(setup.OpenFolderDialog(), Wide(typed), Wide(folder), creates);
    }

    MachineGuard guard_;
    e2e::TempFolder temp_;
};

}  // namespace

TEST_F(FailureE2e, MissingCopyListOrEntryEndsTheProgram)
{
    OwnMedia media;
    const std::wstring missingList = Wide(media.Path()) + L"\\setup.ini が見つかりません";
    for (bool withList : {false, true}) {
        if (withList) media.WriteList({"setup.exe", "nothere.bmp"});
        e2e::Process setup;
        ASSERT_TRUE(setup.Start("\"" + media.Program() + "\""));
        if (withList) Reply(setup.Id(), L"エラー", Wide(media.Path()) + L"\\nothere.bmp のファイルが見つかりません", IDOK);
        Reply(setup.Id(), L"Setup", missingList, IDOK);
        Reply(setup.Id(), kProduct, L"セットアップの起動に失敗しました", IDOK);
        ASSERT_EQ(WaitForSingleObject(setup.Handle(), 5000), WAIT_OBJECT_0);
        EXPECT_EQ(setup.Wait(0), -1);  // its exit code
    }
    ExpectNotInstalled();
}

TEST_F(FailureE2e, FolderQuestionsAnsweredNoAndTheDialogCancelled)
{
    Installer setup;
    ASSERT_TRUE(setup.Start(MediaFolder() + "\\setup.exe"));
    HWND folderDialog = setup.OpenFolderDialog();
    ASSERT_NE(folderDialog, nullptr);
    EXPECT_EQ(e2e::ControlText(folderDialog, 202).rfind(L"インストールに必要な容量は、約 ", 0), 0u);
    const std::string typed = temp_.Path() + "\\new";
    const std::wstring confirm = Wide(typed) + L"\\IthraSS にインストールします。よろしいですか？";

    // No to the confirmation: the typed text stays, without the product folder.
    SetText(folderDialog, 201, Wide(typed));
    Press(folderDialog, IDOK);
    Reply(setup.Id(), L"確認", confirm, IDNO);
    EXPECT_EQ(e2e::ControlText(folderDialog, 201), Wide(typed));

    // No to creating it: back to the default, nothing created.
    Press(folderDialog, IDOK);
    Reply(setup.Id(), L"確認", confirm, IDYES);
    Reply(setup.Id(), L"コピー", L"フォルダ " + Wide(typed) + L"\\IthraSS は存在しません。\n作成しますか？", IDNO);
    EXPECT_EQ(e2e::ControlText(folderDialog, 201), Wide(DefaultFolder()));
    EXPECT_FALSE(Exists(typed));

    // An empty folder is refused with its own message and the default comes back.
    SetText(folderDialog, 201, L"");
    Press(folderDialog, IDOK);
    Reply(setup.Id(), L"Setup error",
          L"指定されたフォルダー :\n\n   \n\nは、無効です。もう一度やりなおしてください。\n例えば\n\n   " +
              Wide(DefaultFolder()),
          IDOK);
    EXPECT_EQ(e2e::ControlText(folderDialog, 201), Wide(DefaultFolder()));

    Press(folderDialog, IDCANCEL);
    Reply(setup.Id(), kProduct, kAbandoned, IDOK);
    EXPECT_EQ(setup.Button(), L"インストール");
    ExpectNotInstalled();
    EXPECT_FALSE(Exists(DefaultFolder()));

    // Closing the window asks first; "終了" does not.
    PostMessageW(setup.Main(), WM_CLOSE, 0, 0);
    Reply(setup.Id(), kProduct, L"終了してもよろしいですか？", IDNO);
    EXPECT_EQ(setup.Wait(300), -1);
    setup.Quit();
}

TEST_F(FailureE2e, LogThatCannotBeWrittenStopsBeforeAnyCopy)
{
    const std::string folder = temp_.Path() + "\\IthraSS";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string log = folder + "\\undelete.ini";
    ASSERT_TRUE(e2e::WriteFileBytes(log, "earlier\r\n"));
    // Held by another program without sharing: the installer cannot create it anew.
    HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    Installer setup;
    ASSERT_TRUE(setup.Start(MediaFolder() + "\\setup.exe"));
    ASSERT_NE(StartCopy(setup, folder, folder, false), nullptr);
    Reply(setup.Id(), L"COPY", L"アンインストール用のファイルが書き込めません!!", IDOK);
    Reply(setup.Id(), kProduct, kAbandoned, IDOK);
    CloseHandle(held);
    EXPECT_EQ(setup.Button(), L"インストール");
    EXPECT_EQ(ReadText(log), "earlier\r\n");
    EXPECT_FALSE(Exists(folder + "\\setup.exe"));
    ExpectNotInstalled();
    setup.Quit();
}

TEST_F(FailureE2e, CancelBeforeAndDuringTheCopyAndADiskThatRunsFull)
{
    OwnMedia media;
    ASSERT_TRUE(e2e::WriteFileBytes(media.File("small.txt"), "small"));
    // Large enough that its copy lasts long after its name shows, and larger than the small drive;
    // sparse, so quick to make.
    HANDLE big = CreateFileA(media.File("big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(big, INVALID_HANDLE_VALUE);
    SetFilePointer(big, 256 << 20, nullptr, FILE_BEGIN);
    SetEndOfFile(big);
    CloseHandle(big);
    media.WriteList({"small.txt", "big.bin"});
    Installer setup;
    ASSERT_TRUE(setup.Start(media.Program()));
    const std::string typed = temp_.Path() + "\\dest";
    const std::string folder = typed + "\\IthraSS";

    // Before the copy began: nothing is copied and nothing registered.
    HWND copy = StartCopy(setup, typed, folder, true);
    ASSERT_NE(copy, nullptr);
    PostMessageW(copy, WM_COMMAND, IDCANCEL, 0);
    Reply(setup.Id(), kProduct, kAbandoned, IDOK);
    EXPECT_FALSE(Exists(folder + "\\small.txt"));
    EXPECT_FALSE(Exists(folder + "\\undelete.ini"));
    EXPECT_EQ(setup.Button(), L"インストール");
    ExpectNotInstalled();

    // During the copy of the big file: the file copied before stays and stays logged, the half
    // copied one is deleted.
    copy = StartCopy(setup, typed, folder, false);
    ASSERT_NE(copy, nullptr);
    for (DWORD start = GetTickCount(); IsWindow(copy) && GetTickCount() - start < 10000;)
        if (e2e::ControlText(copy, 304).find(L"big.bin") != std::wstring::npos) break;
    PostMessageW(copy, WM_COMMAND, IDCANCEL, 0);
    Reply(setup.Id(), kProduct, kAbandoned, IDOK);
    EXPECT_EQ(ReadText(folder + "\\small.txt"), "small");
    EXPECT_FALSE(Exists(folder + "\\big.bin"));
    EXPECT_EQ(ReadText(folder + "\\undelete.ini"), folder + "\\small.txt\r\n");
    EXPECT_EQ(setup.Button(), L"インストール");
    ExpectNotInstalled();

    // A destination that runs out of space: what was there and what was copied before stays.
    if (!Exists("R:\\")) {
        setup.Quit();
        GTEST_SKIP() << "no small drive R: (mounting a tmpfs needs root)";
    }
    ASSERT_TRUE(e2e::WriteFileBytes("R:\\keep.txt", "kept"));
    ASSERT_NE(StartCopy(setup, "R:\\", "R:\\IthraSS", true), nullptr);
    Reply(setup.Id(), kProduct, kAbandoned, IDOK);
    EXPECT_EQ(ReadText("R:\\keep.txt"), "kept");
    EXPECT_EQ(ReadText("R:\\IthraSS\\small.txt"), "small");
    EXPECT_FALSE(Exists("R:\\IthraSS\\big.bin"));
    ExpectNotInstalled();
    setup.Quit();
    e2e::RemoveTree("R:\\IthraSS");
    DeleteFileA("R:\\keep.txt");
}

TEST_F(FailureE2e, RegistryThatRefusesTheEntriesStillCountsAsInstalled)
{
    // A volatile "Varnel" key refuses the lasting key below it. Only done on a machine where that key
    // holds nothing but the product's own key (which the guard keeps).
    const char kMaker[] = "Software\\Varnel";
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMaker, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD subKeys = 0, values = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
        if (subKeys != 0 || values != 0) GTEST_SKIP() << "Software\\Varnel holds other entries";
    }
    e2e::RegistrySnapshot maker(HKEY_CURRENT_USER, kMaker);
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, kMaker);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kMaker, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(key);
        GTEST_SKIP() << "this registry does not refuse a lasting key below a volatile one";
    }

    const std::string typed = temp_.Path() + "\\reg";
    Installer setup;
    ASSERT_TRUE(setup.Start(MediaFolder() + "\\setup.exe"));
    ASSERT_NE(StartCopy(setup, typed, typed + "\\IthraSS", true), nullptr);
    Reply(setup.Id(), kProduct, L"レジストリの設定でエラーが起こりました。", IDOK);
    EXPECT_EQ(setup.Button(), L"アンインストール");
    EXPECT_TRUE(Exists(typed + "\\IthraSS\\setup.exe"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

    // The files are in place and the log knows them: the dialog can still take them away.
    setup.Uninstall();
    EXPECT_FALSE(Exists(typed));
    EXPECT_FALSE(Exists(SystemFolder() + "\\nimbra.scr"));
    setup.Quit();
}
