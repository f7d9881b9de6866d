// The agent data the stand-in viewer keeps: what the agent writes must come
// back, through the markup manager and through a saved file, byte for byte.
#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "viewer/sim_control.h"
#include "interfaces/guids.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr GUID kOtherOwner = {0x01020304, 0x0506, 0x0708, {1, 2, 3, 4, 5, 6, 7, 8}};

class ViewerAgentDataTest : public testing::Test {
protected:
    void SetUp() override {
        nuvsim::ResetViewer();
        m_file = (std::filesystem::temp_directory_path() /
                  ("nuvsim-data-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name())))
                     .string();
        ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(m_helper.put())));
        ASSERT_HR(S_OK, m_helper->GetMarkupManager(m_manager.put()));
        ASSERT_HR(S_OK, m_helper.query(m_lookup));
    }

    void TearDown() override {
        m_manager.reset();
        m_lookup.reset();
        m_helper.reset();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
        std::remove(m_file.c_str());
    }

    HRESULT Set(LONG block, LONG entry, const std::string& text) {
        LONG size = static_cast<LONG>(text.size()) + 1;
        return m_manager->SetAgentString(&GUID_AgentDataOwner, block, entry, &size, text.c_str());
    }

    HRESULT Get(LONG block, LONG entry, std::string* text, LONG size = 1024) {
        std::string buffer(static_cast<size_t>(size) + 1, '?');
        const HRESULT hr = m_manager->GetAgentString(&GUID_AgentDataOwner, block, entry, &size, buffer.data());
        *text = buffer.c_str();
        return hr;
    }

    std::string m_file;
    ComPtr<IAgentHelper> m_helper;
    ComPtr<IMarkupManager> m_manager;
    ComPtr<IDocumentLookup> m_lookup;
};

TEST_F(ViewerAgentDataTest, EntriesComeBackCutToTheBuffer) {
    ASSERT_HR(S_OK, Set(0, 0, "[ServerFile]ServerPath"));
    ASSERT_HR(S_OK, Set(0, 1, "D:\\in\\a.xml"));
    std::string text;
    EXPECT_HR(S_OK, Get(0, 1, &text));
    EXPECT_EQ("D:\\in\\a.xml", text);
    EXPECT_HR(S_OK, Get(0, 0, &text, 7));
    EXPECT_EQ("[Serve", text);
    // The size counts the terminator: the stored text ends within it.
    LONG size = 4;
    ASSERT_HR(S_OK, m_manager->SetAgentString(&GUID_AgentDataOwner, 0, 2, &size, "abcdef"));
    EXPECT_HR(S_OK, Get(0, 2, &text));
    EXPECT_EQ("abcd", text);

    // Unterminated, the whole buffer is filled.
    nuvsim::Config config = nuvsim::GetConfig();
    config.unterminatedAgentStrings = true;
    nuvsim::SetConfig(config);
    EXPECT_HR(S_OK, Get(0, 2, &text, 6));
    EXPECT_EQ("abcd##?", text);
    EXPECT_HR(S_OK, Get(0, 0, &text, 4));
    EXPECT_EQ("[Ser?", text);
}

TEST_F(ViewerAgentDataTest, MissingEntriesBlocksAndOwnersFail) {
    ASSERT_HR(S_OK, Set(0, 0, "x"));
    std::string text;
    EXPECT_HR_FAILED(Get(0, 1, &text));
    EXPECT_HR_FAILED(Get(1, 0, &text));
    char buffer[8];
    LONG size = 8;
    EXPECT_HR_FAILED(m_manager->GetAgentString(&kOtherOwner, 0, 0, &size, buffer));
    EXPECT_HR(E_POINTER, m_manager->GetAgentString(nullptr, 0, 0, &size, buffer));
    EXPECT_HR(E_POINTER, m_manager->SetAgentString(&GUID_AgentDataOwner, 0, 0, &size, nullptr));
    EXPECT_HR(E_INVALIDARG, Set(-1, 0, "x"));
}

TEST_F(ViewerAgentDataTest, DocumentKeysMapToBlocks) {
    ASSERT_HR(S_OK, Set(0, 0, "x"));
    ASSERT_HR(S_OK, Set(2, 0, "y"));
    nuvsim::MapDocumentKey(7, 8, 5);
    const LONG mapped[2] = {7, 8};
    const LONG fresh[2] = {1, 1};
    const LONG another[2] = {1, 2};
    LONG block = -1;
    EXPECT_HR(S_OK, m_lookup->GetDocumentIndex(mapped, &block));
    EXPECT_EQ(5, block);
    // A new key gets a block that neither a mapping nor stored data uses.
    EXPECT_HR(S_OK, m_lookup->GetDocumentIndex(fresh, &block));
    EXPECT_EQ(6, block);
    EXPECT_HR(S_OK, m_lookup->GetDocumentIndex(another, &block));
    EXPECT_EQ(7, block);
    EXPECT_HR(S_OK, m_lookup->GetDocumentIndex(fresh, &block));
    EXPECT_EQ(6, block);
    EXPECT_HR(E_POINTER, m_lookup->GetDocumentIndex(nullptr, &block));
}

TEST_F(ViewerAgentDataTest, ASavedFileRestoresEveryByteAndTheKeyMap) {
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 0, "[ViewList]Markup0");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 1, "D:\\m\\a b%20.xml");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 3, 10, everyByte);
    nuvsim::SetAgentData(GUID_AgentDataOwner, 3, 11, "");
    nuvsim::SetAgentData(kOtherOwner, 0, 0, " =\r\n entry ");
    nuvsim::MapDocumentKey(0, 1, 3);
    nuvsim::MapDocumentKey(-4, 2147483647, 0);
    const auto entries = nuvsim::AgentDataEntries();
    const auto mappings = nuvsim::DocumentKeyMappings();
    ASSERT_HR(S_OK, nuvsim::SaveAgentData(m_file));

    nuvsim::ClearAgentData();
    EXPECT_THAT(nuvsim::AgentDataEntries(), testing::IsEmpty());
    ASSERT_HR(S_OK, nuvsim::LoadAgentData(m_file));
    EXPECT_EQ(entries, nuvsim::AgentDataEntries());
    EXPECT_EQ(mappings, nuvsim::DocumentKeyMappings());
    std::string text;
    EXPECT_HR(S_OK, Get(0, 1, &text));
    EXPECT_EQ("D:\\m\\a b%20.xml", text);
}

TEST_F(ViewerAgentDataTest, ABadFileChangesNothing) {
    nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 0, "kept");
    const auto before = nuvsim::AgentDataEntries();
    EXPECT_HR_FAILED(nuvsim::LoadAgentData(m_file + ".absent"));
    std::ofstream(m_file, std::ios::binary) << "NUVSIM-AGENT-DATA 1\nentry {5E392271-14BB-5E91-C142-17FC9E502C30} 0 0 =new\n"
                                               "entry {5E392271-14BB-5E91-C142-17FC9E502C30} 0 1 =bad%4\n";
    EXPECT_HR_FAILED(nuvsim::LoadAgentData(m_file));
    std::ofstream(m_file, std::ios::binary) << "something else\n";
    EXPECT_HR_FAILED(nuvsim::LoadAgentData(m_file));
    EXPECT_EQ(before, nuvsim::AgentDataEntries());
}

}  // namespace
