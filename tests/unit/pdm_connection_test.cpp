// The record of a viewing session: what it reads from the launch file through
// the stand-in viewer's settings source, or its markup manager when there is
// no settings source, and the markups it lists.
#include "pdm/pdm_connection.h"

#include "tests/support/agent_fixture.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing::Contains;
using testing::HasSubstr;
using testing::Not;

constexpr char kGetSettingsSource[] = "IAgentHelper::GetSettingsSource";
constexpr char kGetMarkupManager[] = "IAgentHelper::GetMarkupManager";
constexpr char kSettingsRead[] = "ISettingsSource::ReadProfileValue";
constexpr char kManagerRead[] = "IMarkupManager::ReadProfileValue";

class PdmConnectionTest : public ViewerHelperTest {
protected:
    static std::vector<ViewListEntry> Entries(const EntryList& list) {
        std::vector<ViewListEntry> result;
        for (const ViewListEntry& entry : list) result.push_back(entry);
        return result;
    }
};

TEST_F(PdmConnectionTest, SettingsAreReadWithDefaultsAndFallbacks) {
    WriteLaunchFile(
        "[ServerFile]\r\n"
        "ImportPath=D:\\in\\a.xml\r\n"
        "ViewMode=ViewOnly\r\n"
        "session_id=S1\r\n"
        "object_id=O1\r\n"
        "PDMVendor=Vendor\r\n"
        "PDM_host=host\r\n"
        "PDM_port=8080\r\n"
        "[ViewList]\r\n"
        "NumMarkups=\" 3 markups\"\r\n"
        "NumParts=2\r\n"
        "DMAgent=save.cmd\r\n"
        "Application=app\r\n");

    CDMAgentConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    EXPECT_EQ("ZelView.Session", record.m_strFileTypeID);
    EXPECT_EQ("D:\\in\\a.xml", record.m_strServerPath);
    EXPECT_EQ("ViewOnly", record.m_strViewMode);
    EXPECT_EQ("S1", record.m_strSessionID);
    EXPECT_EQ("O1", record.m_strObjectID);
    EXPECT_EQ("Vendor", record.m_strPDMVendor);
    EXPECT_EQ("host", record.m_strPDMHost);
    EXPECT_EQ("8080", record.m_strPDMPort);
    EXPECT_EQ(3, record.m_nNumMarkups);
    EXPECT_EQ(2, record.m_nNumParts);
    EXPECT_EQ("save.cmd", record.m_strDMAgent);
    EXPECT_EQ("app", record.m_strApplication);
}

TEST_F(PdmConnectionTest, ServerPathAndFileTypeFromTheLaunchFileWin) {
    WriteLaunchFile(
        "[ServerFile]\r\nServerPath=D:\\srv\\s.xml\r\nImportPath=D:\\in\\a.xml\r\nFileTypeID=PDM.ViewList\r\n");

    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
    EXPECT_EQ("PDM.ViewList", record.m_strFileTypeID);
    EXPECT_THAT(nuvsim::CallLog(), Not(Contains(HasSubstr("\"ImportPath\""))));
}

TEST_F(PdmConnectionTest, WithoutASourceOnlyTheSessionKindIsSet) {
    CDMAgentConnection record;
    EXPECT_HR(S_OK, record.LoadSettings());
    EXPECT_EQ("ZelView.Session", record.m_strFileTypeID);
    EXPECT_EQ("", record.m_strServerPath);
    EXPECT_EQ("", record.m_strDMAgent);
    EXPECT_EQ(0, record.m_nNumMarkups);
    EXPECT_EQ(0, record.m_nNumParts);
    EXPECT_EQ("", record.GetValue("ServerFile", "ServerPath"));
}

TEST_F(PdmConnectionTest, CountsThatAreNoNumberOrNegativeAddNothing) {
    for (const char* count : {"-3", "abc", ""}) {
        WriteLaunchFile("[ViewList]\r\nNumMarkups=" + std::string(count) + "\r\nMarkup0=D:\\m\\a.xml\r\n");
        CPdmConnection record;
        ASSERT_HR(S_OK, record.Attach(m_helper.get()));
        EXPECT_HR(S_OK, record.LoadMarkups());
        EXPECT_EQ(0u, record.m_markups.Count()) << "count " << count;
    }
}

TEST_F(PdmConnectionTest, HugeCountsAreCutToTheListLimit) {
    WriteLaunchFile("[ViewList]\r\nNumMarkups=4000000000\r\nNumParts=20000\r\n");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    EXPECT_EQ(kMaxListCount, record.m_nNumMarkups);
    EXPECT_EQ(kMaxListCount, record.m_nNumParts);

    record.m_nNumMarkups = 0x7FFFFFFF;  // as another part of the agent might set it
    nuvsim::SetCallLogEnabled(false);
    EXPECT_HR(S_OK, record.LoadMarkups());
    EXPECT_EQ(static_cast<size_t>(kMaxListCount), record.m_markups.Count());
}

