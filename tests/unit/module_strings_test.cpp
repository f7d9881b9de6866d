// The module's string table and the context that selects it.
#include "platform/com/module_context.h"

#include "platform/com/string_ids.h"
#include "tests/support/user_messages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
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

#ifndef _WIN32
// The native table is a copy of the resource script's; it must not drift.
TEST_F(ModuleStrings, NativeTableHoldsTheResourceScriptsTexts) {
    std::ifstream script(ZEL_SOURCE_DIR "/module/strings.rc");
    ASSERT_TRUE(script) << ZEL_SOURCE_DIR "/module/strings.rc";
    const std::map<std::string, unsigned> ids = {
        {"IDS_PROJNAME", IDS_PROJNAME},
        {"IDS_LAYER_WRITE_FAILED", IDS_LAYER_WRITE_FAILED},
        {"IDS_NO_MARKUP_PERMISSION", IDS_NO_MARKUP_PERMISSION},
        {"IDS_MARKUP_SAVED_TO_FILE_SYSTEM", IDS_MARKUP_SAVED_TO_FILE_SYSTEM},
        {"IDS_SAVE_NO_COMMAND", IDS_SAVE_NO_COMMAND},
        {"IDS_SAVE_UNSAFE_LAUNCH_VALUE", IDS_SAVE_UNSAFE_LAUNCH_VALUE},
        {"IDS_SAVE_UNSAFE_FILE_NAME", IDS_SAVE_UNSAFE_FILE_NAME},
        {"IDS_SAVE_COMMAND_TOO_LONG", IDS_SAVE_COMMAND_TOO_LONG},
        {"IDS_SAVE_PROGRAM_NOT_ALLOWED", IDS_SAVE_PROGRAM_NOT_ALLOWED},
        {"IDS_SAVE_NOT_STARTED", IDS_SAVE_NOT_STARTED},
        {"IDS_SAVE_NO_PROGRAM_ALLOWED", IDS_SAVE_NO_PROGRAM_ALLOWED},
        {"IDS_SAVE_PROGRAM_NOT_FULL_PATH", IDS_SAVE_PROGRAM_NOT_FULL_PATH},
    };
    ModuleContextGuard context;
    size_t entries = 0;
    for (std::string line; std::getline(script, line);) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        const auto id = ids.find(name);
        if (id == ids.end()) continue;
        const size_t open = line.find('"');
        const size_t close = line.rfind('"');
        ASSERT_LT(open, close) << line;
        EXPECT_EQ(line.substr(open + 1, close - open - 1), LoadModuleString(id->second)) << name;
        ++entries;
    }
    EXPECT_EQ(entries, ids.size());
}
#endif

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
