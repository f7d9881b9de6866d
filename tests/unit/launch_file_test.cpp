// The record of a viewing session as the launch file fills it: read through
// the stand-in viewer's settings source, or its markup manager when there is
// no settings source, with the markups it lists.
#include "pdm/launch_file.h"

#include "tests/support/agent_fixture.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
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

class LaunchFileTest : public ViewerHelperTest {
protected:
    // Settings, then the markups, as a session start reads them.
    HRESULT Read(SessionRecord& record) {
        LaunchFileReader launchFile;
        const HRESULT hr = launchFile.Open(m_helper.get(), record);
        if (SUCCEEDED(hr)) launchFile.ReadMarkups(record);
        return hr;
    }
    static std::vector<ViewListEntry> Entries(const EntryList& list) {
        std::vector<ViewListEntry> result;
        for (const ViewListEntry& entry : list) result.push_back(entry);
        return result;
    }
};

TEST_F(LaunchFileTest, SettingsAreReadWithDefaultsAndFallbacks) {
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

    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));
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

TEST_F(LaunchFileTest, ServerPathAndFileTypeFromTheLaunchFileWin) {
    WriteLaunchFile(
        "[ServerFile]\r\nServerPath=D:\\srv\\s.xml\r\nImportPath=D:\\in\\a.xml\r\nFileTypeID=PDM.ViewList\r\n");

    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));
    EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
    EXPECT_EQ("PDM.ViewList", record.m_strFileTypeID);
    EXPECT_THAT(nuvsim::CallLog(), Not(Contains(HasSubstr("\"ImportPath\""))));
}

TEST_F(LaunchFileTest, WithoutASourceNothingIsRead) {
    LaunchFileReader launchFile;
    EXPECT_EQ("", launchFile.Value("ServerFile", "ServerPath"));
    SessionRecord record;
    launchFile.ReadMarkups(record);
    EXPECT_EQ(0u, record.m_markups.Count());
}

TEST_F(LaunchFileTest, CountsThatAreNoNumberOrNegativeAddNothing) {
    for (const char* count : {"-3", "abc", ""}) {
        WriteLaunchFile("[ViewList]\r\nNumMarkups=" + std::string(count) + "\r\nMarkup0=D:\\m\\a.xml\r\n");
        SessionRecord record;
        ASSERT_HR(S_OK, Read(record));
        EXPECT_EQ(0u, record.m_markups.Count()) << "count " << count;
    }
}

TEST_F(LaunchFileTest, HugeCountsAreCutToTheListLimit) {
    WriteLaunchFile("[ViewList]\r\nNumMarkups=4000000000\r\nNumParts=20000\r\n");
    SessionRecord record;
    LaunchFileReader launchFile;
    ASSERT_HR(S_OK, launchFile.Open(m_helper.get(), record));
    EXPECT_EQ(kMaxListCount, record.m_nNumMarkups);
    EXPECT_EQ(kMaxListCount, record.m_nNumParts);

    record.m_nNumMarkups = 0x7FFFFFFF;  // as another part of the agent might set it
    nuvsim::SetCallLogEnabled(false);
    launchFile.ReadMarkups(record);
    EXPECT_EQ(static_cast<size_t>(kMaxListCount), record.m_markups.Count());
}

TEST_F(LaunchFileTest, AValueWithoutTerminatorIsCutAtTheBufferEnd) {
    WriteLaunchFile("[ServerFile]\r\nServerPath=" + std::string(2000, 'x') + "\r\n");
    nuvsim::Config config = nuvsim::GetConfig();
    config.unterminatedProfileReads = true;
    nuvsim::SetConfig(config);
    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));
    EXPECT_EQ(std::string(1024, 'x'), record.m_strServerPath);
    EXPECT_TRUE(record.m_bServerPathCut);
}