TEST_F(PdmConnectionTest, AValueWithoutTerminatorIsCutAtTheBufferEnd) {
    WriteLaunchFile("[ServerFile]\r\nServerPath=" + std::string(2000, 'x') + "\r\n");
    nuvsim::Config config = nuvsim::GetConfig();
    config.unterminatedProfileReads = true;
    nuvsim::SetConfig(config);
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    EXPECT_EQ(std::string(1024, 'x'), record.m_strServerPath);
}

TEST_F(PdmConnectionTest, AttachPrefersTheSettingsSourceAndRefusesASecondTime) {
    WriteLaunchFile("[ServerFile]\r\nServerPath=D:\\srv\\s.xml\r\n");
    {
        CPdmConnection record;
        ASSERT_HR(S_OK, record.Attach(m_helper.get()));
        EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
        EXPECT_EQ(0, nuvsim::CallCount(kGetMarkupManager));
        EXPECT_EQ(0, nuvsim::CallCount(kManagerRead));
        EXPECT_EQ(1, References("SettingsSource"));

        record.m_strServerPath.clear();
        EXPECT_HR(E_FAIL, record.Attach(m_helper.get()));
        EXPECT_EQ(1, nuvsim::CallCount(kGetSettingsSource));
        EXPECT_EQ("", record.m_strServerPath);
    }
    EXPECT_EQ(0, References("SettingsSource"));
}

TEST_F(PdmConnectionTest, AttachFallsBackToTheMarkupManager) {
    WriteLaunchFile("[ServerFile]\r\nServerPath=D:\\srv\\s.xml\r\n");
    nuvsim::FailOperation(kGetSettingsSource, E_NOINTERFACE);
    {
        CPdmConnection record;
        ASSERT_HR(S_OK, record.Attach(m_helper.get()));
        EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
        EXPECT_THAT(nuvsim::CallLog(),
                    Contains(HasSubstr(std::string(kManagerRead) + "(0, \"ServerFile\", \"ServerPath\"")));
        EXPECT_EQ(nullptr, record.m_pSource.get());
        EXPECT_EQ(1, References("MarkupManager"));

        // Holding only the second kind, a new attach asks for the first kind
        // again and passes its failure on without a second manager.
        EXPECT_HR(E_NOINTERFACE, record.Attach(m_helper.get()));
        EXPECT_EQ(2, nuvsim::CallCount(kGetSettingsSource));
        EXPECT_EQ(1, nuvsim::CallCount(kGetMarkupManager));
    }
    EXPECT_EQ(0, References("MarkupManager"));
}

TEST_F(PdmConnectionTest, AttachFailuresLeaveTheRecordDetached) {
    CPdmConnection record;
    EXPECT_HR(E_FAIL, record.Attach(nullptr));
    EXPECT_EQ("", record.m_strFileTypeID);

    nuvsim::FailOperation(kGetSettingsSource, E_NOINTERFACE);
    nuvsim::FailOperation(kGetMarkupManager, E_NOINTERFACE);
    EXPECT_HR(E_NOINTERFACE, record.Attach(m_helper.get()));
    EXPECT_EQ(nullptr, record.m_pSource.get());
    EXPECT_EQ(nullptr, record.m_pMarkupManager.get());
    EXPECT_EQ("", record.m_strFileTypeID);
}

TEST_F(PdmConnectionTest, WhatAFailedRequestLeavesBehindIsNeverReleased) {
    nuvsim::FailOperationWithGarbage(kGetSettingsSource, E_NOINTERFACE);
    nuvsim::FailOperationWithGarbage(kGetMarkupManager, E_NOINTERFACE);
    {
        CPdmConnection record;
        EXPECT_HR(E_NOINTERFACE, record.Attach(m_helper.get()));
        EXPECT_EQ(nullptr, record.m_pSource.get());
        EXPECT_EQ(nullptr, record.m_pMarkupManager.get());
        EXPECT_EQ("", record.GetValue("ServerFile", "ServerPath"));
    }
    // The viewer records every use of what it left.
    EXPECT_THAT(nuvsim::ReferenceErrors(), testing::IsEmpty());
}

