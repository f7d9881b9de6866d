// The agent data store against the stand-in viewer's markup manager and
// document lookup.
#include "viewlist/agent_data_store.h"

#include "tests/support/agent_fixture.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;

constexpr char kGetAgentString[] = "IMarkupManager::GetAgentString";
constexpr char kGetMarkupManager[] = "IAgentHelper::GetMarkupManager";

class AgentDataStoreTest : public ViewerHelperTest {
protected:
    // The key of a document whose agent data the viewer keeps in that block.
    const LONG* DocumentKey(LONG block) {
        nuvsim::MapDocumentKey(m_key[0], m_key[1], block);
        return m_key;
    }

    LONG m_key[2] = {11, 22};
};

TEST_F(AgentDataStoreTest, AClosedStoreReadsNothingAndRefusesWrites) {
    AgentDataStore store;
    EXPECT_EQ(-1, store.Block());
    EXPECT_EQ("", store.ReadNext());
    EXPECT_EQ("", store.FindValue("ServerFile", "ServerPath"));
    EXPECT_HR(E_FAIL, store.AppendText("x"));
    EXPECT_HR(E_FAIL, store.WriteValue("ViewList", "Markup0", "x"));
}

TEST_F(AgentDataStoreTest, NamesAndPathsMatchAcrossCaseAndSeparators) {
    StoreAgentBlocks({{0, {"[serverfile]SERVERPATH", "d:/Views/Gear.JT", "[ServerFile]ViewMode", "ViewOnly"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "D:\\views\\gear.jt"));
    EXPECT_EQ(0, store.Block());
    EXPECT_EQ("ViewOnly", store.FindValue("SERVERFILE", "viewmode"));
    EXPECT_EQ("", store.FindValue("ServerFile", "View"));
}

TEST_F(AgentDataStoreTest, AValueEntryNeverMatchesAName) {
    // Only the entries at a name's place are compared, with the index or without.
    StoreAgentBlocks({{0,
                       {"[ServerFile]ServerPath", "p", "[ViewList]A", "[ViewList]Part0", "[ViewList]Part0", "q",
                        "[ViewList]B", "[ViewList]\xC4", "[ViewList]\xC4", "r"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    for (const bool indexed : {false, true}) {
        std::optional<AgentDataStore::ScopedIndex> index;
        if (indexed) index.emplace(store);
        EXPECT_EQ("q", store.FindValue("ViewList", "Part0")) << indexed;
        EXPECT_EQ("r", store.FindValue("ViewList", "\xC4")) << indexed;
    }
}

TEST_F(AgentDataStoreTest, ANameEntryAtTheEndOfABlockTakesItsValueFromTheNextBlock) {
    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "p", "[ViewList]Markup0"}}, {1, {"a", "b", "c", "value"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    EXPECT_EQ("value", store.FindValue("ViewList", "Markup0"));
    EXPECT_EQ(1, store.Block());

    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "p", "[ViewList]Markup0"}}, {1, {"a", "b", "c"}}});
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    EXPECT_EQ("", store.FindValue("ViewList", "Markup0"));
}

TEST_F(AgentDataStoreTest, ALookupContinuesIntoTheNextBlockAndStaysThere) {
    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "p"}},
                      {1, {"[ServerFile]ServerPath", "q", "[ViewList]NumMarkups", "4"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    EXPECT_EQ("4", store.FindValue("ViewList", "NumMarkups"));
    EXPECT_EQ(1, store.Block());
    EXPECT_EQ(4, store.Entry());
    EXPECT_EQ("q", store.FindValue("ServerFile", "ServerPath"));
}

TEST_F(AgentDataStoreTest, OpeningFindsTheBlockOfItsPath) {
    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "D:\\a.xml", "[ServerFile]ObjectId", "A"}},
                      {1, {"[ServerFile]ServerPath", "D:\\b.xml", "[ServerFile]ObjectId", "B"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "D:/b.xml"));
    EXPECT_EQ(1, store.Block());
    EXPECT_EQ("B", store.FindValue("ServerFile", "ObjectId"));

    EXPECT_HR(E_FAIL, store.OpenByServerPath(m_helper.get(), "D:\\c.xml"));
    EXPECT_EQ(-1, store.Block());
    EXPECT_EQ("", store.ReadNext());
    EXPECT_EQ("", store.FindValue("ServerFile", "ObjectId"));
}

