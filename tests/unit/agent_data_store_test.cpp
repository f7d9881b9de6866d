#include "viewlist/agent_data_store.h"

#include "tests/support/fake_viewer.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using Entries = std::vector<std::string>;

class AgentDataStoreTest : public ::testing::Test {
protected:
    void SetUp() override { helper.manager = &manager; }

    FakeMarkupManager manager;
    FakeHelper helper;
    LONG key[2] = {11, 22};
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
    manager.blocks[0] = Entries{"[serverfile]SERVERPATH", "d:/Views/Gear.JT", "[ServerFile]ViewMode", "ViewOnly"};
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "D:\\views\\gear.jt"));
    EXPECT_EQ(0, store.Block());
    EXPECT_EQ("ViewOnly", store.FindValue("SERVERFILE", "viewmode"));
    EXPECT_EQ("", store.FindValue("ServerFile", "View"));
}

TEST_F(AgentDataStoreTest, AValueEntryCanMatchAName) {
    // Every entry is compared, value entries included: the first match wins.
    manager.blocks[0] = Entries{"[ServerFile]ServerPath", "[ViewList]Part0", "[ViewList]Part0", "p"};
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "[ViewList]Part0"));
    EXPECT_EQ("[ViewList]Part0", store.FindValue("ViewList", "Part0"));
}

TEST_F(AgentDataStoreTest, ANameEntryAtTheEndOfABlockTakesItsValueFromTheNextBlock) {
    manager.blocks[0] = Entries{"[ServerFile]ServerPath", "p", "[ViewList]Markup0"};
    manager.blocks[1] = Entries{"a", "b", "c", "value"};
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "p"));
    EXPECT_EQ("value", store.FindValue("ViewList", "Markup0"));
    EXPECT_EQ(1, store.Block());

    manager.blocks[1].resize(3);
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "p"));
    EXPECT_EQ("", store.FindValue("ViewList", "Markup0"));
}

TEST_F(AgentDataStoreTest, ALookupContinuesIntoTheNextBlockAndStaysThere) {
    manager.blocks[0] = Entries{"[ServerFile]ServerPath", "p"};
    manager.blocks[1] = Entries{"[ServerFile]ServerPath", "q", "[ViewList]NumMarkups", "4"};
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "p"));
    EXPECT_EQ("4", store.FindValue("ViewList", "NumMarkups"));
    EXPECT_EQ(1, store.Block());
    EXPECT_EQ(4, store.Entry());
    EXPECT_EQ("q", store.FindValue("ServerFile", "ServerPath"));
}

TEST_F(AgentDataStoreTest, OpeningFindsTheBlockOfItsPath) {
    manager.blocks[0] = Entries{"[ServerFile]ServerPath", "D:\\a.xml", "[ServerFile]ObjectId", "A"};
    manager.blocks[1] = Entries{"[ServerFile]ServerPath", "D:\\b.xml", "[ServerFile]ObjectId", "B"};
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "D:/b.xml"));
    EXPECT_EQ(1, store.Block());
    EXPECT_EQ("B", store.FindValue("ServerFile", "ObjectId"));

    EXPECT_HR(E_FAIL, store.OpenByServerPath(&helper, "D:\\c.xml"));
    EXPECT_EQ(-1, store.Block());
    EXPECT_EQ("", store.ReadNext());
    EXPECT_EQ("", store.FindValue("ServerFile", "ObjectId"));
}

TEST_F(AgentDataStoreTest, OpeningWithoutAManagerClosesTheStore) {
    AgentDataStore store;
    EXPECT_HR(E_FAIL, store.OpenByServerPath(nullptr, "p"));
    EXPECT_EQ(-1, store.Block());
    helper.manager = nullptr;
    EXPECT_HR(E_FAIL, store.OpenByServerPath(&helper, "p"));
    EXPECT_EQ(-1, store.Block());

    // What the failed request left in its out argument is neither used nor released.
    alignas(8) static char junk[64] = {};
    helper.junkOnFailure = junk;
    EXPECT_HR(E_FAIL, store.OpenByServerPath(&helper, "p"));
    EXPECT_EQ("", store.ReadNext());
    EXPECT_HR(E_NOINTERFACE, store.OpenForDocument(&helper, key));
    EXPECT_HR(E_FAIL, store.AppendText("x"));
}

TEST_F(AgentDataStoreTest, EachOpenReplacesTheManagerItHeld) {
    manager.blocks[0] = Entries{"[ServerFile]ServerPath", "p"};
    {
        AgentDataStore store;
        ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "p"));
        ASSERT_HR(S_OK, store.OpenForDocument(&helper, key));
        EXPECT_EQ(1, manager.refs);
        EXPECT_EQ(0, helper.refs);
    }
    EXPECT_EQ(0, manager.refs);
}

