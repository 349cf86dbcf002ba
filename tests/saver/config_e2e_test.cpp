// The real nimbra.scr in Configure mode and with switches that end the run, driven like a person.
#include <gtest/gtest.h>

#include "e2e.h"

namespace {

const char kKey[] = "Software\\Varnel\\Ithra Saver";
const wchar_t kCaption[] = L"ｽｸﾘｰﾝｾｰﾊﾞｰの設定";

struct Stored {
    bool keyExists = false;
    bool hasFit = false;
    DWORD fit = 0;
    bool hasPath = false;
    std::string path;
};

Stored ReadStored()
{
    Stored s;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return s;
    s.keyExists = true;
    DWORD size = sizeof s.fit;
    s.hasFit = RegQueryValueExA(key, "Fit Screen", nullptr, nullptr, reinterpret_cast<BYTE*>(&s.fit), &size) == ERROR_SUCCESS;
    char path[1024] = {};
    size = sizeof path - 1;
    s.hasPath = RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS;
    s.path = path;
    RegCloseKey(key);
    return s;
}

void WriteKey(const DWORD* fit, const char* path)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    if (fit) RegSetValueExA(key, "Fit Screen", 0, REG_DWORD, reinterpret_cast<const BYTE*>(fit), sizeof *fit);
    if (path) RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), static_cast<DWORD>(strlen(path) + 1));
    RegCloseKey(key);
}

class ConfigDialog : public ::testing::Test {
protected:
    ConfigDialog() : snapshot_(HKEY_CURRENT_USER, kKey) { e2e::DeleteKeyTree(HKEY_CURRENT_USER, kKey); }

    // Starts "nimbra.scr /c" in the temporary folder and returns its dialog.
    HWND Open()
    {
        std::string line = "\"" + e2e::BesideTest("nimbra.scr") + "\" /c";
        if (!saver_.Start(line, folder_.Path().c_str())) return nullptr;
        return e2e::FindWindowByCaption(kCaption, saver_.Id(), 10000);
    }

    e2e::RegistrySnapshot snapshot_;
    e2e::TempFolder folder_;
    e2e::Process saver_;
};

}  // namespace

TEST_F(ConfigDialog, ShowsItsTextsAndTicksForFitScreen)
{
    DWORD fit = 1;
    WriteKey(&fit, "C:\\show");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(e2e::ControlText(dialog, 1), L"OK");
    EXPECT_EQ(e2e::ControlText(dialog, 2), L"Cancel");
    EXPECT_EQ(e2e::ControlText(dialog, 1000), L"ﾃﾞｽｸﾄｯﾌﾟｻｲｽﾞに拡大");
    EXPECT_TRUE(e2e::IsChecked(dialog, 1000));

    // Unticking and OK stores 0; the folder stays.
    e2e::Click(dialog, 1000);
    e2e::Click(dialog, 1);
    EXPECT_EQ(saver_.Wait(5000), 0);
    Stored s = ReadStored();
    EXPECT_TRUE(s.hasFit);
    EXPECT_EQ(s.fit, 0u);
    EXPECT_EQ(s.path, "C:\\show");
}

TEST_F(ConfigDialog, TickingAndOkStoresFitScreen)
{
    DWORD fit = 0;
    WriteKey(&fit, "C:\\表示");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(e2e::IsChecked(dialog, 1000));
    e2e::Click(dialog, 1000);
    e2e::Click(dialog, 1);
    EXPECT_EQ(saver_.Wait(5000), 0);
    Stored s = ReadStored();
    EXPECT_EQ(s.fit, 1u);
    EXPECT_EQ(s.path, "C:\\表示");
}

TEST_F(ConfigDialog, CancelAndCloseBoxStoreNothing)
{
    DWORD fit = 0;
    WriteKey(&fit, "C:\\show");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    e2e::Click(dialog, 1000);
    e2e::Click(dialog, 2);
    EXPECT_EQ(saver_.Wait(5000), 0);
    EXPECT_EQ(ReadStored().fit, 0u);

    e2e::Process second;
    std::string line = "\"" + e2e::BesideTest("nimbra.scr") + "\" /c";
    ASSERT_TRUE(second.Start(line));
    dialog = e2e::FindWindowByCaption(kCaption, second.Id(), 10000);
    ASSERT_NE(dialog, nullptr);
    e2e::Click(dialog, 1000);
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(second.Wait(5000), 0);
    EXPECT_EQ(ReadStored().fit, 0u);
}

TEST_F(ConfigDialog, OkWithoutKeyCreatesItWithEmptyPath)
{
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    e2e::Click(dialog, 1);
    EXPECT_EQ(saver_.Wait(5000), 0);
    Stored s = ReadStored();
    EXPECT_TRUE(s.keyExists);
    EXPECT_TRUE(s.hasFit);
    EXPECT_EQ(s.fit, 0u);
    EXPECT_TRUE(s.hasPath);
    EXPECT_EQ(s.path, "");
}

TEST_F(ConfigDialog, OkWithKeyButNoPathStoresCurrentFolder)
{
    DWORD fit = 0;
    WriteKey(&fit, nullptr);
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    e2e::Click(dialog, 1);
    EXPECT_EQ(saver_.Wait(5000), 0);
    EXPECT_EQ(ReadStored().path, folder_.Path());
}

TEST(SaverSwitches, UnknownSwitchesEndAtOnceWithExitCodeZero)
{
    e2e::RegistrySnapshot snapshot(HKEY_CURRENT_USER, kKey);
    for (const char* sw : {" /x", " /", " -"}) {
        e2e::Process saver;
        ASSERT_TRUE(saver.Start("\"" + e2e::BesideTest("nimbra.scr") + "\"" + sw));
        EXPECT_EQ(saver.Wait(5000), 0) << sw;
    }
}
