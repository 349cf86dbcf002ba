// Registry values the installer reads back under Wine, and its deletions; both keys are put back as
// they were afterwards. (The values of a whole installation are checked end to end.)
#include "installer_fixture.h"

#include "setup/registration.h"

using setup_driving::KeyExists;
using setup_driving::kUninstallKey;
using setup_driving::kUserKey;

namespace {

class Registration : public InstallerTest {
protected:
    Registration() : user_(HKEY_CURRENT_USER, kUserKey), machine_(HKEY_LOCAL_MACHINE, kUninstallKey)
    {
        e2e::DeleteKeyTree(HKEY_CURRENT_USER, kUserKey);
        e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
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

TEST_F(Registration, OnlyAUsablePerUserPathCountsAsInstalled)
{
    // The entry in Windows' list alone is no installation.
    snprintf(state_.installFolder, kPathBytes, "C:\\x");
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    snprintf(state_.installFolder, kPathBytes, "unchanged");
    EXPECT_EQ(ReadInstallPath(state_), -1);

    struct {
        DWORD type;
        std::string data;
    } refused[] = {{REG_DWORD, std::string(4, '\0')}, {REG_SZ, std::string(1, '\0')},
                   {REG_SZ, "C:\\" + std::string(300, 'p') + '\0'}};
    for (const auto& value : refused) {
        SetValue("Path", value.type, value.data);
        EXPECT_EQ(ReadInstallPath(state_), -1) << value.data.size();
    }
    EXPECT_STREQ(state_.installFolder, "unchanged");
    // A value stored without its zero byte is still read whole.
    SetValue("Path", REG_SZ, "C:\\表示");
    EXPECT_EQ(ReadInstallPath(state_), 0);
    EXPECT_STREQ(state_.installFolder, "C:\\表示");
}

TEST_F(Registration, DeletingTakesTheSaversSettingsAlongAndCanBeRepeated)
{
    ASSERT_EQ(WriteInstallPath(state_), 0);
    ASSERT_EQ(WriteUninstallEntry(state_), 0);
    SetValue("Fit Screen", REG_DWORD, std::string(4, '\1'));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(DeleteInstallPathKey(state_), 0);
        EXPECT_EQ(DeleteUninstallEntry(state_), 0);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserKey));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    }
}