TEST_F(AgentDataStoreTest, WritesFillTheDocumentBlockFromEntryZero) {
    helper.documentIndex = 5;
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(&helper, key));
    EXPECT_EQ(11, helper.keySeen[0]);
    EXPECT_EQ(22, helper.keySeen[1]);
    EXPECT_EQ(5, store.Block());
    EXPECT_EQ(0, store.Entry());

    EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ServerPath", "D:\\v.xml"));
    EXPECT_HR(S_OK, store.WriteValue("ServerFile", "ObjectId", ""));
    EXPECT_EQ(2, store.Entry());
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "NumMarkups", "0"));
    EXPECT_EQ((Entries{"[ServerFile]ServerPath", "D:\\v.xml", "[ViewList]NumMarkups", "0"}), manager.blocks[5]);
}

TEST_F(AgentDataStoreTest, AFailedWriteLeavesNoNameWithoutItsValue) {
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(&helper, key));
    manager.failWriteAt = 0;
    EXPECT_HR(E_ACCESSDENIED, store.WriteValue("ViewList", "Markup0", "a"));
    EXPECT_THAT(manager.blocks[0], testing::IsEmpty());
    EXPECT_EQ(0, store.Entry());

    // A failed value write takes its name back: the next pair goes over it,
    // and the lost value reads as missing, not as the next name.
    manager.failWriteAt = 1;
    EXPECT_HR(E_ACCESSDENIED, store.WriteValue("ViewList", "object_id1", "a"));
    EXPECT_EQ(0, store.Entry());
    manager.failWriteAt = -1;
    EXPECT_HR(S_OK, store.WriteValue("ViewList", "LocalPath1", "b"));
    EXPECT_EQ((Entries{"[ViewList]LocalPath1", "b"}), manager.blocks[0]);
    EXPECT_EQ("", store.FindValue("ViewList", "object_id1"));
    EXPECT_EQ("b", store.FindValue("ViewList", "LocalPath1"));
}

TEST_F(AgentDataStoreTest, OpenForDocumentReportsEachFailure) {
    AgentDataStore store;
    EXPECT_HR(E_FAIL, store.OpenForDocument(nullptr, key));
    EXPECT_EQ(0, store.Block());
    EXPECT_EQ(0, store.Entry());
    EXPECT_HR(E_POINTER, store.OpenForDocument(&helper, nullptr));
    EXPECT_EQ(0, helper.managerRequests);

    helper.documentIndexResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, store.OpenForDocument(&helper, key));
    EXPECT_EQ(0, store.Block());

    helper.lookupAvailable = false;
    EXPECT_HR(E_NOINTERFACE, store.OpenForDocument(&helper, key));

    helper.manager = nullptr;
    EXPECT_HR(E_NOINTERFACE, store.OpenForDocument(&helper, key));
    EXPECT_HR(E_FAIL, store.AppendText("x"));
    EXPECT_EQ(0, helper.refs);
}

TEST_F(AgentDataStoreTest, FillValueOnlyFillsAnEmptyTarget) {
    manager.blocks[0] = Entries{"[ServerFile]ServerPath", "p", "[ServerFile]ViewMode", "stored"};
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(&helper, "p"));
    std::string kept = "launch";
    std::string filled;
    EXPECT_EQ(0, store.FillValue("ServerFile", "ViewMode", kept));
    EXPECT_EQ(0, store.FillValue("ServerFile", "ViewMode", filled));
    EXPECT_EQ("launch", kept);
    EXPECT_EQ("stored", filled);
}

TEST_F(AgentDataStoreTest, AnEntryWithoutTerminatorIsCutAtTheBufferEnd) {
    manager.reader = [](LONG, LONG, char* buffer) {
        std::memset(buffer, 'y', AgentDataStore::kReadBufferSize);
        return S_OK;
    };
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(&helper, key));
    EXPECT_EQ(std::string(1024, 'y'), store.ReadNext());
}

TEST_F(AgentDataStoreTest, HostileStoresCannotMakeAScanEndless) {
    // Entries that never run out.
    manager.reader = [](LONG, LONG, char* buffer) {
        std::strcpy(buffer, "x");
        return S_OK;
    };
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(&helper, key));
    EXPECT_EQ("", store.FindValue("ServerFile", "ServerPath"));
    EXPECT_LE(manager.stringReads, AgentDataStore::kMaxEntryIndex + 2);

    // Blocks that never run out, each for another launch file.
    manager.reader = [](LONG, LONG entry, char* buffer) {
        if (entry > 1) return E_FAIL;
        std::strcpy(buffer, entry == 0 ? "[ServerFile]ServerPath" : "other");
        return S_OK;
    };
    EXPECT_HR(E_FAIL, store.OpenByServerPath(&helper, "p"));
    EXPECT_EQ(-1, store.Block());
}

TEST_F(AgentDataStoreTest, AReadAtTheLastBlockIndexDoesNotWrap) {
    manager.reader = [](LONG block, LONG, char* buffer) {
        if (block < 0x7FFFFFFF) return E_FAIL;
        std::strcpy(buffer, "last");
        return S_OK;
    };
    helper.documentIndex = 0x7FFFFFFF;
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenForDocument(&helper, key));
    EXPECT_EQ("last", store.ReadNext());
    manager.reader = [](LONG, LONG, char*) { return E_FAIL; };
    EXPECT_EQ("", store.ReadNext());
    EXPECT_EQ(0x7FFFFFFF, store.Block());
}

}  // namespace
