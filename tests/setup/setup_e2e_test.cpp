// The real setup.exe driven as a person would: installed and removed both ways, and stopped without loss.
#include "setup_driving.h"

using namespace setup_driving;

const wchar_t kAbandoned[] = L"Ithraスクリーンセーバー|インストール作業を中断しました。";
const wchar_t kInstalled[] = L"インストールが完了しました。\n\n"
                             L"アンインストールはコントロールパネルの"
                             L"アプリケーションの追加と削除\n"
                             L"または、インストール元のセットアップから実行してください。";
const wchar_t kUninstallQuestion[] = L"アンインストールを実行してもよろしいですか？";

std::wstring Confirm(const std::string& folder)
{
    return L"確認|" + Wide(folder) + L" にインストールします。よろしいですか？";
}
std::wstring Create(const std::string& folder)
{
    return L"コピー|フォルダ " + Wide(folder) + L" は存在しません。\n作成しますか？";
}

class SetupE2e : public ::testing::Test {
protected:
    void Start(const std::string& folder)
    {
        ASSERT_TRUE(setup_.Start("\"" + folder + "\\setup.exe\""));
        main_ = WaitForDialog(setup_.Id(), L"Ithraスクリーンセーバー セットアップ ", 102);
        ASSERT_NE(main_, nullptr);
    }
    DWORD Id() const { return setup_.Id(); }
    void Ask(const std::wstring& text, int button) { Reply(Id(), std::wstring(kProduct) + L"|" + text, button); }
    std::wstring Button() const { return e2e::ControlText(main_, 102); }
    HWND FolderDialog()
    {
        Press(main_, 102);
        Ask(L"インストールを実行してもよろしいですか？", IDYES);
        return WaitForDialog(Id(), L"インストール先の選択", 201);
    }
    // Types the folder, says Yes to it and to making it; returns the copy dialog.
    HWND Choose(HWND dialog, const std::string& typed, const std::string& completed, bool creates)
    {
        SetDlgItemTextW(dialog, 201, Wide(typed).c_str());
        Press(dialog, IDOK);
        Reply(Id(), Confirm(completed), IDYES);
        if (creates) Reply(Id(), Create(completed), IDYES);
        return WaitForDialog(Id(), L"コピー", 301);  // a box may have the same caption
    }
    static bool Installed(const std::string& folder)
    {
        return Exists(folder) || Exists(SystemFolder() + "\\nimbra.scr") || KeyExists(HKEY_CURRENT_USER, kUserKey) ||
               KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    e2e::BoxesExpected boxes_;  // every box of the installer is answered by the test, or named by Reply
    CleanMachine clean_;
    e2e::TempFolder temp_;
    e2e::Process setup_;
    HWND main_ = nullptr;
};

static std::string MediaFolder()
{
    char full[MAX_PATH];
    return std::string(full, GetFullPathNameA(e2e::BesideTest("..\\media").c_str(), sizeof full, full, nullptr));
}

TEST_F(SetupE2e, InstalledUsedRemovedInstalledAgainAndRemovedThroughWindowsList)
{
    const std::string media = MediaFolder();
    const std::string created = temp_.Path() + "\\ソフト x";  // trail bytes 0x5C, a blank
    const std::string typed = created + "\\表示";
    const std::string folder = typed + "\\IthraSS";
    Start(media);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Button(), L"インストール");
        HWND dialog = FolderDialog();
        EXPECT_EQ(e2e::ControlText(dialog, 201), Wide(DefaultFolder()));  // proposed again in the second round
        ASSERT_NE(Choose(dialog, typed, folder, true), nullptr);
        Ask(kInstalled, IDOK);
        EXPECT_EQ(Button(), L"アンインストール");
        EXPECT_EQ(ReadText(SystemFolder() + "\\nimbra.scr"), ReadText(media + "\\nimbra.scr"));
        EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUserKey, "SetupPath"), media);
        EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Ithraスクリーンセーバー");
        if (round == 1) break;
        Press(main_, 102);
        Ask(kUninstallQuestion, IDYES);
        Ask(L"アンインストールが完了しました。", IDOK);
        EXPECT_FALSE(Installed(created));  // the folders made too, which the log names
    }
    Press(main_, 998);  // "終了" quits without a question
    EXPECT_EQ(setup_.Wait(Patience(5000)), 0);

    // As Windows starts it: the stored command as it stands, unquoted although the folder has blanks; the
    // uninstaller reads the install folder from "Path".
    e2e::Process relocation;
    ASSERT_TRUE(relocation.Start(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString")));
    EXPECT_EQ(relocation.Wait(Patience(10000)), 0);
    DWORD uninstaller = Reply(0, L"セットアップ|アンインストールを実行します.", IDOK);
    const std::wstring uninstallCaption = L"Ithraスクリーンセーバー - アンインストール|";
    Reply(uninstaller, uninstallCaption + kUninstallQuestion, IDYES);
    Reply(uninstaller, std::wstring(kProduct) + L"|アンインストールに成功しました。", IDOK);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, uninstaller);  // ends once the box is answered
    EXPECT_EQ(WaitForSingleObject(process, Patience(10000)), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(process);
    EXPECT_FALSE(Installed(created));  // the installed setup.exe and the folders too
    EXPECT_EQ(ReadText(SystemFolder() + "\\unithra.exe"), ReadText(media + "\\setup.exe"));
    EXPECT_NE(PendingDeletions().find("unithra.exe"), std::string::npos);
}

TEST_F(SetupE2e, WhatStopsAnInstallationShowsWhyAndKeepsWhatWasThere)
{
    const std::string media = temp_.Path() + "\\media";
    const std::string folder = temp_.Path() + "\\dest\\IthraSS";
    CreateDirectoryA(media.c_str(), nullptr);
    CopyFileA((MediaFolder() + "\\setup.exe").c_str(), (media + "\\setup.exe").c_str(), FALSE);
    e2e::WriteFileBytes(media + "\\setup.ini", "#copystart\r\nsetup.exe\r\nnothere.bmp\r\n");
    e2e::Process failing;
    ASSERT_TRUE(failing.Start("\"" + media + "\\setup.exe\""));
    Reply(failing.Id(), L"エラー|" + Wide(media) + L"\\nothere.bmp のファイルが見つかりません", IDOK);
    Reply(failing.Id(), L"Setup|" + Wide(media) + L"\\setup.ini が見つかりません", IDOK);
    Reply(failing.Id(), std::wstring(kProduct) + L"|セットアップの起動に失敗しました", IDOK);
    EXPECT_EQ(failing.Wait(5000), -1);  // its exit code
    e2e::WriteFileBytes(media + "\\setup.ini", "#copystart\r\nsmall.txt\r\nbig.bin\r\n");
    e2e::WriteFileBytes(media + "\\small.txt", "small");
    HANDLE big = CreateFileA((media + "\\big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetFilePointer(big, 256 << 20, nullptr, FILE_BEGIN);  // long to copy; sparse, so quick to make
    SetEndOfFile(big);
    CloseHandle(big);
    Start(media);

    // At the folder dialog an empty folder brings back the proposal.
    HWND dialog = FolderDialog();
    EXPECT_EQ(e2e::ControlText(dialog, 202), L"インストールに必要な容量は、約 256.0 MBです");
    SetDlgItemTextW(dialog, 201, L"");
    Press(dialog, IDOK);
    const std::wstring invalid = L"Setup error|指定されたフォルダー :\n\n   \n\n"
                                 L"は、無効です。もう一度やりなおしてください。"
                                 L"\n例えば\n\n   ";
    Reply(Id(), invalid + Wide(DefaultFolder()), IDOK);
    EXPECT_EQ(e2e::ControlText(dialog, 201), Wide(DefaultFolder()));
    Press(dialog, IDCANCEL);
    Reply(Id(), kAbandoned, IDOK);

    // A cancel during the big file, whose older copy stays.
    CreateDirectoryA((temp_.Path() + "\\dest").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    e2e::WriteFileBytes(folder + "\\big.bin", "older");
    HWND copy = Choose(FolderDialog(), folder, folder, false);
    for (DWORD start = GetTickCount(); IsWindow(copy) && GetTickCount() - start < Patience(10000); Sleep(1))
        if (e2e::ControlText(copy, 304).find(L"big.bin") != std::wstring::npos) break;
    PostMessageW(copy, WM_COMMAND, IDCANCEL, 0);
    Reply(Id(), kAbandoned, IDOK);
    EXPECT_EQ(ReadText(folder + "\\big.bin"), "older");
    EXPECT_EQ(Button(), L"インストール");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    // Nothing left of the cancelled copies.
    EXPECT_EQ(e2e::FileNames(folder), (Strings{"big.bin", "small.txt", "undelete.ini"}));

    PostMessageW(main_, WM_CLOSE, 0, 0);
    Ask(L"終了してもよろしいですか？", IDYES);
    EXPECT_EQ(setup_.Wait(Patience(5000)), 0);
}
