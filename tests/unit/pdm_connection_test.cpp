#include "pdm/pdm_connection.h"

#include "tests/support/fake_viewer.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PdmConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        helper.settings = &settings;
        helper.manager = &manager;
    }
    void SetValue(const std::string& section, const std::string& key, const std::string& value) {
        settings.profile.Set(section, key, value);
    }
    void SetViewList(const std::string& key, const std::string& value) { SetValue("ViewList", key, value); }

    static std::vector<ViewListEntry> Entries(const EntryList& list) {
        std::vector<ViewListEntry> result;
        for (const ViewListEntry& entry : list) result.push_back(entry);
        return result;
    }

    FakeSettingsSource settings;
    FakeMarkupManager manager;
    FakeHelper helper;
};

TEST_F(PdmConnectionTest, SettingsAreReadWithDefaultsAndFallbacks) {
    SetValue("ServerFile", "ImportPath", "D:\\in\\a.xml");
    SetValue("ServerFile", "ViewMode", "ViewOnly");
    SetValue("ServerFile", "session_id", "S1");
    SetValue("ServerFile", "object_id", "O1");
    SetValue("ServerFile", "PDMVendor", "Vendor");
    SetValue("ServerFile", "PDM_host", "host");
    SetValue("ServerFile", "PDM_port", "8080");
    SetViewList("NumMarkups", " 3 markups");
    SetViewList("NumParts", "2");
    SetViewList("DMAgent", "save.cmd");
    SetViewList("Application", "app");

    CDMAgentConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
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
    SetValue("ServerFile", "ServerPath", "D:\\srv\\s.xml");
    SetValue("ServerFile", "ImportPath", "D:\\in\\a.xml");
    SetValue("ServerFile", "FileTypeID", "PDM.ViewList");

    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
    EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
    EXPECT_EQ("PDM.ViewList", record.m_strFileTypeID);
    for (const std::string& read : settings.profile.reads) EXPECT_NE("ServerFile/ImportPath", read);
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
        SetViewList("NumMarkups", count);
        SetViewList("Markup0", "D:\\m\\a.xml");
        CPdmConnection record;
        ASSERT_HR(S_OK, record.Attach(&helper));
        EXPECT_HR(S_OK, record.LoadMarkups());
        EXPECT_EQ(0u, record.m_markups.Count()) << "count " << count;
    }
}

TEST_F(PdmConnectionTest, HugeCountsAreCutToTheListLimit) {
    SetViewList("NumMarkups", "4000000000");
    SetViewList("NumParts", "20000");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
    EXPECT_EQ(kMaxListCount, record.m_nNumMarkups);
    EXPECT_EQ(kMaxListCount, record.m_nNumParts);

    record.m_nNumMarkups = 0x7FFFFFFF;  // as another part of the agent might set it
    EXPECT_HR(S_OK, record.LoadMarkups());
    EXPECT_EQ(static_cast<size_t>(kMaxListCount), record.m_markups.Count());
}

TEST_F(PdmConnectionTest, AValueWithoutTerminatorIsCutAtTheBufferEnd) {
    settings.profile.unterminatedFill = static_cast<WCHAR>('x');
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
    EXPECT_EQ(std::string(1024, 'x'), record.m_strServerPath);
}

TEST_F(PdmConnectionTest, AttachPrefersTheSettingsSourceAndRefusesASecondTime) {
    SetValue("ServerFile", "ServerPath", "from-settings");
    manager.profile.Set("ServerFile", "ServerPath", "from-manager");
    {
        CPdmConnection record;
        ASSERT_HR(S_OK, record.Attach(&helper));
        EXPECT_EQ("from-settings", record.m_strServerPath);
        EXPECT_EQ(0, helper.managerRequests);
        EXPECT_EQ(1, settings.refs);

        record.m_strServerPath.clear();
        EXPECT_HR(E_FAIL, record.Attach(&helper));
        EXPECT_EQ(1, helper.settingsRequests);
        EXPECT_EQ("", record.m_strServerPath);
    }
    EXPECT_EQ(0, settings.refs);
}

TEST_F(PdmConnectionTest, AttachFallsBackToTheMarkupManager) {
    helper.settings = nullptr;
    manager.profile.Set("ServerFile", "ServerPath", "from-manager");
    {
        CPdmConnection record;
        ASSERT_HR(S_OK, record.Attach(&helper));
        EXPECT_EQ("from-manager", record.m_strServerPath);
        EXPECT_EQ(nullptr, record.m_pSource.get());
        EXPECT_EQ(1, manager.refs);

        // Holding only the second kind, a new attach asks for the first kind
        // again and passes its failure on without a second manager.
        EXPECT_HR(E_NOINTERFACE, record.Attach(&helper));
        EXPECT_EQ(2, helper.settingsRequests);
        EXPECT_EQ(1, helper.managerRequests);
    }
    EXPECT_EQ(0, manager.refs);
}

