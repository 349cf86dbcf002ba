// Registry entries of an installation under Wine; both keys are put back as they were afterwards.
#include "installer_fixture.h"

#include "setup/registration.h"

namespace {

const char kUserKey[] = "software\\Varnel\\Ithra Saver";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ithraスクリーンセーバー";

class Registration : public InstallerTest {
protected:
    Registration() : user_(HKEY_CURRENT_USER, kUserKey), machine_(HKEY_LOCAL_MACHINE, kUninstallKey)
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey);
        e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    static bool KeyExists(HKEY root, const char* name)
    {
        HKEY key;
        if (RegOpenKeyExA(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    static std::string Value(HKEY root, const char* keyName, const char* name, DWORD* type = nullptr)
    {
        HKEY key;
        if (RegOpenKeyExA(root, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
        char data[1024] = {};
        DWORD size = sizeof data - 1;
        DWORD t = 0;
        LONG result = RegQueryValueExA(key, name, nullptr, &t, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (type) *type = t;
        return result == ERROR_SUCCESS ? std::string(data) : "<no value>";
    }

    static void SetValue(const char* name, DWORD type, const std::string& data)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }

    e2e::RegistrySnapshot user_;
    e2e::RegistrySnapshot machine_;
};

}  // namespace

TEST_F(Registration, KeyNamesAreJoinedFromTheStringTable)
{
    char name[512];
    ASSERT_EQ(UserKeyName(state_, name, sizeof name), 0);
    EXPECT_STREQ(name, kUserKey);
    ASSERT_EQ(UninstallKeyName(state_, name, sizeof name), 0);
    EXPECT_STREQ(name, kUninstallKey);
    char text[260];
    for (UINT id = 1000; id <= 1006; ++id) EXPECT_GT(LoadStringA(state_.instance, id, text, sizeof text), 0) << id;
}

TEST_F(Registration, WritesReadsAndDeletesBothKeys)
{
    snprintf(state_.installFolder, kPathBytes, "C:\\Program Files\\Varnel\\IthraSS");
    snprintf(state_.sourceFolder, kPathBytes, "D:\\ソフト");
    ASSERT_EQ(WriteInstallPath(state_), 0);
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    DWORD type = 0;
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kUserKey, "Path", &type), "C:\\Program Files\\Varnel\\IthraSS");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kUserKey, "SetupPath"), "D:\\ソフト");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Ithraスクリーンセーバー");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "C:\\Program Files\\Varnel\\IthraSS\\setup.exe /r");

    SetupState fresh{};
    fresh.instance = state_.instance;
    ASSERT_EQ(ReadInstallPath(fresh), 0);
    EXPECT_STREQ(fresh.installFolder, "C:\\Program Files\\Varnel\\IthraSS");

    // The saver's own settings live in the same key and go with it.
    SetValue("Fit Screen", REG_DWORD, std::string(4, '\1'));
    EXPECT_EQ(DeleteInstallPathKey(state_), 0);
    EXPECT_EQ(DeleteUninstallEntry(state_), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(DeleteInstallPathKey(state_), 0);
}

TEST_F(Registration, OnlyAUsablePerUserPathCountsAsInstalled)
{
    snprintf(state_.installFolder, kPathBytes, "C:\\x");
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    snprintf(state_.installFolder, kPathBytes, "unchanged");
    EXPECT_EQ(ReadInstallPath(state_), -1);

    SetValue("Path", REG_DWORD, std::string(4, '\0'));
    EXPECT_EQ(ReadInstallPath(state_), -1);
    SetValue("Path", REG_SZ, std::string(1, '\0'));
    EXPECT_EQ(ReadInstallPath(state_), -1);
    SetValue("Path", REG_SZ, "C:\\" + std::string(300, 'p') + '\0');
    EXPECT_EQ(ReadInstallPath(state_), -1);
    EXPECT_STREQ(state_.installFolder, "unchanged");
    // A value stored without its zero byte is still read whole.
    SetValue("Path", REG_SZ, "C:\\表示");
    EXPECT_EQ(ReadInstallPath(state_), 0);
    EXPECT_STREQ(state_.installFolder, "C:\\表示");
}