TEST_F(AgentDataStoreTest, OpeningWithoutAManagerClosesTheStore) {
    AgentDataStore store;
    EXPECT_HR(E_FAIL, store.OpenByServerPath(nullptr, "p"));
    EXPECT_EQ(-1, store.Block());
    nuvsim::FailOperation(kGetMarkupManager, E_NOINTERFACE);
    EXPECT_HR(E_FAIL, store.OpenByServerPath(m_helper.get(), "p"));
    EXPECT_EQ(-1, store.Block());

    // What the failed request left in its out argument is neither used nor
    // released: the viewer records any use of it.
    nuvsim::FailOperationWithGarbage(kGetMarkupManager, E_NOINTERFACE);
    EXPECT_HR(E_FAIL, store.OpenByServerPath(m_helper.get(), "p"));
    EXPECT_EQ("", store.ReadNext());
    EXPECT_HR(E_NOINTERFACE, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    EXPECT_HR(E_FAIL, store.AppendText("x"));
    EXPECT_THAT(nuvsim::ReferenceErrors(), IsEmpty());
}

TEST_F(AgentDataStoreTest, EachOpenReplacesTheManagerItHeld) {
    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "p"}}});
    {
        AgentDataStore store;
        ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
        ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
        EXPECT_EQ(1, References("MarkupManager"));
        EXPECT_EQ(1, References(kHelperName)) << "the test's own only";
    }
    EXPECT_EQ(0, References("MarkupManager"));
}

TEST_F(AgentDataStoreTest, WritesFillTheDocumentBlockFromEntryZero) {
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(5)));
    EXPECT_THAT(nuvsim::CallLog(), Contains("IDocumentLookup::GetDocumentIndex(11, 22)"));
    EXPECT_EQ(5, store.Block());
    EXPECT_EQ(0, store.Entry());

    EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ServerPath", "D:\\v.xml"));
    EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ObjectId", ""));
    EXPECT_EQ(2, store.Entry());
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "NumMarkups", "0"));
    EXPECT_THAT(AgentBlock(5), ElementsAre("[ServerFile]ServerPath", "D:\\v.xml", "[ViewList]NumMarkups", "0"));
}

TEST_F(AgentDataStoreTest, NumberedNamesAreWrittenAndFoundWithTheirNumber) {
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ServerPath", "p"));
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "Markup", 10, "ten"));
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "Markup", 12, ""));
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "LocalPath", 2147483647L, "last"));
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "Markup", "plain"));
    // A number joins what it follows: a key's own digits, a minus sign.
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "Part7", 3, "joined"));
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "Markup", -5, "minus"));
    EXPECT_THAT(AgentBlock(0), ElementsAre("[ServerFile]ServerPath", "p", "[ViewList]Markup10", "ten",
                                           "[ViewList]LocalPath2147483647", "last", "[ViewList]Markup", "plain",
                                           "[ViewList]Part73", "joined", "[ViewList]Markup-5", "minus"));

    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    for (const bool indexed : {false, true}) {
        std::optional<AgentDataStore::ScopedIndex> index;
        if (indexed) index.emplace(store);
        EXPECT_EQ("ten", store.FindValue("ViewList", "Markup", 10)) << indexed;
        EXPECT_EQ("plain", store.FindValue("ViewList", "Markup")) << indexed;
        EXPECT_EQ("", store.FindValue("ViewList", "Markup", 1)) << indexed;
        EXPECT_EQ("last", store.FindValue("VIEWLIST", "localpath", 2147483647L)) << indexed;
        EXPECT_EQ("joined", store.FindValue("ViewList", "Part", 73)) << indexed;
        EXPECT_EQ("joined", store.FindValue("ViewList", "Part7", 3)) << indexed;
        EXPECT_EQ("minus", store.FindValue("ViewList", "Markup", -5)) << indexed;
        EXPECT_EQ("", store.FindValue("ViewList", "Markup", 5)) << indexed;
    }
}

TEST_F(AgentDataStoreTest, AFailedWriteLeavesNoNameWithoutItsValue) {
    constexpr char kSetAgentString[] = "IMarkupManager::SetAgentString";
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    nuvsim::FailOperation(kSetAgentString, E_ACCESSDENIED, 1);  // the name
    EXPECT_HR(E_ACCESSDENIED, store.WriteValue("ViewList", "Markup0", "a"));
    EXPECT_THAT(AgentBlock(0), IsEmpty());
    EXPECT_EQ(0, store.Entry());

    // A failed value write takes its name back: the next pair goes over it,
    // and the lost value reads as missing, not as the next name.
    nuvsim::FailOperation(kSetAgentString, E_ACCESSDENIED, 2);  // the value
    EXPECT_HR(E_ACCESSDENIED, store.WriteValue("ViewList", "object_id1", "a"));
    EXPECT_EQ(0, store.Entry());
    nuvsim::ClearFaults();
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "LocalPath1", "b"));
    EXPECT_THAT(AgentBlock(0), ElementsAre("[ViewList]LocalPath1", "b"));
    EXPECT_EQ("", store.FindValue("ViewList", "object_id1"));
    EXPECT_EQ("b", store.FindValue("ViewList", "LocalPath1"));
}

