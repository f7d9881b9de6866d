// Registration through regsvr32 into the test prefix's registry. Each test
// registers first, so none depends on another having run.

#include "tests/module/agent_registration_checks.h"
#include "tests/module/registry_probe.h"
#include "tests/module/regsvr32_runner.h"

#include <gtest/gtest.h>

namespace {

class Regsvr32Registration : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RunRegsvr32(false), 0); }
};

TEST_F(Regsvr32Registration, WritesEveryEntryAndTheTypeLibrary) {
    ExpectAgentRegistered(AgentModulePath());
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0")) << kTypeLibKey;
}

TEST_F(Regsvr32Registration, RegisteringAgainRemovesStaleSubkeysOfTheClassKey) {
    ASSERT_TRUE(CreateKey(HKEY_CLASSES_ROOT, kClassKey + "\\Stale\\Deeper")) << kClassKey;
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Stale")) << kClassKey;
    ExpectAgentRegistered(AgentModulePath());
}

TEST_F(Regsvr32Registration, UnregisterKeepsCLSIDAndTheTypeLibrary) {
    ASSERT_EQ(RunRegsvr32(true), 0);
    ExpectAgentUnregistered();
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0")) << kTypeLibKey;
    EXPECT_EQ(RunRegsvr32(true), 0) << "unregistering twice";
}

}  // namespace
