// The settings value the agent shares with the viewer.
#include "platform/system/registry.h"

#include "platform/system/registry_api.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {


std::optional<DWORD> ReadDword(const std::string& keyPath, const char* name) {
    UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

void WriteDword(const std::string& valuePath, DWORD value, bool cut = false) {
    WriteRegistryValue(HKEY_CURRENT_USER, valuePath, REG_DWORD, &value, sizeof value, cut);
}

class RegistrySettings : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, m_rootParent.c_str()); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, m_rootParent.c_str()); }

    // A key of each test's own: under Wine the tests run side by side in one
    // registry, and one test's clean-up must not wipe another's key.
    const std::string m_rootParent =
        std::string("Software\\ZelPlatformTest-") + testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string m_root = m_rootParent + "\\Y";

    TempRegistry m_registry;
};

TEST_F(RegistrySettings, RootComesFromTheVariableUnlessUnsetOrEmpty) {
    {
        ScopedEnv env(kRegRootVariable, std::nullopt);
        EXPECT_EQ(SettingsRoot(), "Software\\Tarnex\\ZelView\\4.1\\");
    }
    {
        ScopedEnv env(kRegRootVariable, std::string());
        EXPECT_EQ(SettingsRoot(), kDefaultSettingsRoot);
    }
    ScopedEnv env(kRegRootVariable, m_root);
    EXPECT_EQ(SettingsRoot(), m_root);
}

TEST_F(RegistrySettings, PreserveExtensionsLandsBelowTheDefaultRoot) {
    ScopedEnv env(kRegRootVariable, std::nullopt);
    WriteDword(kPreserveExtensionsPath, 1);
    // The doubled backslash of the composed path names the same key.
    EXPECT_EQ(ReadDword("Software\\Tarnex\\ZelView\\4.1\\\\ZelPDM", "PreserveExtensions"), 1u);
    EXPECT_EQ(ReadDword("Software\\Tarnex\\ZelView\\4.1\\ZelPDM", "PreserveExtensions"), 1u);
    WriteDword(kPreserveExtensionsPath, 0);
    EXPECT_EQ(ReadDword("Software\\Tarnex\\ZelView\\4.1\\ZelPDM", "PreserveExtensions"), 0u)
        << "the second write replaces the first";
}

TEST_F(RegistrySettings, EmptyVariableUsesTheDefaultRoot) {
    ScopedEnv env(kRegRootVariable, std::string());
    WriteDword("\\ZelPDM\\PlatformTestEmptyRoot", 7);
    EXPECT_EQ(ReadDword("Software\\Tarnex\\ZelView\\4.1\\ZelPDM", "PlatformTestEmptyRoot"), 7u);
}

TEST_F(RegistrySettings, VariableMovesTheKeyAndTheCutFlagDropsItsLastName) {
    ScopedEnv env(kRegRootVariable, m_root);
    WriteDword(kPreserveExtensionsPath, 1);
    EXPECT_EQ(ReadDword(m_root + "\\ZelPDM", "PreserveExtensions"), 1u);

    WriteDword(kPreserveExtensionsPath, 2, true);
    EXPECT_EQ(ReadDword(m_rootParent + "\\ZelPDM", "PreserveExtensions"), 2u);
    EXPECT_EQ(ReadDword(m_root + "\\ZelPDM", "PreserveExtensions"), 1u);
}

TEST_F(RegistrySettings, ValuePathWithoutBackslashJoinsTheRootsLastName) {
    ScopedEnv env(kRegRootVariable, m_root);
    WriteDword("Flag", 3);
    EXPECT_EQ(ReadDword(m_rootParent, "YFlag"), 3u);
}

TEST_F(RegistrySettings, NothingIsWrittenWithoutAKeyOrData) {
    // A root and value path without any backslash name no key at all; the
    // value must not land in the hive itself.
    ScopedEnv env(kRegRootVariable, std::string("ZelPlatformTestNoKey"));
    WriteDword("Value", 4);
    EXPECT_EQ(ReadDword("", "ZelPlatformTestNoKeyValue"), std::nullopt);

    ScopedEnv moved(kRegRootVariable, m_root);
    WriteRegistryValue(HKEY_CURRENT_USER, "\\Null", REG_DWORD, nullptr, 4, false);
    EXPECT_EQ(ReadDword(m_root, "Null"), std::nullopt);
}

}  // namespace