TEST_F(AgentDataStoreTest, OpenForDocumentReportsEachFailure) {
    AgentDataStore store;
    EXPECT_HR(E_FAIL, store.OpenForDocument(nullptr, DocumentKey(0)));
    EXPECT_EQ(0, store.Block());
    EXPECT_EQ(0, store.Entry());
    EXPECT_HR(E_POINTER, store.OpenForDocument(m_helper.get(), nullptr));
    EXPECT_EQ(0, nuvsim::CallCount(kGetMarkupManager));

    // A failing lookup leaves garbage in its out arguments, as a careless viewer may.
    nuvsim::FailOperationWithGarbage("IDocumentLookup::GetDocumentIndex", E_ACCESSDENIED);
    EXPECT_HR(E_ACCESSDENIED, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    EXPECT_EQ(0, store.Block());

    nuvsim::FailOperation("AgentHelper::QueryInterface", E_NOINTERFACE);  // no document lookup
    EXPECT_HR(E_NOINTERFACE, store.OpenForDocument(m_helper.get(), DocumentKey(0)));

    nuvsim::FailOperation(kGetMarkupManager, E_NOINTERFACE);
    EXPECT_HR(E_NOINTERFACE, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    EXPECT_HR(E_FAIL, store.AppendText("x"));
    EXPECT_EQ(1, References(kHelperName)) << "the test's own only";
}

TEST_F(AgentDataStoreTest, FillValueOnlyFillsAnEmptyTarget) {
    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "p", "[ServerFile]ViewMode", "stored"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    std::string kept = "launch";
    std::string filled;
    EXPECT_EQ(0, store.FillValue("ServerFile", "ViewMode", kept));
    EXPECT_EQ(0, store.FillValue("ServerFile", "ViewMode", filled));
    EXPECT_EQ("launch", kept);
    EXPECT_EQ("stored", filled);
}

TEST_F(AgentDataStoreTest, AnEntryWithoutTerminatorIsCutAtTheBufferEnd) {
    StoreAgentBlocks({{0, {std::string(2 * AgentDataStore::kReadBufferSize, 'y')}}});
    nuvsim::Config config = nuvsim::GetConfig();
    config.unterminatedAgentStrings = true;
    nuvsim::SetConfig(config);
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    EXPECT_EQ(std::string(1024, 'y'), store.ReadNext());
}

TEST_F(AgentDataStoreTest, HostileStoresCannotMakeAScanEndless) {
    // More entries than a scan reads.
    StoreAgentBlocks({{0, std::vector<std::string>(AgentDataStore::kMaxEntryIndex + 10, "x")}});
    nuvsim::SetCallLogEnabled(false);
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(0)));
    EXPECT_EQ("", store.FindValue("ServerFile", "ServerPath"));
    EXPECT_LE(nuvsim::CallCount(kGetAgentString), AgentDataStore::kMaxEntryIndex + 2);

    // More blocks than a scan visits, each for another launch file.
    AgentBlocks blocks;
    for (LONG block = 0; block <= AgentDataStore::kMaxBlockIndex + 1; ++block)
        blocks[block] = {"[ServerFile]ServerPath", "other"};
    StoreAgentBlocks(blocks);
    nuvsim::SetCallLogEnabled(true);
    EXPECT_HR(E_FAIL, store.OpenByServerPath(m_helper.get(), "p"));
    EXPECT_EQ(-1, store.Block());
    const std::string pastTheLast = ", " + std::to_string(AgentDataStore::kMaxBlockIndex + 1) + ", ";
    EXPECT_THAT(nuvsim::CallLog(), Not(Contains(HasSubstr(pastTheLast))));
}

TEST_F(AgentDataStoreTest, AReadAtTheLastBlockIndexDoesNotWrap) {
    nuvsim::SetAgentData(GUID_AgentDataOwner, 0x7FFFFFFF, 0, "last");
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), DocumentKey(0x7FFFFFFF)));
    EXPECT_EQ("last", store.ReadNext());
    EXPECT_EQ("", store.ReadNext());
    EXPECT_EQ(0x7FFFFFFF, store.Block());
}

// What one store wrote for a document, in the block the viewer gave it,
// another finds by its path.
TEST_F(AgentDataStoreTest, TheStoreFindsWhatItWroteForADocument) {
    const LONG key[2] = {7, 9};
    {
        AgentDataStore store;
        ASSERT_HR(S_OK, store.OpenForDocument(m_helper.get(), key));
        EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ServerPath", "D:\\views\\gear.xml"));
        EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ObjectId", "77"));
    }
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "d:/VIEWS/gear.xml"));
    EXPECT_EQ("77", store.FindValue("ServerFile", "ObjectId"));
}

}  // namespace
