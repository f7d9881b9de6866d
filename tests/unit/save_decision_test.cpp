// The decision on a save, taken on a record built by hand: it names the line
// to launch or the refusal, and shows and starts nothing itself.
#include "pdm/markup_save.h"

#include "platform/com/string_ids.h"
#include "tests/support/captured_messages.h"

#include <gtest/gtest.h>

namespace {

struct SaveDecisionTest : testing::Test {
    SaveDecisionTest() {
        record.m_strServerPath = "C:\\PDM\\vault\\gear.dwg";
        record.m_strDMAgent = "C:\\PDM\\pdm-save.exe --vault";
        record.m_strSessionID = "S-2026-secret";
        record.m_strApplication = "view";
        AddMarkup("C:\\PDM\\vault\\mine.xml", "write");
        AddMarkup("D:\\elsewhere\\theirs.xml", "read");
    }
    void AddMarkup(const std::string& path, const std::string& access) {
        ViewListEntry entry;
        entry.m_strLocation = entry.m_strLocalPath = path;
        entry.m_strAccess = access;
        record.m_markups.AddTail(entry);
    }
    SaveDecision Decide(const std::string& markupPath) {
        return DecideSave(record, markupPath);
    }

    CapturedMessages shown;
    SessionRecord record;
};

TEST_F(SaveDecisionTest, AWritableMarkupGetsItsLineAndTheLogAMaskedOne) {
    const SaveDecision decision = Decide("C:\\Users\\jane\\temp\\mine.xml");
    EXPECT_FALSE(decision.Refused()) << decision.messageId;
    EXPECT_EQ(decision.commandLine,
              "C:\\PDM\\pdm-save.exe --vault MarkupSave S-2026-secret C:\\PDM\\vault\\gear.dwg mine.xml view");
    EXPECT_EQ(decision.loggedLine.find("secret"), std::string::npos) << decision.loggedLine;
    EXPECT_TRUE(CapturedMessages::Texts().empty());
}

TEST_F(SaveDecisionTest, ARefusalNamesItsMessageAndWhatExplainsIt) {
    // A read-only markup of that file name, in a folder the server file's is not.
    SaveDecision decision = Decide("C:\\Users\\jane\\temp\\THEIRS.xml");
    EXPECT_EQ(decision.messageId, unsigned(IDS_NO_MARKUP_PERMISSION));
    EXPECT_EQ(decision.detail, "list entry D:\\elsewhere\\theirs.xml has the same file name");
    EXPECT_TRUE(decision.commandLine.empty());
    record.m_bServerPathCut = true;
    EXPECT_EQ(Decide("C:\\tmp\\mine.xml").messageId, unsigned(IDS_SAVE_NO_SERVER_FILE));
    EXPECT_TRUE(CapturedMessages::Texts().empty());
}

}  // namespace