TEST_F(LaunchFileTest, TheSettingsSourceIsPreferredAndARecordIsReadOnce) {
    WriteLaunchFile("[ServerFile]\r\nServerPath=D:\\srv\\s.xml\r\n");
    SessionRecord record;
    {
        LaunchFileReader launchFile;
        ASSERT_HR(S_OK, launchFile.Open(m_helper.get(), record));
        EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
        EXPECT_EQ(0, nuvsim::CallCount(kGetMarkupManager));
        EXPECT_EQ(0, nuvsim::CallCount(kManagerRead));
        EXPECT_EQ(1, References("SettingsSource"));
    }
    EXPECT_EQ(0, References("SettingsSource"));

    // A second reading would list every markup twice.
    record.m_strServerPath.clear();
    LaunchFileReader again;
    EXPECT_HR(E_FAIL, again.Open(m_helper.get(), record));
    EXPECT_EQ(1, nuvsim::CallCount(kGetSettingsSource));
    EXPECT_EQ("", record.m_strServerPath);
}

TEST_F(LaunchFileTest, WithoutASettingsSourceTheMarkupManagerIsRead) {
    WriteLaunchFile("[ServerFile]\r\nServerPath=D:\\srv\\s.xml\r\n");
    nuvsim::FailOperation(kGetSettingsSource, E_NOINTERFACE);
    {
        SessionRecord record;
        LaunchFileReader launchFile;
        ASSERT_HR(S_OK, launchFile.Open(m_helper.get(), record));
        EXPECT_EQ("D:\\srv\\s.xml", record.m_strServerPath);
        EXPECT_THAT(nuvsim::CallLog(),
                    Contains(HasSubstr(std::string(kManagerRead) + "(0, \"ServerFile\", \"ServerPath\"")));
        EXPECT_EQ(1, References("MarkupManager"));
    }
    EXPECT_EQ(0, References("MarkupManager"));
}

TEST_F(LaunchFileTest, AFailedOpenLeavesTheRecordUnread) {
    SessionRecord record;
    LaunchFileReader launchFile;
    EXPECT_HR(E_FAIL, launchFile.Open(nullptr, record));
    EXPECT_EQ("", record.m_strFileTypeID);

    nuvsim::FailOperation(kGetSettingsSource, E_NOINTERFACE);
    nuvsim::FailOperation(kGetMarkupManager, E_NOINTERFACE);
    EXPECT_HR(E_NOINTERFACE, launchFile.Open(m_helper.get(), record));
    EXPECT_EQ("", record.m_strFileTypeID);
    EXPECT_FALSE(record.m_bLaunchFileRead);
    EXPECT_EQ("", launchFile.Value("ServerFile", "ServerPath"));
}

TEST_F(LaunchFileTest, WhatAFailedRequestLeavesBehindIsNeverReleased) {
    nuvsim::FailOperationWithGarbage(kGetSettingsSource, E_NOINTERFACE);
    nuvsim::FailOperationWithGarbage(kGetMarkupManager, E_NOINTERFACE);
    {
        SessionRecord record;
        LaunchFileReader launchFile;
        EXPECT_HR(E_NOINTERFACE, launchFile.Open(m_helper.get(), record));
        EXPECT_EQ("", launchFile.Value("ServerFile", "ServerPath"));
    }
    // The viewer records every use of what it left.
    EXPECT_THAT(nuvsim::ReferenceErrors(), testing::IsEmpty());
}

TEST_F(LaunchFileTest, MarkupsFromPathsKeepTheirOrder) {
    WriteLaunchFile("[ViewList]\r\nNumMarkups=2\r\nMarkup0=D:\\m\\a.xml\r\nMarkup1=D:\\m\\b.xml\r\n");
    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));

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

