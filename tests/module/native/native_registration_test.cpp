// Native registration: the same script through the same registrar, into the
// native registry store.

#include "tests/module/agent_module_loader.h"
#include "tests/module/agent_registration_checks.h"
#include "tests/module/registry_probe.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

class NativeRegistration : public testing::Test {
protected:
    void SetUp() override {
        UseFreshRegistryForThisTest();
        ASSERT_TRUE(m_module.Loaded()) << m_module.Path();
        char resolved[PATH_MAX];
        ASSERT_NE(realpath(m_module.Path().c_str(), resolved), nullptr);
        m_path = resolved;
        ASSERT_HR(S_OK, m_module.registerServer());
    }
    AgentModuleLoader m_module;
    std::string m_path;
};

TEST_F(NativeRegistration, RegisterWritesEveryEntry) { ExpectAgentRegistered(m_path); }

TEST_F(NativeRegistration, RegisteringAgainRemovesStaleSubkeysOfTheClassKey) {
    ASSERT_TRUE(CreateKey(HKEY_CLASSES_ROOT, kClassKey + "\\Stale\\Deeper")) << kClassKey;
    ASSERT_HR(S_OK, m_module.registerServer());
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Stale")) << kClassKey;
    ExpectAgentRegistered(m_path);
}

TEST_F(NativeRegistration, UnregisterRemovesTheClassAndItsProgIds) {
    ASSERT_HR(S_OK, m_module.unregisterServer());
    ExpectAgentUnregistered();
    EXPECT_HR(S_OK, m_module.unregisterServer()) << "twice";
}

}  // namespace