TEST_F(PdmConnectionTest, MarkupsFromPathsKeepTheirOrder) {
    WriteLaunchFile("[ViewList]\r\nNumMarkups=2\r\nMarkup0=D:\\m\\a.xml\r\nMarkup1=D:\\m\\b.xml\r\n");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    ASSERT_HR(S_OK, record.LoadMarkups());

    const auto entries = Entries(record.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("D:\\m\\a.xml", entries[0].m_strLocalPath);
    EXPECT_EQ("D:\\m\\b.xml", entries[1].m_strLocalPath);
    EXPECT_EQ("D:\\m\\b.xml", entries[1].m_strLocation);
    for (const ViewListEntry& entry : entries) {
        EXPECT_EQ("", entry.m_strURL);
        EXPECT_EQ("", entry.m_strObjectID);
        EXPECT_FALSE(entry.m_bLoaded) << entry.m_strLocalPath;
    }
}

TEST_F(PdmConnectionTest, MarkupsFromHttpLocationsTakeTheirObjectId) {
    const std::string url = "http://server/get?object_id=A%2FB&ext=xml";
    WriteLaunchFile("[ViewList]\r\nNumMarkups=4\r\nMarkup0=" + url + "\r\nMarkup1=" + url +
                    "\r\nobject_id1=77\r\nMarkup2=HTTP://server/x\r\nMarkup3=ftp://server/x?object_id=9\r\n");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    ASSERT_HR(S_OK, record.LoadMarkups());

    const auto entries = Entries(record.m_markups);
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ(url, entries[0].m_strURL);
    EXPECT_EQ("A/B", entries[0].m_strObjectID);
    EXPECT_EQ("", entries[0].m_strLocalPath);
    EXPECT_EQ("77", entries[1].m_strObjectID);
    EXPECT_EQ("", entries[1].m_strLocalPath);
    // A URL without an object identifier is loaded from where it points.
    EXPECT_EQ("HTTP://server/x", entries[2].m_strURL);
    EXPECT_EQ("HTTP://server/x", entries[2].m_strLocalPath);
    EXPECT_EQ("", entries[3].m_strURL);
    EXPECT_EQ("", entries[3].m_strObjectID);
    EXPECT_EQ("ftp://server/x?object_id=9", entries[3].m_strLocalPath);
}

TEST_F(PdmConnectionTest, NothingCarriesOverFromThePreviousMarkup) {
    WriteLaunchFile(
        "[ViewList]\r\nNumMarkups=3\r\nMarkup0=http://server/get?object_id=42\r\nMarkup1=D:\\m\\b.xml\r\n"
        "Markup2=D:\\m\\c.xml\r\nobject_id2=7\r\n");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
    ASSERT_HR(S_OK, record.LoadMarkups());

    const auto entries = Entries(record.m_markups);
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("42", entries[0].m_strObjectID);
    EXPECT_EQ("", entries[1].m_strURL);
    EXPECT_EQ("", entries[1].m_strObjectID);
    EXPECT_EQ("D:\\m\\b.xml", entries[1].m_strLocalPath);
    EXPECT_EQ("7", entries[2].m_strObjectID);
    EXPECT_EQ("", entries[2].m_strLocalPath);
}

TEST_F(PdmConnectionTest, TheAgentTakesAccessRightsFromMarkupAccess) {
    WriteLaunchFile(
        "[ViewList]\r\nNumMarkups=2\r\nMarkup0=D:\\m\\a.xml\r\nMarkup1=D:\\m\\b.xml\r\n"
        "Markup_Permission0=write\r\nMarkup_Permission1=write\r\nMarkupAccess0=read\r\n");

    CPdmConnection general;
    ASSERT_HR(S_OK, general.Attach(m_helper.get()));
    ASSERT_HR(S_OK, general.LoadMarkups());
    EXPECT_EQ("write", Entries(general.m_markups)[1].m_strAccess);

    CDMAgentConnection agent;
    ASSERT_HR(S_OK, agent.Attach(m_helper.get()));
    ASSERT_HR(S_OK, agent.LoadMarkups());
    const auto entries = Entries(agent.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("read", entries[0].m_strAccess);
    EXPECT_EQ("", entries[1].m_strAccess);
}

TEST_F(PdmConnectionTest, AccessRightsFollowTheListPositionOfEarlierEntries) {
    WriteLaunchFile(
        "[ViewList]\r\nNumMarkups=1\r\nMarkup0=D:\\m\\new.xml\r\nMarkupAccess0=first\r\nMarkupAccess1=second\r\n");
    CDMAgentConnection agent;
    ViewListEntry earlier;
    earlier.m_strLocalPath = "D:\\m\\old.xml";
    agent.m_markups.AddTail(earlier);
    ASSERT_HR(S_OK, agent.Attach(m_helper.get()));
    ASSERT_HR(S_OK, agent.LoadMarkups());

    const auto entries = Entries(agent.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("D:\\m\\old.xml", entries[0].m_strLocalPath);
    EXPECT_EQ("first", entries[0].m_strAccess);
    EXPECT_EQ("D:\\m\\new.xml", entries[1].m_strLocalPath);
    EXPECT_EQ("second", entries[1].m_strAccess);
}

// A launch file as PDM front ends write it, read whole.
TEST_F(PdmConnectionTest, TheRecordReadsALaunchFile) {
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
    CDMAgentConnection record;
    ASSERT_HR(S_OK, record.Attach(m_helper.get()));
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

}  // namespace
