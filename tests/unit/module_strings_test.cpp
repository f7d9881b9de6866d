// The module's string table and the context that selects it.
#include "platform/com/module_context.h"

#include "platform/com/string_ids.h"
#include "tests/support/user_messages.h"

#include <gtest/gtest.h>

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The test executable carries the same string table as the agent module.
class ModuleStrings : public testing::Test {
protected:
    void SetUp() override {
        m_saved = AgentModule();
#ifdef _WIN32
        SetAgentModule(GetModuleHandleA(nullptr));
#else
        SetAgentModule(&m_saved);
#endif
    }
    void TearDown() override { SetAgentModule(m_saved); }

    ResourceModule m_saved = nullptr;
};

// Every message, the refusals that say why a save did not reach the PDM
// included, loads word for word.
TEST_F(ModuleStrings, LoadExactlyInsideTheAgentsContext) {
    ModuleContextGuard context;
    for (const auto& [id, text] : kUserMessages) EXPECT_EQ(LoadModuleString(id), text) << id;
    EXPECT_EQ(LoadModuleString(999), "");
}

#ifdef _WIN32
TEST_F(ModuleStrings, NothingLoadsWithoutAModule) {
    ASSERT_EQ(CurrentResourceModule(), nullptr);
    EXPECT_EQ(LoadModuleString(IDS_NO_MARKUP_PERMISSION), "");
}
#endif

TEST_F(ModuleStrings, GuardPutsTheCallersModuleBackOnEveryWayOut) {
    int callerModule = 0;
    int otherModule = 0;
    const ResourceModule agent = AgentModule();
    ASSERT_EQ(CurrentResourceModule(), nullptr);
    {
        ModuleContextGuard outer;
        EXPECT_EQ(CurrentResourceModule(), agent);
        SetAgentModule(&callerModule);
        {
            ModuleContextGuard inner;
            EXPECT_EQ(CurrentResourceModule(), &callerModule);
            SetAgentModule(&otherModule);
        }
        EXPECT_EQ(CurrentResourceModule(), agent);
    }
    EXPECT_EQ(CurrentResourceModule(), nullptr);

    SetAgentModule(agent);
    EXPECT_THROW(
        {
            ModuleContextGuard context;
            throw std::runtime_error("leaves early");
        },
        std::runtime_error);
    EXPECT_EQ(CurrentResourceModule(), nullptr);
}

}  // namespace
