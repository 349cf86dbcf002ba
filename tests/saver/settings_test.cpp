// The saver's registry settings, read and written in this process's registry.
#include <gtest/gtest.h>

#include <cstring>

#include "e2e.h"
#include "saver/settings.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : saver_(HKEY_CURRENT_USER, kSaverKey), system_(HKEY_CURRENT_USER, kSystemSaverKey)
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSaverKey);
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSystemSaverKey);
        memset(slideFolder, 0, sizeof slideFolder);
    }

    static void Set(const char* keyName, const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void SetDword(const char* keyName, const char* name, DWORD value)
    {
        Set(keyName, name, REG_DWORD, &value, sizeof value);
    }

    e2e::RegistrySnapshot saver_;
    e2e::RegistrySnapshot system_;
};

std::string CurrentFolder()
{
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

}  // namespace

TEST_F(SettingsTest, SystemValuesDefaultWhenMissing)
{
    TSaverSettings s;
    s.muteSound = 7;
    s.passwordActive = 1;
    s.ReadSystemSettings();
    EXPECT_EQ(s.passwordDelay, 15u);
    EXPECT_EQ(s.mouseThreshold, 50);
    EXPECT_EQ(s.muteSound, 7u);
    EXPECT_EQ(s.passwordActive, 0);
}

TEST_F(SettingsTest, SystemValuesReadAsFourBytesWhateverTheirType)
{
    SetDword(kSystemSaverKey, "Password Delay", 0);
    BYTE threshold[4] = {3, 0, 0, 0};
    Set(kSystemSaverKey, "Mouse Threshold", REG_BINARY, threshold, 4);
    SetDword(kSystemSaverKey, "Mute Sound", 1);
    TSaverSettings s;
    s.ReadSystemSettings();
    EXPECT_EQ(s.passwordDelay, 0u);
    EXPECT_EQ(s.mouseThreshold, 3);
    EXPECT_EQ(s.muteSound, 1u);

    // Longer than four bytes: the default stays.
    Set(kSystemSaverKey, "Password Delay", REG_SZ, "123456789", 10);
    s.ReadSystemSettings();
    EXPECT_EQ(s.passwordDelay, 15u);
}

TEST_F(SettingsTest, PathReadAndUnusablePathsFallBackToCurrentFolder)
{
    Set(kSaverKey, "Path", REG_SZ, "C:\\Slides\\表示", 15);
    TSaverSettings s;
    s.ReadSettings();
    EXPECT_STREQ(slideFolder, "C:\\Slides\\表示");

    std::string tooLong(300, 'a');
    Set(kSaverKey, "Path", REG_SZ, tooLong.c_str(), 301);
    s.ReadSettings();
    EXPECT_EQ(std::string(slideFolder), CurrentFolder());

    // 260 bytes without a terminating zero must not run off the buffer.
    std::string full(MAX_PATH, 'b');
    Set(kSaverKey, "Path", REG_BINARY, full.data(), MAX_PATH);
    s.ReadSettings();
    EXPECT_EQ(std::string(slideFolder), CurrentFolder());
}

TEST_F(SettingsTest, WriteStoresFitScreenAndTheWholePathBuffer)
{
    TSaverSettings s;
    s.fitScreen = 1;
    strcpy(slideFolder, "D:\\ソフト\\show");
    s.WriteSettings();

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSaverKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, fit = 0, size = sizeof fit;
    ASSERT_EQ(RegQueryValueExA(key, "Fit Screen", nullptr, &type, reinterpret_cast<BYTE*>(&fit), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(fit, 1u);
    char path[MAX_PATH + 10] = {};
    size = sizeof path;
    ASSERT_EQ(RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(path), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, static_cast<DWORD>(MAX_PATH));
    EXPECT_STREQ(path, "D:\\ソフト\\show");

    // And it reads back the same.
    memset(slideFolder, 0, sizeof slideFolder);
    TSaverSettings t;
    t.ReadSettings();
    EXPECT_EQ(t.fitScreen, 1u);
    EXPECT_STREQ(slideFolder, "D:\\ソフト\\show");
}
