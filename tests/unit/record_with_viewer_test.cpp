// The record and the agent data store against the stand-in viewer: a real
// launch file on disk, read through the viewer's own settings interfaces, and
// the viewer's own agent data.
#include "pdm/pdm_connection.h"
#include "viewer/sim_control.h"
#include "viewlist/agent_data_store.h"
#include "interfaces/guids.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

class RecordWithViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        nuvsim::ResetWorld();
        ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(helper.put())));
    }
    void TearDown() override {
        helper.reset();
        if (!launchFile.empty()) std::remove(launchFile.c_str());
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetWorld();
    }
    void WriteLaunchFile(const std::string& text) {
        launchFile = (std::filesystem::temp_directory_path() / "zel_pdm_record_launch.ini").string();
        std::ofstream(launchFile, std::ios::binary) << text;
        nuvsim::SetLaunchFile(launchFile);
    }

    ComPtr<IAgentHelper> helper;
    std::string launchFile;
};

TEST_F(RecordWithViewerTest, TheRecordReadsALaunchFile) {
    WriteLaunchFile(
        "[ServerFile]\r\n"
        "ImportPath=D:\\in\\a.xml\r\n"
        "session_id=S-17\r\n"
        "ViewMode=ViewOnly\r\n"
        "[ViewList]\r\n"
        "NumMarkups=2\r\n"
        "Markup0=http://server/get?object_id=A%2FB&ext=xml\r\n"
        "Markup_Permission0=write\r\n"
        "MarkupAccess0=read\r\n"
        "Markup1=D:\\m\\b.xml\r\n"
        "DMAgent=save.cmd\r\n");
    {
        CDMAgentConnection record;
        ASSERT_HR(S_OK, record.Attach(helper.get()));
        ASSERT_HR(S_OK, record.LoadMarkups());
        EXPECT_EQ("D:\\in\\a.xml", record.m_strServerPath);
        EXPECT_EQ("ZelView.Session", record.m_strFileTypeID);
        EXPECT_EQ("S-17", record.m_strSessionID);
        EXPECT_EQ("ViewOnly", record.m_strViewMode);
        EXPECT_EQ("save.cmd", record.m_strDMAgent);
        ASSERT_EQ(2u, record.m_markups.Count());
        auto entry = record.m_markups.begin();
        EXPECT_EQ("A/B", entry->m_strObjectID);
        EXPECT_EQ("read", entry->m_strAccess);
        EXPECT_EQ("", entry->m_strLocalPath);
        ++entry;
        EXPECT_EQ("D:\\m\\b.xml", entry->m_strLocalPath);
        EXPECT_EQ("", entry->m_strAccess);
    }
}

TEST_F(RecordWithViewerTest, TheStoreFindsWhatItWroteForADocument) {
    const LONG key[2] = {7, 9};
    {
        AgentDataStore store;
        ASSERT_HR(S_OK, store.OpenForDocument(helper.get(), key));
        EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ServerPath", "D:\\views\\gear.xml"));
        EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ObjectId", "77"));
    }
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(helper.get(), "d:/VIEWS/gear.xml"));
    EXPECT_EQ("77", store.FindValue("ServerFile", "ObjectId"));
}

}  // namespace