TEST_F(LaunchFileTest, MarkupsFromHttpLocationsTakeTheirObjectId) {
    const std::string url = "http://server/get?object_id=A%2FB&ext=xml";
    WriteLaunchFile("[ViewList]\r\nNumMarkups=4\r\nMarkup0=" + url + "\r\nMarkup1=" + url +
                    "\r\nobject_id1=77\r\nMarkup2=HTTP://server/x\r\nMarkup3=ftp://server/x?object_id=9\r\n");
    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));

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

// Each markup's keys take its number in every digit (9, then 10), and no
// field carries over from the markup before.
TEST_F(LaunchFileTest, EachMarkupTakesItsOwnKeysAndNothingElse) {
    WriteLaunchFile(
        "[ViewList]\r\nNumMarkups=13\r\nMarkup0=http://server/get?object_id=42\r\nMarkup1=D:\\m\\b.xml\r\n"
        "Markup2=D:\\m\\c.xml\r\nobject_id2=7\r\nMarkup10=D:\\m\\ten.xml\r\nMarkupAccess10=read\r\n"
        "object_id12=O12\r\nMarkup01=D:\\m\\never.xml\r\n");
    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));

    const auto entries = Entries(record.m_markups);
    ASSERT_EQ(13u, entries.size());
    EXPECT_EQ("42", entries[0].m_strObjectID);
    EXPECT_EQ("", entries[1].m_strURL);
    EXPECT_EQ("", entries[1].m_strObjectID);
    EXPECT_EQ("D:\\m\\b.xml", entries[1].m_strLocalPath);
    EXPECT_EQ("7", entries[2].m_strObjectID);
    EXPECT_EQ("", entries[2].m_strLocalPath);
    EXPECT_EQ("D:\\m\\ten.xml", entries[10].m_strLocation);
    EXPECT_EQ("read", entries[10].m_strAccess);
    EXPECT_EQ("", entries[11].m_strAccess);
    EXPECT_EQ("O12", entries[12].m_strObjectID);
}

TEST_F(LaunchFileTest, AccessRightsComeFromMarkupAccessAlone) {
    WriteLaunchFile(
        "[ViewList]\r\nNumMarkups=2\r\nMarkup0=D:\\m\\a.xml\r\nMarkup1=D:\\m\\b.xml\r\n"
        "Markup_Permission0=write\r\nMarkup_Permission1=write\r\nMarkupAccess0=read\r\n");
    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));
    const auto entries = Entries(record.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("read", entries[0].m_strAccess);
    EXPECT_EQ("", entries[1].m_strAccess);
    // Each value is read once; the permission no reader goes by, never.
    const auto log = nuvsim::CallLog();
    EXPECT_EQ(1, std::count_if(log.begin(), log.end(),
                               [](const std::string& call) { return call.find("\"MarkupAccess0\"") != call.npos; }));
    EXPECT_THAT(nuvsim::CallLog(), Not(Contains(HasSubstr("Markup_Permission"))));
}

TEST_F(LaunchFileTest, AccessRightsFollowTheListPositionOfEarlierEntries) {
    WriteLaunchFile(
        "[ViewList]\r\nNumMarkups=1\r\nMarkup0=D:\\m\\new.xml\r\nMarkupAccess0=first\r\nMarkupAccess1=second\r\n");
    SessionRecord agent;
    ViewListEntry earlier;
    earlier.m_strLocalPath = "D:\\m\\old.xml";
    agent.m_markups.AddTail(earlier);
    ASSERT_HR(S_OK, Read(agent));

    const auto entries = Entries(agent.m_markups);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("D:\\m\\old.xml", entries[0].m_strLocalPath);
    EXPECT_EQ("first", entries[0].m_strAccess);
    EXPECT_EQ("D:\\m\\new.xml", entries[1].m_strLocalPath);
    EXPECT_EQ("second", entries[1].m_strAccess);
}

// A launch file as PDM front ends write it, read whole.
TEST_F(LaunchFileTest, TheRecordReadsALaunchFile) {
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
    SessionRecord record;
    ASSERT_HR(S_OK, Read(record));
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