TEST_F(PdmConnectionTest, AttachFailuresLeaveTheRecordDetached) {
    CPdmConnection record;
    EXPECT_HR(E_FAIL, record.Attach(nullptr));
    EXPECT_EQ("", record.m_strFileTypeID);

    helper.settings = nullptr;
    helper.manager = nullptr;
    EXPECT_HR(E_NOINTERFACE, record.Attach(&helper));
    EXPECT_EQ(nullptr, record.m_pSource.get());
    EXPECT_EQ(nullptr, record.m_pSourceAlt.get());
    EXPECT_EQ("", record.m_strFileTypeID);
}

TEST_F(PdmConnectionTest, WhatAFailedRequestLeavesBehindIsNeverReleased) {
    alignas(8) static char junk[64] = {};
    helper.settings = nullptr;
    helper.manager = nullptr;
    helper.junkOnFailure = junk;
    {
        CPdmConnection record;
        EXPECT_HR(E_NOINTERFACE, record.Attach(&helper));
        EXPECT_EQ(nullptr, record.m_pSource.get());
        EXPECT_EQ(nullptr, record.m_pSourceAlt.get());
        EXPECT_EQ("", record.GetValue("ServerFile", "ServerPath"));
    }
}

TEST_F(PdmConnectionTest, MarkupsFromPathsKeepTheirOrder) {
    SetViewList("NumMarkups", "2");
    SetViewList("Markup0", "D:\\m\\a.xml");
    SetViewList("Markup1", "D:\\m\\b.xml");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
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
    SetViewList("NumMarkups", "4");
    SetViewList("Markup0", url);
    SetViewList("Markup1", url);
    SetViewList("object_id1", "77");
    SetViewList("Markup2", "HTTP://server/x");
    SetViewList("Markup3", "ftp://server/x?object_id=9");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
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
    SetViewList("NumMarkups", "3");
    SetViewList("Markup0", "http://server/get?object_id=42");
    SetViewList("Markup1", "D:\\m\\b.xml");
    SetViewList("Markup2", "D:\\m\\c.xml");
    SetViewList("object_id2", "7");
    CPdmConnection record;
    ASSERT_HR(S_OK, record.Attach(&helper));
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
    SetViewList("NumMarkups", "2");
    SetViewList("Markup0", "D:\\m\\a.xml");
    SetViewList("Markup1", "D:\\m\\b.xml");
    SetViewList("Markup_Permission0", "write");
    SetViewList("Markup_Permission1", "write");
    SetViewList("MarkupAccess0", "read");

    CPdmConnection general;
    ASSERT_HR(S_OK, general.Attach(&helper));
    ASSERT_HR(S_OK, general.LoadMarkups());
    EXPECT_EQ("write", Entries(general.m_markups)[1].m_strAccess);

    CDMAgentConnection agent;
    ASSERT_HR(S_OK, agent.Attach(&helper));
    ASSERT_HR(S_OK, agent.LoadMarkups());
    const auto entries = Entries(agent.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("read", entries[0].m_strAccess);
    EXPECT_EQ("", entries[1].m_strAccess);
}

TEST_F(PdmConnectionTest, AccessRightsFollowTheListPositionOfEarlierEntries) {
    SetViewList("NumMarkups", "1");
    SetViewList("Markup0", "D:\\m\\new.xml");
    SetViewList("MarkupAccess0", "first");
    SetViewList("MarkupAccess1", "second");
    CDMAgentConnection agent;
    ViewListEntry earlier;
    earlier.m_strLocalPath = "D:\\m\\old.xml";
    agent.m_markups.AddTail(earlier);
    ASSERT_HR(S_OK, agent.Attach(&helper));
    ASSERT_HR(S_OK, agent.LoadMarkups());

    const auto entries = Entries(agent.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("D:\\m\\old.xml", entries[0].m_strLocalPath);
    EXPECT_EQ("first", entries[0].m_strAccess);
    EXPECT_EQ("D:\\m\\new.xml", entries[1].m_strLocalPath);
    EXPECT_EQ("second", entries[1].m_strAccess);
}

}  // namespace
