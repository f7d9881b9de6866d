#include "module/registrar.h"

#include "tests/module/registry_probe.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include "platform/system/native/registry_store.h"
#endif

namespace {

const std::string kTestsRoot = "Software\\ZelDMAgentTests";

// Each test works in a key of its own under HKCU.
class Registrar : public testing::Test {
protected:
    void SetUp() override {
        UseFreshRegistryForThisTest();
        m_key = kTestsRoot + "\\" + testing::UnitTest::GetInstance()->current_test_info()->name();
        DeleteTree(HKEY_CURRENT_USER, m_key);
    }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, m_key); }

    // Wraps items in the test's own key, which the script never removes.
    std::string Script(const std::string& items) const {
        return "HKCU { NoRemove Software { NoRemove ZelDMAgentTests { NoRemove '" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "' { " + items +
               " } } } }";
    }
    HRESULT Run(const std::string& items, RegistryScriptMode mode) {
        return RunRegistryScript(Script(items), mode, {{"MODULE", "C:\\it's\\agent.dll"}});
    }
    std::string Key(const std::string& sub) const { return m_key + "\\" + sub; }

    std::string m_key;
};

TEST_F(Registrar, RegisterWritesKeysDefaultsAndNamedValues) {
    ASSERT_HR(S_OK, Run("App = s 'Main' { Server = s '%MODULE%' { val Model = s 'Apartment' val Flags = d 0x10 } }",
                  RegistryScriptMode::Register));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, Key("App")), "Main");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, Key("App\\Server")), "C:\\it's\\agent.dll");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, Key("App\\Server"), "Model"), "Apartment");
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, Key("App\\Server"), "Flags"), 0x10u);
}

TEST_F(Registrar, ForceRemoveReplacesTheWholeTreeOnRegister) {
    const std::string items = "ForceRemove Forced = s 'F' { Kept = s 'k' } Plain = s 'P'";
    ASSERT_HR(S_OK, Run(items, RegistryScriptMode::Register));
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, Key("Forced\\Stale\\Deeper"))) << "Forced\\Stale\\Deeper";
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, Key("Plain\\Extra"))) << "Plain\\Extra";

    ASSERT_HR(S_OK, Run(items, RegistryScriptMode::Register));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key("Forced\\Stale"))) << "Forced\\Stale";
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, Key("Forced\\Kept")), "k");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, Key("Forced")), "F");
    // Without ForceRemove registration only adds.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key("Plain\\Extra"))) << "Plain\\Extra";
}

TEST_F(Registrar, UnregisterDeletesTreesButKeepsNoRemoveKeys) {
    const std::string items = "Gone = s 'g' { Child = s 'c' } NoRemove Shared { Mine = s 'm' }";
    ASSERT_HR(S_OK, Run(items, RegistryScriptMode::Register));
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, Key("Gone\\Unlisted"))) << "Gone\\Unlisted";
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, Key("Shared\\Others"))) << "Shared\\Others";

    ASSERT_HR(S_OK, Run(items, RegistryScriptMode::Unregister));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key("Gone"))) << "Gone";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key("Shared\\Mine"))) << "Shared\\Mine";
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key("Shared\\Others"))) << "Shared\\Others";
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, m_key)) << m_key;

    // Nothing left to remove is no failure.
    EXPECT_HR(S_OK, Run(items, RegistryScriptMode::Unregister));
}

#ifndef _WIN32
// A key the registry will not let go of is reported, and every other key of
// the script still goes.
TEST_F(Registrar, UnregisterGoesOnPastAKeyTheRegistryRefuses) {
    const std::string items = "First = s '1' NoRemove Shared { Mine = s 'm' } Last = s 'l'";
    const struct {
        const char* call;
        const char* key;   // where the registry fails
        const char* kept;  // what is left
    } cases[] = {{"RegDeleteTreeA", "First", "First"},
                 {"RegOpenKeyExA", "Shared", "Shared\\Mine"},
                 {"RegDeleteTreeA", "Shared\\Mine", "Shared\\Mine"}};
    for (const auto& c : cases) {
        ASSERT_HR(S_OK, Run(items, RegistryScriptMode::Register));
        regstore::InjectFault(c.call, "HKCU\\" + Key(c.key), ERROR_ACCESS_DENIED);
        EXPECT_HR(E_ACCESSDENIED, Run(items, RegistryScriptMode::Unregister)) << c.key;
        regstore::ClearFault();
        for (const std::string key : {"First", "Shared\\Mine", "Last"})
            EXPECT_EQ(key == c.kept, KeyExists(HKEY_CURRENT_USER, Key(key))) << c.call << " " << c.key << ": " << key;
    }

    // The same between the keys at the top of a hive.
    const std::string topLevel = "HKCU { ZelFirst = s '1' ZelLast = s 'l' }";
    ASSERT_HR(S_OK, RunRegistryScript(topLevel, RegistryScriptMode::Register, {}));
    regstore::InjectFault("RegDeleteTreeA", "HKCU\\ZelFirst", ERROR_ACCESS_DENIED);
    EXPECT_HR(E_ACCESSDENIED, RunRegistryScript(topLevel, RegistryScriptMode::Unregister, {}));
    regstore::ClearFault();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "ZelFirst"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "ZelLast"));
}
#endif

TEST_F(Registrar, ScriptErrorChangesNothing) {
    EXPECT_HR(E_INVALIDARG, Run("First = s 'one' Second = s 'unterminated", RegistryScriptMode::Register));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, m_key)) << m_key;
}

}  // namespace
